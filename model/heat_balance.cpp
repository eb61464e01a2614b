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

// Two numbers side by side, one a lane, each sum, product and quotient of
// them the same IEEE operation as on one number alone.
using Pair = double __attribute__((vector_size(2 * sizeof(double))));

// The balances of two runs side by side, the first's in lane 0, with
// HeatBalance's operations in its order, unchecked.
struct BalancePair {
    BalancePair(const HeatBalance& a, const HeatBalance& b)
        : q1{a.q1, b.q1}, q2{a.q2, b.q2}, v0{a.v0, b.v0}, t1{a.t1, b.t1}, heat{a.heat, b.heat}
    {
    }
    Pair volume(double t) const { return (q1 * t - q2 * t) + v0; }
    Pair rate(Pair volume, Pair y) const { return (q1 * (t1 - y) + heat) / volume; }
    Pair q1, q2, v0, t1, heat;
};

// step() for two runs at once, each lane's operations step()'s. Unchecked,
// it checks after: false, y as it was, where any operation of it would have
// faulted, for step() to raise that fault. A figure that is not finite
// carries on into every later one but through a quotient by an infinite
// volume, so the volumes and each k and the result are checked; a volume of
// zero makes its quotient infinite or not a number.
[[gnu::always_inline]] inline bool pairStep(const BalancePair& rate, double t, Pair& y, double h, double halfH)
{
    const double tMid = t + halfH;
    const Pair start = rate.volume(t), middle = rate.volume(tMid), end = rate.volume(t + h);
    const Pair k1 = h * rate.rate(start, y);
    const Pair k2 = h * rate.rate(middle, y + k1 / 2);
    const Pair k3 = h * rate.rate(middle, y + k2 / 2);
    const Pair k4 = h * rate.rate(end, y + k3);
    const double c = 1.0 / 6.0;
    const Pair next = y + c * (((k1 + 2 * k2) + 2 * k3) + k4);
    const auto finite = [](Pair v) { return v - v == 0; };
    const auto fine =
        finite(start) & finite(middle) & finite(end) & finite(k1) & finite(k2) & finite(k3) & finite(k4) & finite(next);
    if (!(fine[0] && fine[1])) [[unlikely]]
        return false;
    y = next;
    return true;
}

// The loop, for a number of runs the compiler knows: it keeps every run's
// temperature in a register and interleaves the runs' steps, which do not
// wait on one another; the first two in the lanes of one pair.
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
    [[maybe_unused]] const BalancePair two(runs[0].balance, runs[Runs > 1 ? 1 : 0].balance);
    for (long i = 1; i <= N; ++i) {
        std::size_t r = 0;
        if constexpr (Runs >= 2) {
            Pair both{y[0], y[1]};
            if (pairStep(two, t, both, h, halfH)) {
                y[0] = both[0];
                y[1] = both[1];
                r = 2;
            }
        }
        for (; r < Runs; ++r)
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
