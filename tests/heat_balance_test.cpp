#include <gtest/gtest.h>

#include <cmath>

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
}  // namespace

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
