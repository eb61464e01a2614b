#include "model/exact_solution.h"

#include <cmath>

namespace calvetra {

namespace {

// log1p(x) / x, which is 1 at x = 0. Below the bound the series is exact to
// the last bit: its first term left out, x⁵ / 6, is under 2e-21.
constexpr double kSeriesBound = 1e-4;

double log1pOverX(double x)
{
    if (std::fabs(x) < kSeriesBound)
        return 1 + x * (-1.0 / 2 + x * (1.0 / 3 + x * (-1.0 / 4 + x * (1.0 / 5))));
    return std::log1p(x) / x;
}

}  // namespace

ExactSolution::ExactSolution(const HeatBalance& balance, double initialTemp)
    : q1_(balance.q1), q2_(balance.q2), v0_(balance.v0), t0_(initialTemp),
      steady_(balance.t1 + balance.heat / balance.q1)
{
}

HeatBalance balanceOf(const SlotFigures& slot)
{
    return {slot.inflow, slot.outflow, slot.startVolume, slot.inletTemp, slot.heaterPower};
}

ExactSolution exactSolutionOf(const DrawnRun& run) { return ExactSolution(balanceOf(run.slot), run.slot.initialTemp); }

std::optional<double> ExactSolution::timeConstant() const
{
    if (q1_ != q2_)
        return std::nullopt;
    return v0_ / q1_;
}

double ExactSolution::operator()(double t) const
{
    // Q1 and Q2 are 32-bit numbers: their difference in 64 bits is exact
    // whenever Q2 is within 2^29 of Q1, and near Q1 when it rounds.
    const double x = (q1_ - q2_) * t / v0_;
    const double exponent = -(q1_ * t / v0_) * log1pOverX(x);
    const double delta = steady_ - t0_;
    const double decay = std::exp(exponent);
    if (decay > 0.5)
        return t0_ - delta * std::expm1(exponent);
    return steady_ - delta * decay;
}

}  // namespace calvetra
