#pragma once

// What the graph shows, as plain data: the runs plotted since it was last
// cleared, each with its legend, its figures and the temperatures of its
// points, and the plot area and step count the points were placed with.
// The program keeps it as it draws; the writers (the SVG drawing, the CSV,
// the data table) and the faces' copies of the graph read only this.

#include <string>
#include <vector>

#include <cstdint>

#include "graph/plot_area.h"
#include "toolkit/figures.h"
#include "toolkit/layout.h"

namespace calvetra {

// A run slot's 32-bit figures, SI units (model/run_store.h).
struct SlotFigures {
    float inflow = 0, outflow = 0, startVolume = 1, heaterPower = 0, initialTemp = 0, tankCapacity = 0;
    std::int16_t inletTemp = 0;
};

struct DrawnRun {
    std::string legend;
    // The legend with the heater power and the span the curve covers: the
    // run's name wherever it must be told from the others (data, tables).
    std::string heading;
    long lastStep = 0;
    bool overflowed = false;  // the curve stops at lastStep because the tank overflowed
    RunFigures shown;         // its figures as the legend shows them, span of its curve
    RunFigures typed;         // what the boxes held when "Calcular" drew it
    // ºC at steps 0 .. lastStep, the points as they are drawn.
    std::vector<double> temperatures;
    // Its slot's figures as it was integrated with them: what its closed
    // form and the study of its step are worked out from.
    SlotFigures slot;
};

struct DrawnGraph {
    std::vector<DrawnRun> runs;
    long stepCount = 0;
    PlotArea area;
    layout::GraphLook look;  // the look it is drawn in
    bool exact = false;      // the closed form is shown beside the runs
};

// A run's name (run 0, 1, 2) as its legend tells it: by its colour
// ("Curva roja"), and by its marks too where the look has them.
std::string runName(long run, const layout::GraphLook& look);
// A column's heading as the legend tells the run: its heading, and its
// marks where the look has them.
std::string runColumnHeading(const DrawnRun& run, long index, const layout::GraphLook& look);

// A run's legend, and its heading: the legend with the power and the span.
std::string runLegend(const RunFigures& shown, char separator);
std::string runHeading(const RunFigures& shown, char separator);

}  // namespace calvetra
