#include "graph/runs_csv.h"

#include "graph/exact_curve.h"

#include "toolkit/catalogue.h"
#include "toolkit/text.h"

namespace calvetra {

char csvSeparator(char decimalSeparator) { return decimalSeparator == ',' ? ';' : ','; }

// A field with the separator, a quote or a line end in it is quoted, with
// its quotes doubled.
std::string csvField(const std::string& s, char separator)
{
    if (s.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos)
        return s;
    std::string quoted = "\"";
    for (char c : s) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string drawnRunsCsv(const DrawnGraph& graph, char decimalSeparator)
{
    const char separator = csvSeparator(decimalSeparator);
    std::string csv = kCsvStart;
    csv += csvField(std::string(catalogue::text(Text::TimeHeading)), separator);
    std::vector<std::vector<double>> exact;
    for (std::size_t k = 0; k < graph.runs.size(); ++k) {
        const DrawnRun& run = graph.runs[k];
        const std::string heading = runColumnHeading(run, static_cast<long>(k), graph.look);
        csv += separator + csvField(heading, separator);
        if (graph.exact) {
            csv += separator + csvField(catalogue::format(Text::ExactHeading, {heading}), separator);
            csv += separator + csvField(catalogue::format(Text::ErrorHeading, {heading}), separator);
            exact.push_back(exactTemperatures(run, graph.stepCount));
        }
    }
    csv += "\r\n";
    const long lastRow = graph.runs.empty() ? -1 : graph.stepCount;
    for (long j = 0; j <= lastRow; ++j) {
        // The time of step j as the graph placed it.
        const double t = graph.area.timeOfStep(j, graph.stepCount);
        csv += text::general(t, decimalSeparator);
        for (std::size_t k = 0; k < graph.runs.size(); ++k) {
            const DrawnRun& run = graph.runs[k];
            const bool drawn = j <= run.lastStep;
            const auto i = static_cast<std::size_t>(j);
            csv += separator;
            if (drawn)
                csv += text::general(run.temperatures.at(i), decimalSeparator);
            if (!graph.exact)
                continue;
            csv += separator;
            if (drawn)
                csv += text::general(exact[k].at(i), decimalSeparator) + separator +
                       text::general(run.temperatures.at(i) - exact[k].at(i), decimalSeparator);
            else
                csv += separator;
        }
        csv += "\r\n";
    }
    return csv;
}

}  // namespace calvetra
