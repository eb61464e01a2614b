#include "graph/drawn_graph.h"

#include "toolkit/catalogue.h"

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

}  // namespace calvetra
