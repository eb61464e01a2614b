#include "model/form1.h"
#include "toolkit/checked.h"
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

    // RunIndex walks through the drawn runs so that the heat balance reads
    // each run's slot; it ends where it started. A fault on the way (a span
    // the integration cannot take) must not leave it mid-walk: the runs
    // would drop out of the series, and typing a sound span again would not
    // bring them back.
    const std::int16_t drawn = s.RunIndex;
    try {
        s.RunIndex = checked::add16(drawn, -1);
        if (RungeKuttaSideBySide(s.StartTime, s.SimTime, s.StepCount, drawn)) {
            // All the runs at once, leaving the tables as the walk below does.
            for (std::int16_t i = 0; i < drawn; ++i)
                span_[i] = s.SimTime;
        } else {
            for (std::int16_t i = 0; i < drawn; ++i) {
                s.RunIndex = i;
                RungeKutta(s.StartTime, s.SimTime, s.StepCount, s.InitialTemp[i]);
                span_[i] = s.SimTime;
                for (long j = 0; j <= s.StepCount; ++j)
                    s.RunTemps.set(i, j, s.StepTemps[j]);
            }
        }
        PlotStoredRuns();
        s.RunIndex = checked::add16(s.RunIndex, 1);
    } catch (const RuntimeFault&) {
        s.RunIndex = drawn;
        throw;
    }
}

}  // namespace calvetra
