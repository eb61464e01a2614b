#include <algorithm>
#include <vector>

#include "model/form1.h"
#include "toolkit/text.h"

namespace calvetra {

// The change handler of the parameter boxes. Only the simulated time box acts:
// the new span is shown in hours, and every run on the graph is integrated
// again over it and redrawn, with no overflow message. Runs on every
// keystroke, and nested inside the program's own writes to the boxes.
void Form1::Text1_Change(std::int16_t Index)
{
    if (Index != kSimTimeIndex)
        return;
    RunStore& s = store();
    s.SimTime = text::parseLeadingNumber(window_.text(text1(kSimTimeIndex)));
    if (!(s.SimTime > 0))
        s.SimTime = 0.0001;
    showSimTimeInHours();
    clearPicture();
    DrawGraphFrame();

    // RunIndex, the number of runs drawn, stays as it is.
    const std::int16_t drawn = s.RunIndex;
    integrateDrawnRuns(drawn);
    PlotStoredRuns(drawn - 1);
}

// Runs 0..runs-1 integrated again over the span, into RunTemps, leaving
// StepTimes and StepTemps as the last run's integration leaves them. Side
// by side where that goes through; where a step faults, one run after
// another, which fault where and as they always do.
void Form1::integrateDrawnRuns(std::int16_t runs)
{
    RunStore& s = store();
    if (integrateSideBySide(runs)) {
        for (std::int16_t i = 0; i < runs; ++i)
            span_[i] = s.SimTime;
        return;
    }
    for (std::int16_t i = 0; i < runs; ++i) {
        integrateSlot(i, s.StartTime, s.SimTime, s.StepCount, s.InitialTemp[i]);
        span_[i] = s.SimTime;
        for (long j = 0; j <= s.StepCount; ++j)
            s.RunTemps.set(i, j, s.StepTemps[j]);
    }
}

// The runs' curves go into sideBySide_ and are kept only once every step
// has been taken; on a fault, false, with RunTemps and StepTemps untouched
// (the times written by then are the ones the runs one after another write
// again).
bool Form1::integrateSideBySide(std::int16_t runs)
{
    RunStore& s = store();
    const std::int16_t N = s.StepCount;
    if (runs < 1 || runs > kRunCount)
        return false;
    std::vector<RunCurve> curves;
    for (std::int16_t r = 0; r < runs; ++r) {
        sideBySide_[r].resize(static_cast<std::size_t>(std::max<long>(N, 0)) + 1);
        curves.push_back({balanceOf(r), s.InitialTemp[r], sideBySide_[r]});
    }
    // Only the one call inside the try block: in WebAssembly, a call made
    // there goes out through JavaScript.
    try {
        rungeKutta(curves, s.StartTime, s.SimTime, N, s.StepTimes.entries());
    } catch (const RuntimeFault&) {
        return false;
    }
    for (std::int16_t r = 0; r < runs; ++r)
        for (long i = 0; i <= N; ++i)
            s.RunTemps.set(r, i, sideBySide_[r][i]);
    const std::vector<double>& last = sideBySide_[runs - 1];
    for (std::size_t i = 0; i < last.size(); ++i)
        s.StepTemps[static_cast<long>(i)] = last[i];
    return true;
}

}  // namespace calvetra
