#include <algorithm>
#include <utility>
#include <vector>

#include "graph/exact_curve.h"
#include "graph/plot_area.h"
#include "graph/whole_graph.h"
#include "model/form1.h"
#include "toolkit/checked.h"
#include "toolkit/layout.h"

namespace calvetra {

using checked::toSingle;

namespace {
constexpr float kPointRadius = 10;
}  // namespace

// Plots runs 0 to lastRun from RunTemps as circles of radius 10, one per
// step, in the run's colour, with its legend; a run stops at the first step
// whose volume passes its capacity (that point is still drawn). The x of a
// point depends on its step number only, so every run spans the whole width.
// Used by "Calcular" and by the time-box edit.
void Form1::PlotStoredRuns(long lastRun)
{
    RunStore& s = store();
    DisplayList& pic = window_.picture();
    const PlotArea area = plotArea();

    const layout::GraphStyle& style = look_.style();
    const bool showsMarks = look_.showsMarks();
    std::vector<std::pair<long, GraphPoint>> marks;
    drawn_.area = area;
    for (long run = 0; run <= lastRun; ++run) {
        const long steps = s.StepCount;
        drawn_.stepCount = steps;
        layout::runColour(run);  // another run number is a fault
        const Rgb colour = style.runs[run];
        DrawnRun* curve = nullptr;
        for (long j = 0; j <= steps; ++j) {
            const double x = area.xOfStep(j, steps);
            const double temperature = s.RunTemps.at(run, j);
            const double y = area.yOfTemperature(temperature);
            pic.circle(toSingle(x), toSingle(y), kPointRadius, colour, style.curvePixels);
            if (showsMarks && carriesMark(run, j, steps, style))
                marks.push_back({run, {x, y}});
            // The legend is the same at every point; set it once.
            if (j == 0)
                curve = &startDrawnRun(run, steps);
            curve->lastStep = j;
            curve->temperatures.push_back(temperature);
            if (runOverflowsAt(run, j)) {
                curve->overflowed = true;
                break;
            }
        }
    }
    // Over every curve, so that no later curve hides an earlier one's marks.
    for (const auto& [run, p] : marks)
        drawRunMark(pic, run, toSingle(p.x), toSingle(p.y), style);
    drawn_.exact = exactShown_;
    if (exactShown_) {
        exactFrom_ = pic.size();
        drawExactCurves(drawn_, pic);
    }
}

// The run as drawn from now on, its legend shown.
DrawnRun& Form1::startDrawnRun(long run, long steps)
{
    const RunStore& s = store();
    const auto slot = static_cast<std::int16_t>(run);
    DrawnRun& drawn =
        drawn_.runs.emplace_back(DrawnRun{RunDescription(slot),
                                          RunHeading(slot),
                                          0,
                                          false,
                                          shownFigures(slot),
                                          typed_[run],
                                          {},
                                          {s.Inflow[run], s.Outflow[run], s.StartVolume[run], s.HeaterPower[run],
                                           s.InitialTemp[run], s.TankCapacity[run], s.InletTemp}});
    drawn.temperatures.reserve(static_cast<std::size_t>(steps) + 1);
    window_.setLegendLineVisible(static_cast<int>(run), true);
    window_.setCaption(label4(static_cast<int>(run)), drawn.legend);
    return drawn;
}

void Form1::chooseGraphLook(const layout::GraphLook& look)
{
    guarded([&] {
        look_ = look;
        RunStore& s = store();
        // What the graph shows was drawn at the frame's scale and the drawn
        // curves' step count; a query or a refused "Calcular" since may have
        // moved both in the store, and they stay as they are.
        const float maxTemp = s.MaxTemp;
        const double simTime = s.SimTime;
        const std::int16_t steps = s.StepCount;
        const auto runs = static_cast<long>(drawn_.runs.size());
        s.MaxTemp = frameMaxTemp_;
        s.SimTime = frameSimTime_;
        if (runs > 0)
            s.StepCount = static_cast<std::int16_t>(drawn_.stepCount);
        clearPicture();
        DrawGraphFrame();
        PlotStoredRuns(runs - 1);
        s.MaxTemp = maxTemp;
        s.SimTime = simTime;
        s.StepCount = steps;
    });
}

}  // namespace calvetra
