#include "model/heat_balance.h"

#include <array>

#include "toolkit/fault.h"

namespace calvetra {

using checked::add;
using checked::div;
using checked::mul;
using checked::sub;

namespace {

// Writes entry i of a table, checking the index as the store's tables do.
inline void put(std::span<double> table, long i, double value)
{
    if (i < 0 || static_cast<std::size_t>(i) >= table.size()) [[unlikely]]
        raiseFault(FaultKind::IndexOutOfRange);
    table[static_cast<std::size_t>(i)] = value;
}

// One classic fourth-order Runge-Kutta step of h from (t, y), halfH = h / 2.
[[gnu::always_inline]] inline double step(const HeatBalance& rate, double t, double y, double h, double halfH)
{
    const double k1 = mul(h, rate(t, y));
    const double tMid = add(t, halfH);
    const double k2 = mul(h, rate(tMid, add(y, div(k1, 2))));
    const double k3 = mul(h, rate(tMid, add(y, div(k2, 2))));
    const double k4 = mul(h, rate(add(t, h), add(y, k3)));
    const double c = 1.0 / 6.0;
    return add(y, mul(c, add(add(add(k1, mul(2, k2)), mul(2, k3)), k4)));
}

// The loop, for a number of runs the compiler knows: it keeps every run's
// temperature in a register and interleaves the runs' steps, which do not
// wait on one another.
template <std::size_t Runs>
void integrate(std::span<const RunCurve> runs, double a, double b, std::int16_t N, std::span<double> times)
{
    const double h = div(sub(b, a), static_cast<double>(N));
    const double halfH = div(h, 2);
    std::array<double, Runs> y;
    double t = a;
    put(times, 0, t);
    for (std::size_t r = 0; r < Runs; ++r) {
        y[r] = runs[r].start;
        put(runs[r].temps, 0, y[r]);
    }
    for (long i = 1; i <= N; ++i) {
        for (std::size_t r = 0; r < Runs; ++r)
            y[r] = step(runs[r].balance, t, y[r], h, halfH);
        t = add(t, h);
        put(times, i, t);
        for (std::size_t r = 0; r < Runs; ++r)
            put(runs[r].temps, i, y[r]);
    }
}

}  // namespace

void rungeKutta(std::span<const RunCurve> runs, double a, double b, std::int16_t N, std::span<double> times)
{
    static_assert(kRunCount == 3);
    switch (runs.size()) {
    case 0:
        return;
    case 1:
        return integrate<1>(runs, a, b, N, times);
    case 2:
        return integrate<2>(runs, a, b, N, times);
    case 3:
        return integrate<3>(runs, a, b, N, times);
    default:
        raiseFault(FaultKind::IndexOutOfRange);
    }
}

}  // namespace calvetra
