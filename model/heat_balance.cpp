#include <optional>

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
namespace {
// The heat balance of one run slot, its figures read once: q / ρc is the
// same at every call, and so is every figure read from the slot.
struct HeatBalance {
    double q1, q2, v0, t1, heat;

    HeatBalance(const RunStore& s, long r)
        : q1(s.Inflow[r]), q2(s.Outflow[r]), v0(s.StartVolume[r]), t1(s.InletTemp),
          heat(div(s.HeaterPower[r], double{kHeatCapacity}))
    {
    }

    // dT/dt at (t, y). Inlined into the integrators, whose steps then overlap.
    [[gnu::always_inline]] double operator()(double t, double y) const
    {
        const double d = sub(t1, y);
        const double p = mul(q1, d);
        const double numerator = add(p, heat);
        const double u = mul(q1, t);
        const double w = mul(q2, t);
        const double denominator = add(sub(u, w), v0);
        return div(numerator, denominator);
    }
};
}  // namespace

double Form1::f(double t, double y) const { return HeatBalance(store(), store().RunIndex)(t, y); }

namespace {
// One classic fourth-order Runge-Kutta step of h from (t, y), with
// dT/dt = rate(t, y) and halfH = h / 2.
template <class Rate>
[[gnu::always_inline]] inline double rungeKuttaStep(double t, double y, double h, double halfH, const Rate& rate)
{
    const double k1 = mul(h, rate(t, y));
    const double tMid = add(t, halfH);
    const double k2 = mul(h, rate(tMid, add(y, div(k1, 2))));
    const double k3 = mul(h, rate(tMid, add(y, div(k2, 2))));
    const double k4 = mul(h, rate(add(t, h), add(y, k3)));
    const double c = 1.0 / 6.0;
    return add(y, mul(c, add(add(add(k1, mul(2, k2)), mul(2, k3)), k4)));
}
}  // namespace

// Classic fourth-order Runge-Kutta with N equal steps from a to b, filling
// StepTimes and StepTemps 0..N. Time advances by repeated addition of h.
// Entries above N keep what an earlier, longer integration left there.
void Form1::RungeKutta(double a, double b, std::int16_t N, double y0)
{
    RunStore& s = store();
    const double h = div(sub(b, a), static_cast<double>(N));
    const double halfH = div(h, 2);
    const auto rate = [this](double t, double y) { return f(t, y); };
    double t = a;
    double y = y0;
    s.StepTimes[0] = t;
    s.StepTemps[0] = y0;
    for (long i = 1; i <= N; ++i) {
        y = rungeKuttaStep(t, y, h, halfH, rate);
        t = add(t, h);
        s.StepTimes[i] = t;
        s.StepTemps[i] = y;
    }
}

// The steps of one run wait on one another; the steps of different runs do
// not, so taken side by side the processor works on all the runs at once.
// The figures are those of RungeKutta to the last bit, and so is what the
// tables hold afterwards: RunTemps 0..N of each run, and StepTimes and
// StepTemps as the last run's integration leaves them. The temperatures are
// written only once every step has been taken; on a fault, false, and the
// runs taken one after another fault where and as they always do (the times
// written by then are the ones they write again).
bool Form1::RungeKuttaSideBySide(double a, double b, std::int16_t N, std::int16_t runs)
{
    RunStore& s = store();
    if (runs < 1 || runs > static_cast<long>(sideBySide_.size()) || N < 0)
        return false;
    for (std::int16_t r = 0; r < runs; ++r)
        sideBySide_[r].resize(static_cast<std::size_t>(N) + 1);
    try {
        stepSideBySide(a, b, N, runs);
    } catch (const RuntimeFault&) {
        return false;
    }
    for (std::int16_t r = 0; r < runs; ++r)
        for (long i = 0; i <= N; ++i)
            s.RunTemps.set(r, i, sideBySide_[r][i]);
    for (long i = 0; i <= N; ++i)
        s.StepTemps[i] = sideBySide_[runs - 1][i];
    return true;
}

// The steps themselves, into sideBySide_ and StepTimes. Apart from the catch
// above: in WebAssembly, a call made inside a try block goes out through
// JavaScript.
[[gnu::noinline]] void Form1::stepSideBySide(double a, double b, std::int16_t N, std::int16_t runs)
{
    RunStore& s = store();
    const double h = div(sub(b, a), static_cast<double>(N));
    const double halfH = div(h, 2);
    constexpr std::size_t kMost = std::tuple_size_v<decltype(sideBySide_)>;
    std::array<double, kMost> y{};
    std::array<std::optional<HeatBalance>, kMost> rate;
    for (std::int16_t r = 0; r < runs; ++r) {
        y[r] = s.InitialTemp[r];
        rate[r].emplace(s, r);
        sideBySide_[r][0] = y[r];
    }
    double t = a;
    s.StepTimes[0] = t;
    for (long i = 1; i <= N; ++i) {
        for (std::int16_t r = 0; r < runs; ++r) {
            y[r] = rungeKuttaStep(t, y[r], h, halfH, *rate[r]);
            sideBySide_[r][i] = y[r];
        }
        t = add(t, h);
        s.StepTimes[i] = t;
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
