#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "model/heat_balance.h"
#include "tests/support/recording_window.h"

using namespace calvetra;
using calvetra::testing::Program;

namespace {
void expectRelative(double actual, double expected, double tolerance = 1e-9)
{
    EXPECT_NEAR(actual, expected, std::fabs(expected) * tolerance) << "expected about " << expected;
}

// With the valve at 100 % the volume is constant and the balance has the
// closed form T(t) = Tss + (T0 − Tss) exp(−Q1 t / V0), Tss = T1 + q / (ρc Q1),
// here for slot 0 starting at 20 ºC with 1000 W.
double analyticTemperature(const RunStore& s, double t)
{
    const double q1 = s.Inflow[0];
    const double v0 = s.StartVolume[0];
    const double tss = 20 + 1000.0 / (4100000.0 * q1);
    return tss + (20 - tss) * std::exp(-q1 * t / v0);
}

// The balance is linear in T, so its closed form holds for any flows: with
// V = V0 + (Q1 − Q2) t and T∞ = T1 + q / (ρc Q1), T approaches T∞ as
// (V / V0)^(−Q1 / (Q1 − Q2)), or as exp(−Q1 t / V0) when Q1 = Q2. Worked out
// in long double from the balance's own (widened) figures.
long double closedForm(const HeatBalance& b, long double t0, long double t)
{
    const long double q1 = b.q1, q2 = b.q2, v0 = b.v0;
    const long double tInf = b.t1 + b.heat / q1;
    const long double decay = q1 == q2 ? std::exp(-q1 * t / v0) : std::pow((v0 + (q1 - q2) * t) / v0, -q1 / (q1 - q2));
    return tInf - (tInf - t0) * decay;
}

// The error of rungeKutta's last temperature after `steps` steps over `span`.
double endError(const HeatBalance& b, double t0, double span, std::int16_t steps)
{
    std::vector<double> times(static_cast<std::size_t>(steps) + 1), temps(times.size());
    const RunCurve run{b, t0, temps};
    rungeKutta({&run, 1}, 0, span, steps, times);
    return static_cast<double>(std::fabs(temps.back() - closedForm(b, t0, span)));
}
}  // namespace

// The integrator itself against the closed form: halving the step divides
// the error by 2^4, for a tank that fills and for one whose volume holds.
TEST(RungeKutta, ConvergesAtTheFourthOrderToTheClosedForm)
{
    constexpr float kLitresPerHour = 1.0f / 1000 / 3600;
    struct Tank {
        const char* name;
        HeatBalance balance;
    };
    const Tank tanks[] = {
        {"filling", HeatBalance(10 * kLitresPerHour, 5 * kLitresPerHour, 5.4e-3f, 20, 1000)},
        {"constant volume", HeatBalance(10 * kLitresPerHour, 10 * kLitresPerHour, 5.4e-3f, 20, 1000)},
    };
    for (const Tank& tank : tanks) {
        SCOPED_TRACE(tank.name);
        const double span = 3 * tank.balance.v0 / tank.balance.q1;  // three time constants V0 / Q1
        std::array<double, 4> errors{};                             // 20, 40, 80 and 160 steps
        const auto steps = [](std::size_t k) { return 20 << k; };
        for (std::size_t k = 0; k < errors.size(); ++k)
            errors[k] = endError(tank.balance, 20, span, static_cast<std::int16_t>(steps(k)));
        for (std::size_t k = 0; k + 1 < errors.size(); ++k) {
            const double order = std::log2(errors[k] / errors[k + 1]);
            std::printf("%s: %d to %d steps, error %.3g to %.3g, observed order %.4f\n", tank.name, steps(k),
                        steps(k + 1), errors[k], errors[k + 1], order);
            EXPECT_GE(order, 3.9) << steps(k) << " to " << steps(k + 1) << " steps";
            EXPECT_LE(order, 4.1) << steps(k) << " to " << steps(k + 1) << " steps";
        }
        EXPECT_GT(errors.back(), 1e-9) << "the finest error must stay well above the rounding";
    }
}

