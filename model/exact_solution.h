#pragma once

// The heat balance solved in closed form, for comparison with the
// integrator. The balance is linear in T:
//
//   V(t) dT/dt + Q1 T = Q1 T1 + q / ρc,     V(t) = V0 + (Q1 − Q2) t,
//
// and multiplying it by the integrating factor exp(∫ Q1 / V dt) makes the
// left side one derivative. With T∞ = T1 + q / (ρc Q1), the temperature the
// tank tends to, and Δ = T∞ − T0:
//
//   T(t) = T∞ − Δ · D(t),  D(t) = (V(t) / V0)^(−Q1 / (Q1 − Q2))   (Q1 ≠ Q2)
//                          D(t) = exp(−Q1 t / V0)                 (Q1 = Q2).
//
// D is evaluated as exp(E) with E = −(Q1 t / V0) · log1p(x) / x, x = (Q1 −
// Q2) t / V0, so no power of a base near 1 and no division by a tiny Q1 − Q2
// ever happens: below |x| = 1e-4 log1p(x) / x is its series, whose first left
// out term is under 2e-21, and at x = 0 (constant volume, or t = 0) it is 1,
// the exponential. T is then taken from whichever end it is nearer: T0 − Δ ·
// expm1(E) while D > 1/2, T∞ − Δ · D after, so that neither a huge T∞ at the
// start nor a huge T0 at the end costs digits.
//
// The figures are the run slot's own, the 32-bit numbers the integrator is
// given (HeatBalance widens them the same way). Defined while the volume is
// positive: for every t ≥ 0, since "Calcular" lets no run drain (Q2 ≤ Q1).

#include <optional>

#include "graph/drawn_graph.h"
#include "model/heat_balance.h"

namespace calvetra {

class ExactSolution {
public:
    ExactSolution(const HeatBalance& balance, double initialTemp);

    // ºC at time t (s), t ≥ 0.
    double operator()(double t) const;

    // T∞, ºC.
    double steadyState() const { return steady_; }
    // V0 / Q1 (s) where the volume holds (Q1 = Q2): the time the tank takes
    // to close 63 % of the way to T∞. Where the volume changes there is no
    // one time constant; the local one, V(t) / Q1, grows with the volume.
    std::optional<double> timeConstant() const;
    // V0 / Q1 (s) in any case: the shortest time scale of the run, the one
    // the step must be small against.
    double initialTimeConstant() const { return v0_ / q1_; }

private:
    double q1_, q2_, v0_, t0_;
    double steady_;
};

// A drawn run's balance and closed form, from its slot's figures.
HeatBalance balanceOf(const SlotFigures& slot);
ExactSolution exactSolutionOf(const DrawnRun& run);

}  // namespace calvetra
