#include "model/step_study.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/exact_solution.h"
#include "toolkit/checked.h"
#include "toolkit/runs.h"

namespace calvetra {

using checked::add;
using checked::div;
using checked::mul;
using checked::sub;

namespace {

// The orders are the methods' own while the coarser step h of a pair is
// small in two senses. Against τ = V0 / Q1: beyond τ / 8 the next term of
// the error, of relative size about h / τ, moves an order by more than 0.1.
// And over the whole span t: a method of order p misses the decay of each
// step by about (h / τ)^(p+1) / (p+1)!, and over t / h steps these add up to
// (t / τ) (h / τ)^p / (p+1)!, which must stay small for the error to be
// proportional to h^p; above 0.2 Euler's order is 0.1 off.
constexpr double kSmallStep = 1.0 / 8;
constexpr double kSmallDrift = 0.2;

bool coarse(double h, double span, double tau, int order)
{
    double factorial = 1;
    for (int k = 2; k <= order + 1; ++k)
        factorial *= k;
    return h > kSmallStep * tau || span / tau * std::pow(h / tau, order) / factorial > kSmallDrift;
}

struct Curve {
    std::vector<double> times, temps;
};

// Euler's and Heun's methods, stepping as rungeKutta does: the time by
// repeated addition of h, every operation checked.
Curve lowerOrder(StudyMethod method, const HeatBalance& f, double y0, double span, std::int16_t n)
{
    Curve c;
    const double h = div(span, static_cast<double>(n));
    double t = 0, y = y0;
    c.times.push_back(t);
    c.temps.push_back(y);
    for (long i = 1; i <= n; ++i) {
        const double k1 = mul(h, f(t, y));
        if (method == StudyMethod::Euler) {
            y = add(y, k1);
        } else {
            const double k2 = mul(h, f(add(t, h), add(y, k1)));
            y = add(y, div(add(k1, k2), 2));
        }
        t = add(t, h);
        c.times.push_back(t);
        c.temps.push_back(y);
    }
    return c;
}

Curve integrated(StudyMethod method, const HeatBalance& f, double y0, double span, std::int16_t n)
{
    if (method != StudyMethod::RungeKutta)
        return lowerOrder(method, f, y0, span, n);
    Curve c;
    c.times.resize(static_cast<std::size_t>(n) + 1);
    c.temps.resize(c.times.size());
    const RunCurve run{f, y0, c.temps};
    rungeKutta({&run, 1}, 0, span, n, c.times);
    return c;
}

// The last step of a run as "Calcular" keeps it: the first whose volume
// passes the capacity, or the end.
std::size_t lastStep(const HeatBalance& f, const std::vector<double>& times, double capacity)
{
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double t = times[i];
        if (add(sub(mul(f.q1, t), mul(f.q2, t)), f.v0) > capacity)
            return i;
    }
    return times.size() - 1;
}

StudyRow row(StudyMethod method, const HeatBalance& f, const ExactSolution& exact, double y0, double span,
             double capacity, std::int16_t n)
{
    const Curve c = integrated(method, f, y0, span, n);
    const std::size_t last = lastStep(f, c.times, capacity);
    StudyRow r;
    r.steps = n;
    r.step = span / n;
    r.end = c.times[last];
    r.value = c.temps[last];
    r.exact = exact(r.end);
    r.error = r.value - r.exact;
    return r;
}

}  // namespace

StepStudy studySteps(const HeatBalance& f, double y0, double span, double capacity)
{
    const ExactSolution exact(f, y0);
    StepStudy study;
    study.span = span;
    study.timeConstant = exact.initialTimeConstant();
    if (f.q1 > f.q2) {
        const double t = (capacity - f.v0) / (f.q1 - f.q2);
        if (t <= span)
            study.overflowTime = t;
    }
    // N steps round N times, at random: about sqrt(N) roundings of the
    // temperature. An error no larger is noise.
    const double rounding =
        std::numeric_limits<double>::epsilon() * std::max({std::fabs(y0), std::fabs(exact.steadyState()), 1.0});
    study.methods = {{{StudyMethod::RungeKutta, 4, {}}, {StudyMethod::Heun, 2, {}}, {StudyMethod::Euler, 1, {}}}};
    for (MethodStudy& m : study.methods) {
        for (const std::int16_t n : kStudySteps) {
            StudyRow r = row(m.method, f, exact, y0, span, capacity, n);
            if (!m.rows.empty()) {
                const StudyRow& coarser = m.rows.back();
                if (r.error != 0) {
                    r.ratio = coarser.error / r.error;
                    r.order = std::log2(std::fabs(*r.ratio));
                }
                if (coarse(coarser.step, r.end, study.timeConstant, m.order))
                    r.caveat = OrderCaveat::CoarseStep;
                else if (std::fabs(r.error) < std::sqrt(static_cast<double>(n)) * rounding)
                    r.caveat = OrderCaveat::Rounding;
            }
            m.rows.push_back(r);
        }
        StudyRow program = row(m.method, f, exact, y0, span, capacity, kCalculationSteps);
        program.program = true;
        m.rows.push_back(program);
    }
    return study;
}

}  // namespace calvetra
