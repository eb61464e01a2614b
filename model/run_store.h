#pragma once

// The run slot store: the one set of values every handler of the window
// shares. A run slot for each run of a series and one more (slots 0 to
// kLastRun) of 32-bit parameters, the scalars of
// the current series and the latest integration, and the 64-bit result
// tables. Everything starts at zero. Every table access checks its index.

#include <cstdint>

#include "graph/plot_area.h"
#include "toolkit/checked_array.h"
#include "toolkit/runs.h"

namespace calvetra {

// The runs of a series are in slots 0 .. kRunCount − 1; the slot after
// them is the one a query loads once the series is complete (RunIndex
// stands there until the next "Calcular" starts a new series).
constexpr long kLastRun = kRunCount;
constexpr long kLastStep = 10000;       // StepTimes, StepTemps
constexpr long kLastRunStep = 1000000;  // RunTemps, of which steps 0..kLastStep are stored

using PerRun = CheckedArray<float, 0, kLastRun>;
using StepTable = CheckedArray<double, 0, kLastStep>;

struct RunStore {
    // Per-run fields, SI units.
    PerRun InitialVolume;  // m³, liquid volume at t = 0
    PerRun Inflow;         // m³/s, feed flow Q1
    PerRun InitialTemp;    // ºC, tank temperature at t = 0
    PerRun ValveOpening;   // %, outlet flow as a share of the feed flow
    PerRun Outflow;        // m³/s, outlet flow Q2
    PerRun TankCapacity;   // m³, volume at which the tank overflows (10 V0)
    PerRun StartVolume;    // m³, V0 as the heat balance uses it
    PerRun HeaterPower;    // W, heater power q

    std::int16_t RunIndex = 0;   // runs drawn in the series = slot the next load fills
    double SimTime = 0;          // s, simulated time span, end of the time axis
    std::int16_t InletTemp = 0;  // ºC, feed temperature (always 20 once loaded)
    float MaxTemp = 0;           // ºC, top of the temperature axis
    double MarginLeft = 0;       // x of the temperature axis on the graph
    double MarginBottom = 0;     // height of the time axis above the graph's bottom

    // The latest integration request.
    std::int16_t StartTime = 0;
    double EndTime = 0;
    double StartValue = 0;
    std::int16_t StepCount = 0;

    StepTable StepTimes;                                       // s, time of each step of the latest integration
    StepTable StepTemps;                                       // ºC, temperature of each step
    CheckedTable RunTemps{kLastRun, kLastRunStep, kLastStep};  // ºC, curve of each run
};

// The axes as the store keeps them, for the plot area.
inline PlotScale plotScale(const RunStore& s) { return {s.MarginLeft, s.MarginBottom, s.SimTime, s.MaxTemp}; }

}  // namespace calvetra
