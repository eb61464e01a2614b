#include "model/form1.h"
#include "toolkit/checked.h"
#include "toolkit/text.h"

namespace calvetra {

using checked::div;
using checked::mul;
using checked::toSingle;

namespace {
double boxValue(const Window& w, int index) { return text::parseLeadingNumber(w.text(text1(index))); }
}  // namespace

// Reads the parameter boxes into slot RunIndex in SI units. The order of the
// steps is part of the behaviour: the outflow uses the inflow and valve
// opening of this same call, and Text1(6) is written (running its change
// handler) before the heater power and the time are read.
void Form1::LoadRunParameters()
{
    RunStore& s = store();
    const double inflowLh = boxValue(window_, kFeedFlowIndex);
    s.Inflow[s.RunIndex] = toSingle(div(div(div(inflowLh, 1000), 60), 60));
    s.InletTemp = 20;
    s.InitialVolume[s.RunIndex] = toSingle(div(boxValue(window_, kVolumeIndex), 1000));
    s.TankCapacity[s.RunIndex] = toSingle(mul(s.InitialVolume[s.RunIndex], 10));
    s.StartVolume[s.RunIndex] = s.InitialVolume[s.RunIndex];
    s.InitialTemp[s.RunIndex] = toSingle(boxValue(window_, kInitialTempIndex));
    s.ValveOpening[s.RunIndex] = toSingle(boxValue(window_, kValveIndex));
    s.Outflow[s.RunIndex] = toSingle(div(mul(s.ValveOpening[s.RunIndex], s.Inflow[s.RunIndex]), 100));
    showOutflow();
    s.HeaterPower[s.RunIndex] = toSingle(boxValue(window_, kPowerIndex));
    s.SimTime = boxValue(window_, kSimTimeIndex);
    showSimTimeInHours();
    if (s.InitialTemp[s.RunIndex] > s.MaxTemp)
        s.MaxTemp = s.InitialTemp[s.RunIndex];
}

// Text1(6): the outflow of the current slot in l/h.
void Form1::showOutflow()
{
    const RunStore& s = store();
    const float litresPerHour = toSingle(mul(mul(mul(s.Outflow[s.RunIndex], 1000), 60), 60));
    setBoxText(text1(kOutflowIndex), text::fixed(litresPerHour, 2, separator_));
}

// Label5: the simulated time in hours. "=" and the unit's symbol "h" are the
// same in every language; only the decimal separator is the user's.
void Form1::showSimTimeInHours()
{
    const double hours = div(div(store().SimTime, 60), 60);
    window_.setCaption(Label::Label5, "= " + text::fixed(hours, 2, separator_) + " h");
}

}  // namespace calvetra
