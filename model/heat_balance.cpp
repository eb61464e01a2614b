#include "model/form1.h"
#include "toolkit/checked.h"

namespace calvetra {

using checked::add;
using checked::div;
using checked::mul;
using checked::sub;

namespace {
// Volumetric heat capacity of the liquid (density times specific heat),
// J/(m³·K), held as a 32-bit float.
constexpr float kHeatCapacity = 4100000.0f;
}  // namespace

// The heat balance of the tank, dT/dt in K/s:
//
//              Q1 · (T1 − T) + q / ρc
//   dT/dt  =  ------------------------
//              Q1 · t − Q2 · t + V0
//
//   t   time since the start of the run, s
//   T   tank temperature, ºC (the argument y)
//   Q1  feed flow, m³/s (Inflow)           Q2  outlet flow, m³/s (Outflow)
//   T1  feed temperature, ºC (InletTemp, always 20)
//   q   heater power, W (HeaterPower)      ρc  4 100 000 J/(m³·K)
//   V0  liquid volume at t = 0, m³ (StartVolume)
//
// It follows from an energy balance on a perfectly mixed tank (the outlet
// leaves at the tank temperature), fed at a constant temperature, heated at
// constant power, with a liquid of constant density and heat capacity, no
// heat lost through the walls, and a volume that changes linearly with time,
// V(t) = V0 + (Q1 − Q2) t, because both flows are constant. q / ρc is in
// m³·K/s, the unit of a flow times a temperature difference.
//
// The evaluation order is fixed, since it decides the rounding of every
// figure the program shows. Slot RunIndex is read afresh at every call.
double Form1::f(double t, double y) const
{
    const RunStore& s = store();
    const long r = s.RunIndex;
    const double q1 = s.Inflow[r];
    const double d = sub(s.InletTemp, y);
    const double p = mul(q1, d);
    const double heat = div(s.HeaterPower[r], double{kHeatCapacity});
    const double numerator = add(p, heat);
    const double u = mul(q1, t);
    const double w = mul(s.Outflow[r], t);
    const double denominator = add(sub(u, w), s.StartVolume[r]);
    return div(numerator, denominator);
}

// Classic fourth-order Runge-Kutta with N equal steps from a to b, filling
// StepTimes and StepTemps 0..N. Time advances by repeated addition of h.
// Entries above N keep what an earlier, longer integration left there.
void Form1::RungeKutta(double a, double b, std::int16_t N, double y0)
{
    RunStore& s = store();
    const double h = div(sub(b, a), static_cast<double>(N));
    const double halfH = div(h, 2);
    double t = a;
    double y = y0;
    s.StepTimes[0] = t;
    s.StepTemps[0] = y0;
    for (long i = 1; i <= N; ++i) {
        const double k1 = mul(h, f(t, y));
        const double tMid = add(t, halfH);
        const double k2 = mul(h, f(tMid, add(y, div(k1, 2))));
        const double k3 = mul(h, f(tMid, add(y, div(k2, 2))));
        const double k4 = mul(h, f(add(t, h), add(y, k3)));
        const double c = 1.0 / 6.0;
        y = add(y, mul(c, add(add(add(k1, mul(2, k2)), mul(2, k3)), k4)));
        t = add(t, h);
        s.StepTimes[i] = t;
        s.StepTemps[i] = y;
    }
}

// A calculation: 0 to SimTime in 5000 steps from the slot's initial temperature.
void Form1::Integrate()
{
    RunStore& s = store();
    s.StartTime = 0;
    s.EndTime = s.SimTime;
    s.StartValue = s.InitialTemp[s.RunIndex];
    s.StepCount = 5000;
    RungeKutta(s.StartTime, s.EndTime, 5000, s.StartValue);
}

}  // namespace calvetra
