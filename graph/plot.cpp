#include "graph/exact_curve.h"
#include "graph/plot_area.h"
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

    drawn_.area = area;
    for (long run = 0; run <= lastRun; ++run) {
        const long steps = s.StepCount;
        drawn_.stepCount = steps;
        const Rgb colour = layout::runColour(run);
        for (long j = 0; j <= steps; ++j) {
            const double x = area.xOfStep(j, steps);
            const double y = area.yOfTemperature(s.RunTemps.at(run, j));
            pic.circle(toSingle(x), toSingle(y), kPointRadius, colour);
            if (j == 0) {
                // The legend is the same at every point; set it once.
                const auto slot = static_cast<std::int16_t>(run);
                drawn_.runs.push_back({RunDescription(slot),
                                       RunHeading(slot),
                                       0,
                                       false,
                                       shownFigures(slot),
                                       typed_[run],
                                       {},
                                       {s.Inflow[run], s.Outflow[run], s.StartVolume[run], s.HeaterPower[run],
                                        s.InitialTemp[run], s.TankCapacity[run], s.InletTemp}});
                drawn_.runs.back().temperatures.reserve(static_cast<std::size_t>(steps) + 1);
                window_.setLegendLineVisible(static_cast<int>(run), true);
                window_.setCaption(label4(static_cast<int>(run)), drawn_.runs.back().legend);
            }
            drawn_.runs.back().lastStep = j;
            drawn_.runs.back().temperatures.push_back(s.RunTemps.at(run, j));
            if (runOverflowsAt(run, j)) {
                drawn_.runs.back().overflowed = true;
                break;
            }
        }
    }
    drawn_.exact = exactShown_;
    if (exactShown_) {
        exactFrom_ = pic.size();
        drawExactCurves(drawn_, pic);
    }
}

}  // namespace calvetra
