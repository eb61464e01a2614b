#include "model/form1.h"
#include "toolkit/checked.h"
#include "toolkit/text.h"

namespace calvetra {

using checked::add;
using checked::div;
using checked::mul;
using checked::sub;
using checked::toSingle;

namespace {
const CheckedArray<Rgb, 0, 2> kRunColours = [] {
    CheckedArray<Rgb, 0, 2> colours;
    colours[0] = {255, 0, 0};
    colours[1] = {0, 255, 0};
    colours[2] = {0, 0, 255};
    return colours;
}();
constexpr float kPointRadius = 10;

// A whole number of twips taken through its decimal text and back, as the
// plotting has always done; it leaves whole numbers unchanged.
double throughText(double v) { return text::parseLeadingNumber(text::printedNumber(v, '.')); }
}  // namespace

// Plots runs 0 to RunIndex from RunTemps as circles of radius 10, one per
// step, in the run's colour, with its legend; a run stops at the first step
// whose volume passes its capacity (that point is still drawn). The x of a
// point depends on its step number only, so every run spans the whole width.
// Used by "Calcular" and by the time-box edit.
void Form1::PlotStoredRuns()
{
    RunStore& s = store();
    DisplayList& pic = window_.picture();
    const PictureSize size = window_.pictureSize();
    const double ml = s.MarginLeft;
    const double mb = s.MarginBottom;
    const double plotWidth = throughText(sub(sub(size.width, ml), 100));
    const double plotHeight = throughText(sub(sub(size.height, mb), 100));
    const double heightText = throughText(size.height);
    const double xOrigin = sub(ml, 100);
    const double yBase = add(sub(mb, 100), plotHeight);
    const double yScale = sub(sub(heightText, mb), 100);
    const double maxTemp = s.MaxTemp;

    const long lastRun = s.RunIndex;
    drawn_.simTime = s.SimTime;
    for (long run = 0; run <= lastRun; ++run) {
        const long steps = s.StepCount;
        drawn_.stepCount = steps;
        const Rgb colour = kRunColours[run];
        for (long j = 0; j <= steps; ++j) {
            const double x = add(add(div(mul(double(j), plotWidth), steps), xOrigin), 100);
            const double y = sub(sub(yBase, div(mul(yScale, s.RunTemps.at(run, j)), maxTemp)), 100);
            pic.circle(toSingle(x), toSingle(y), kPointRadius, colour);
            if (j == 0) {
                // The legend is the same at every point; set it once.
                const auto slot = static_cast<std::int16_t>(run);
                drawn_.runs.push_back(
                    {RunDescription(slot), RunHeading(slot), 0, false, shownFigures(slot), typed_[run]});
                window_.setLegendLineVisible(static_cast<int>(run), true);
                window_.setCaption(label4(static_cast<int>(run)), drawn_.runs.back().legend);
            }
            drawn_.runs.back().lastStep = j;
            if (runOverflowsAt(run, j)) {
                drawn_.runs.back().overflowed = true;
                break;
            }
        }
    }
}

}  // namespace calvetra
