#pragma once

// The heat balance of the tank and its integrator: the program's engine.
//
// The tank is perfectly mixed (the outlet leaves at the tank temperature),
// fed at a constant flow and temperature, drained at a constant flow and
// heated at a constant power. The liquid keeps its density and heat
// capacity, no heat is lost through the walls, and the volume changes
// linearly with time, V(t) = V0 + (Q1 − Q2) t, since both flows are
// constant. An energy balance on it gives the rate of the temperature:
//
//              Q1 · (T1 − T) + q / ρc
//   dT/dt  =  ------------------------      K/s
//              Q1 · t − Q2 · t + V0
//
//   t   time since the start of the run, s
//   T   tank temperature, ºC
//   Q1  feed flow, m³/s                     Q2  outlet flow, m³/s
//   T1  feed temperature, ºC (always 20)
//   q   heater power, W                     ρc  4 100 000 J/(m³·K)
//   V0  liquid volume at t = 0, m³
//
// q / ρc is in m³·K/s, the unit of a flow times a temperature difference,
// so the numerator over a volume is a rate. The denominator is positive as
// long as V0 > 0 and the outflow does not exceed the inflow ("Calcular"
// checks both before it integrates).
//
// Every operation is checked (toolkit/checked.h): an overflow, an invalid
// operation or a division by zero raises a RuntimeFault, and so does an
// index past the end of a table. The evaluation order is fixed, since it
// decides the rounding of every figure the program shows, and the figures of
// a run do not depend on the other runs integrated with it: one run or three,
// the same bits.

#include <cstdint>
#include <span>

#include "model/run_store.h"
#include "toolkit/checked.h"

namespace calvetra {

// The heat balance of one run, its figures widened to 64 bits once.
struct HeatBalance {
    // ρc, J/(m³·K), held as a 32-bit number.
    static constexpr float kHeatCapacity = 4100000.0f;

    // The figures as the run slot holds them, in SI units (the table above).
    HeatBalance(float inflow, float outflow, float startVolume, std::int16_t inletTemp, float heaterPower)
        : q1(inflow), q2(outflow), v0(startVolume), t1(inletTemp),
          heat(checked::div(heaterPower, double{kHeatCapacity}))
    {
    }

    // dT/dt at time t (s) and temperature y (ºC), in K/s. Inlined into the
    // integrator, whose steps of different runs then overlap.
    [[gnu::always_inline]] double operator()(double t, double y) const
    {
        using namespace checked;
        const double d = sub(t1, y);
        const double p = mul(q1, d);
        const double numerator = add(p, heat);
        const double u = mul(q1, t);
        const double w = mul(q2, t);
        const double denominator = add(sub(u, w), v0);
        return div(numerator, denominator);
    }

    double q1, q2, v0, t1;
    double heat;  // q / ρc, m³·K/s
};

// One run to integrate: its balance, its temperature at the start (ºC), and
// where its temperatures go, step i into temps[i].
struct RunCurve {
    HeatBalance balance;
    double start;
    std::span<double> temps;
};

// Classic fourth-order Runge-Kutta from a to b (s) in N equal steps of
// h = (b − a) / N, every run at once: times[i] and each run's temps[i] for
// i = 0 to N, where the time advances by repeated addition of h (times[i]
// carries the rounding of i additions). No step at all when N is negative;
// N = 0 divides by zero. An index past the end of a table faults at the step
// that would write it, after the earlier steps are written. With no run,
// nothing is written. At most kRunCount runs, the runs of
// one series.
void rungeKutta(std::span<const RunCurve> runs, double a, double b, std::int16_t N, std::span<double> times);

}  // namespace calvetra
