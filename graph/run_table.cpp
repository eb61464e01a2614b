#include "graph/run_table.h"

#include "toolkit/text.h"

namespace calvetra {

namespace {

constexpr const char* kRunNames[] = {"Curva roja", "Curva verde", "Curva azul"};
constexpr long kTwentieths = 20;

// The time of step j as the graph places it: the same share of the span.
double stepTime(const DrawnGraph& graph, long j)
{
    return static_cast<double>(j) * graph.simTime / static_cast<double>(graph.stepCount);
}

std::string temperature(double t, char separator) { return text::fixed(t, 2, separator); }

}  // namespace

RunTables drawnRunTables(const DrawnGraph& graph, const RunStore& store, char separator)
{
    RunTables tables;
    TextTable& runs = tables.runs;
    TextTable& temps = tables.temperatures;
    runs.caption = "Figuras de cada curva";
    temps.caption = "Temperatura de cada curva cada veinteavo del tiempo simulado";
    runs.columns = {"Figura"};
    temps.columns = {"t (s)"};
    runs.rows = {{"V (l)"}, {"Q (l/h)"},      {"To (ºC)"},      {"Ap.Valv (%)"},
                 {"q (W)"}, {"t máximo (s)"}, {"T final (ºC)"}, {"Desbordamiento a t (s)"}};

    for (std::size_t k = 0; k < graph.runs.size() && k < std::size(kRunNames); ++k) {
        const DrawnRun& run = graph.runs[k];
        const long slot = static_cast<long>(k);
        runs.columns.push_back(kRunNames[k]);
        temps.columns.push_back(std::string("T ") + kRunNames[k] + " (ºC)");
        const auto figures = figureTexts(run.shown, separator);
        std::vector<std::string> cells(figures.begin(), figures.end());
        cells.push_back(temperature(store.RunTemps.at(slot, run.lastStep), separator));
        cells.push_back(run.overflowed ? text::general(stepTime(graph, run.lastStep), separator) : std::string());
        for (std::size_t row = 0; row < cells.size(); ++row)
            runs.rows[row].push_back(cells[row]);
    }

    if (graph.runs.empty())
        return tables;
    for (long k = 0; k <= kTwentieths; ++k) {
        const long j = k * graph.stepCount / kTwentieths;
        std::vector<std::string> row = {text::general(stepTime(graph, j), separator)};
        for (std::size_t r = 0; r < graph.runs.size(); ++r)
            row.push_back(j <= graph.runs[r].lastStep
                              ? temperature(store.RunTemps.at(static_cast<long>(r), j), separator)
                              : std::string());
        temps.rows.push_back(std::move(row));
    }
    return tables;
}

}  // namespace calvetra
