#include "graph/run_table.h"

#include "graph/exact_curve.h"
#include "model/exact_solution.h"

#include "toolkit/catalogue.h"
#include "toolkit/runs.h"
#include "toolkit/text.h"

namespace calvetra {

namespace {

constexpr long kTwentieths = 20;

// The time of step j as the graph places it.
double stepTime(const DrawnGraph& graph, long j) { return graph.area.timeOfStep(j, graph.stepCount); }

std::string temperature(double t, char separator) { return text::fixed(t, 2, separator); }

// Step j of a run, as drawn.
double temperatureAt(const DrawnRun& run, long j) { return run.temperatures.at(static_cast<std::size_t>(j)); }

}  // namespace

RunTables drawnRunTables(const DrawnGraph& graph, char separator)
{
    RunTables tables;
    TextTable& runs = tables.runs;
    TextTable& temps = tables.temperatures;
    const auto text = [](Text key) { return std::string(catalogue::text(key)); };
    runs.caption = text(Text::FiguresTableCaption);
    temps.caption = text(Text::TemperaturesTableCaption);
    runs.columns = {text(Text::FigureHeading)};
    temps.columns = {text(Text::TimeHeading)};
    for (const FigureKind& figure : kFigures)
        runs.rows.push_back({text(figure.row)});
    for (const Text row : {Text::FinalTempRow, Text::OverflowTimeRow})
        runs.rows.push_back({text(row)});
    if (graph.exact)
        for (const Text row : {Text::ExactFinalTempRow, Text::SteadyStateRow, Text::TimeConstantRow})
            runs.rows.push_back({text(row)});
    std::vector<std::vector<double>> exact;

    for (std::size_t k = 0; k < graph.runs.size() && k < std::size(kRuns); ++k) {
        const DrawnRun& run = graph.runs[k];
        const std::string name = runName(static_cast<long>(k), graph.look);
        runs.columns.push_back(name);
        temps.columns.push_back(catalogue::format(Text::RunTemperatureHeading, {name}));
        const auto figures = figureTexts(run.shown, separator);
        std::vector<std::string> cells(figures.begin(), figures.end());
        cells.push_back(temperature(temperatureAt(run, run.lastStep), separator));
        cells.push_back(run.overflowed ? text::general(stepTime(graph, run.lastStep), separator) : std::string());
        if (graph.exact) {
            temps.columns.push_back(catalogue::format(Text::RunExactHeading, {name}));
            temps.columns.push_back(catalogue::format(Text::RunErrorHeading, {name}));
            exact.push_back(exactTemperatures(run, graph.stepCount));
            const ExactSolution solution = exactSolutionOf(run);
            const std::optional<double> tau = solution.timeConstant();
            cells.push_back(temperature(exact.back().back(), separator));
            cells.push_back(temperature(solution.steadyState(), separator));
            cells.push_back(tau ? text::significant(*tau, 6, separator) : std::string());
        }
        for (std::size_t row = 0; row < cells.size(); ++row)
            runs.rows[row].push_back(cells[row]);
    }

    if (graph.runs.empty())
        return tables;
    for (long k = 0; k <= kTwentieths; ++k) {
        const long j = k * graph.stepCount / kTwentieths;
        std::vector<std::string> row = {text::general(stepTime(graph, j), separator)};
        for (std::size_t r = 0; r < graph.runs.size(); ++r) {
            const DrawnRun& run = graph.runs[r];
            const bool drawn = j <= run.lastStep;
            row.push_back(drawn ? temperature(temperatureAt(run, j), separator) : std::string());
            if (!graph.exact)
                continue;
            const double exactT = drawn ? exact[r].at(static_cast<std::size_t>(j)) : 0;
            row.push_back(drawn ? temperature(exactT, separator) : std::string());
            row.push_back(drawn ? text::significant(temperatureAt(run, j) - exactT, 3, separator) : std::string());
        }
        temps.rows.push_back(std::move(row));
    }
    return tables;
}

}  // namespace calvetra
