#include "model/form1.h"
#include "model/messages.h"
#include "toolkit/checked.h"
#include "toolkit/text.h"

namespace calvetra {

using checked::add;
using checked::div;
using checked::mul;
using checked::sub;
using checked::toSingle;

// The heat balance of a run slot, from its figures in SI units.
HeatBalance Form1::balanceOf(long slot) const
{
    const RunStore& s = store();
    return {s.Inflow[slot], s.Outflow[slot], s.StartVolume[slot], s.InletTemp, s.HeaterPower[slot]};
}

double Form1::f(double t, double y) const { return balanceOf(store().RunIndex)(t, y); }

void Form1::RungeKutta(double a, double b, std::int16_t N, double y0) { integrateSlot(store().RunIndex, a, b, N, y0); }

// One slot's run into StepTimes and StepTemps 0..N; entries above N keep
// what an earlier, longer integration left there.
void Form1::integrateSlot(long slot, double a, double b, std::int16_t N, double y0)
{
    RunStore& s = store();
    const RunCurve run{balanceOf(slot), y0, s.StepTemps.entries()};
    rungeKutta({&run, 1}, a, b, N, s.StepTimes.entries());
}

// A calculation: 0 to SimTime in kCalculationSteps from the slot's initial
// temperature.
void Form1::Integrate()
{
    RunStore& s = store();
    s.StartTime = 0;
    s.EndTime = s.SimTime;
    s.StartValue = s.InitialTemp[s.RunIndex];
    s.StepCount = kCalculationSteps;
    RungeKutta(s.StartTime, s.EndTime, s.StepCount, s.StartValue);
}

// "Calcular": one more run on the graph, or the first of a new series when
// three are drawn already.
void Form1::Command1_Click()
{
    RunStore& s = store();
    if (s.RunIndex >= kRunCount) {
        clearPicture();
        DrawGraphFrame();
        s.RunIndex = 0;
        s.MaxTemp = 0;
        for (int k = 0; k < kRunCount; ++k) {
            window_.setLegendLineVisible(k, false);
            window_.setCaption(label4(k), "");
        }
    }
    normaliseAllParameterBoxes();
    LoadRunParameters();
    clampValveOpening();
    if (!checkSlot())
        return;
    typed_[s.RunIndex] = *typedFigures();
    Integrate();
    span_[s.RunIndex] = s.SimTime;

    // Keep the curve up to the first step whose volume passes the capacity,
    // and raise the temperature axis to the hottest step kept.
    const long r = s.RunIndex;
    const long steps = s.StepCount;
    for (long i = 0; i <= steps; ++i) {
        s.RunTemps.set(r, i, s.StepTemps[i]);
        const bool overflows = runOverflowsAt(r, i);
        if (overflows)
            window_.showMessage(messages::overflow(text::general(s.StepTimes[i], separator_)));
        const float rounded = toSingle(s.RunTemps.at(r, i));
        if (rounded > s.MaxTemp)
            s.MaxTemp = rounded;
        if (overflows)
            break;
    }

    clearPicture();
    DrawGraphFrame();
    PlotStoredRuns(s.RunIndex);
    s.RunIndex = checked::add16(s.RunIndex, 1);
}

// A valve opening above 100 % is clamped, with a message, and the outflow
// derived again; the run goes ahead.
void Form1::clampValveOpening()
{
    RunStore& s = store();
    if (!(s.ValveOpening[s.RunIndex] > 100.0f))
        return;
    window_.showMessage(std::string(messages::valveAbove100()));
    s.ValveOpening[s.RunIndex] = 100;
    s.Outflow[s.RunIndex] = toSingle(div(mul(s.ValveOpening[s.RunIndex], s.Inflow[s.RunIndex]), 100));
    showOutflow();
    setBoxText(text1(kValveIndex), "100");
}

// Volume, flow, initial temperature and valve opening of the current slot
// against their lower bounds, with the message when one fails. The bounds
// are 32-bit floats compared with the 32-bit fields; equal passes. The
// simulated time and the heater power are not checked.
bool Form1::checkSlot()
{
    const RunStore& s = store();
    const long r = s.RunIndex;
    const bool valid =
        s.InitialVolume[r] >= 1e-7f && s.Inflow[r] >= 1e-8f && s.InitialTemp[r] >= 0.0001f && s.ValveOpening[r] >= 0.0f;
    if (!valid)
        window_.showMessage(std::string(messages::checkParameters()));
    return valid;
}

RunFigures Form1::shownFigures(std::int16_t slot) const
{
    const RunStore& s = store();
    return {toSingle(mul(s.InitialVolume[slot], 1000)),
            toSingle(mul(mul(mul(s.Inflow[slot], 1000), 60), 60)),
            s.RunTemps.at(slot, 0),
            s.ValveOpening[slot],
            s.HeaterPower[slot],
            span_[slot]};
}

std::string Form1::RunDescription(std::int16_t slot) const { return runLegend(shownFigures(slot), separator_); }

std::string Form1::RunHeading(std::int16_t slot) const { return runHeading(shownFigures(slot), separator_); }

// The legends are texts of the current language: written again in the one
// just chosen.
void Form1::languageChanged()
{
    for (std::size_t k = 0; k < drawn_.runs.size(); ++k) {
        DrawnRun& run = drawn_.runs[k];
        run.legend = runLegend(run.shown, separator_);
        run.heading = runHeading(run.shown, separator_);
        window_.setCaption(label4(static_cast<int>(k)), run.legend);
    }
    if (answer_ && exactShown_)
        showAnswer();
}

std::optional<RunFigures> Form1::typedFigures() const
{
    RunFigures figures;
    try {
        for (const FigureKind& kind : kFigures)
            figures.*kind.member = text::parseLeadingNumber(window_.text(kind.box));
    } catch (const RuntimeFault&) {
        return std::nullopt;
    }
    return figures;
}

}  // namespace calvetra