TEST(HeatBalance, InitialBoxesIntegrateToTheKnownCurve)
{
    Program p;  // start-up loads the initial boxes into slot 0
    expectRelative(p.form.f(0, 20), 0.0451671, 1e-6);
    p.form.Integrate();
    const RunStore& s = p.store();
    EXPECT_EQ(s.StepCount, 5000);
    EXPECT_EQ(s.EndTime, 20000);
    EXPECT_EQ(s.StartValue, 20);
    EXPECT_EQ(s.StepTimes[1], 4);
    expectRelative(s.StepTemps[1], 20.18048, 1e-6);
    expectRelative(s.StepTemps[500], 76.4205, 1e-6);
    expectRelative(s.StepTemps[5000], 107.80189, 1e-7);
    EXPECT_EQ(s.StepTimes[5000], 20000);
}

TEST(HeatBalance, ConstantVolumeMatchesTheAnalyticSolution)
{
    Program p;
    p.form.RungeKutta(0, 2000, 1000, 20);
    EXPECT_NEAR(p.store().StepTemps[1000], analyticTemperature(p.store(), 2000), 1e-8);
}

TEST(HeatBalance, ErrorShrinksSixteenfoldWhenTheStepHalves)
{
    Program p;
    const double exact = analyticTemperature(p.store(), 20000);
    p.form.RungeKutta(0, 20000, 100, 20);
    const double coarse = std::fabs(p.store().StepTemps[100] - exact);
    p.form.RungeKutta(0, 20000, 200, 20);
    const double fine = std::fabs(p.store().StepTemps[200] - exact);
    EXPECT_NEAR(coarse / fine, 16.0, 1.5);
}

TEST(HeatBalance, DegenerateSpans)
{
    Program p;
    RunStore& s = p.store();
    p.form.RungeKutta(0, 0, 5000, 20);  // zero span: h = 0
    EXPECT_EQ(s.StepTimes[5000], 0);
    EXPECT_EQ(s.StepTemps[5000], 20);

    p.form.RungeKutta(0, -100, 10, 20);  // negative span runs backwards
    EXPECT_EQ(s.StepTimes[10], -100);
    EXPECT_LT(s.StepTemps[10], 20);  // heated tank: it was cooler before

    p.form.RungeKutta(0, 100, -3, 20);  // negative N: no step at all
    EXPECT_EQ(s.StepTemps[0], 20);
    EXPECT_EQ(s.StepTimes[0], 0);
}

TEST(HeatBalance, NoHeaterAtFeedTemperatureStaysExactly20)
{
    Program p;
    p.type(Box::Text1_7, "0");
    p.form.LoadRunParameters();
    p.form.Integrate();
    for (long i = 0; i <= 5000; i += 250)
        EXPECT_EQ(p.store().StepTemps[i], 20.0) << i;
}

TEST(HeatBalance, ShorterIntegrationLeavesLaterEntriesInPlace)
{
    Program p;
    p.form.Integrate();
    const double t3000 = p.store().StepTimes[3000];
    const double y5000 = p.store().StepTemps[5000];
    p.form.RungeKutta(0, 100, 1000, 20);
    EXPECT_NEAR(p.store().StepTimes[1000], 100, 1e-9);  // 1000 additions of 0.1
    EXPECT_EQ(p.store().StepTimes[3000], t3000);
    EXPECT_EQ(p.store().StepTemps[5000], y5000);
}

TEST(HeatBalance, BadStepCountsFault)
{
    Program p;
    EXPECT_THROW(p.form.RungeKutta(0, 100, 0, 20), RuntimeFault);
    try {
        p.form.RungeKutta(0, 10001, 10001, 20);
        FAIL() << "no fault";
    } catch (const RuntimeFault& fault) {
        EXPECT_EQ(fault.kind(), FaultKind::IndexOutOfRange);
    }
    EXPECT_EQ(p.store().StepTimes[10000], 10000);  // entries up to 10000 were written
}

TEST(HeatBalance, ZeroVolumeDividesByZero)
{
    Program p;
    p.store().StartVolume[0] = 0;
    try {
        p.form.f(0, 20);
        FAIL() << "no fault";
    } catch (const RuntimeFault& fault) {
        EXPECT_EQ(fault.kind(), FaultKind::DivisionByZero);
    }
}
