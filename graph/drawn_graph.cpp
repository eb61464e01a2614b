#include "graph/drawn_graph.h"

#include "toolkit/catalogue.h"
#include "toolkit/runs.h"

namespace calvetra {

std::string runLegend(const RunFigures& shown, char separator)
{
    const auto f = figureTexts(shown, separator);
    return catalogue::format(Text::RunLegend, {f[order(Figure::Volume)], f[order(Figure::Inflow)],
                                               f[order(Figure::InitialTemp)], f[order(Figure::Valve)]});
}

std::string runHeading(const RunFigures& shown, char separator)
{
    const auto f = figureTexts(shown, separator);
    return catalogue::format(Text::RunHeading,
                             {runLegend(shown, separator), f[order(Figure::Power)], f[order(Figure::Span)]});
}

namespace {

Text marksOf(long run)
{
    switch (layout::markShape(run)) {
    case layout::MarkShape::Circle:
        return Text::MarkCircles;
    case layout::MarkShape::Square:
        return Text::MarkSquares;
    case layout::MarkShape::Triangle:
        break;
    }
    return Text::MarkTriangles;
}

}  // namespace

std::string runName(long run, const layout::GraphLook& look)
{
    const std::string name(catalogue::text(kRuns[run].name));
    return look.showsMarks() ? catalogue::format(Text::RunWithMark, {name, catalogue::text(marksOf(run))}) : name;
}

std::string runColumnHeading(const DrawnRun& run, long index, const layout::GraphLook& look)
{
    return look.showsMarks() ? catalogue::format(Text::RunWithMark, {run.heading, runName(index, look)}) : run.heading;
}

}  // namespace calvetra
