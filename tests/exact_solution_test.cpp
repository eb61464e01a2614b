#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "model/exact_solution.h"

using namespace calvetra;

namespace {

// A run's figures as the run slot stores them: 32-bit numbers, the outflow
// derived from the valve as the program derives it.
HeatBalance storedBalance(float volume, float inflow, float valve, float power)
{
    const auto outflow = static_cast<float>(static_cast<double>(valve) * inflow / 100);
    return HeatBalance(inflow, outflow, volume, 20, power);
}

// The closed form in long double from the same figures, in one plain
// expression: T0 − Δ · expm1(−Q1 / (Q1 − Q2) · log1p((Q1 − Q2) t / V0)),
// or with the exponent −Q1 t / V0 when the volume holds.
long double reference(const HeatBalance& b, long double t0, long double t)
{
    const long double q1 = b.q1, q2 = b.q2, v0 = b.v0, d = q1 - q2;
    const long double steady = static_cast<long double>(b.t1) + static_cast<long double>(b.heat) / q1;
    const long double exponent = d == 0 ? -q1 * t / v0 : -(q1 / d) * std::log1p(d * t / v0);
    return t0 - (steady - t0) * std::expm1(exponent);
}

}  // namespace

// Every combination of the extremes the checks let through (the smallest
// volume and flow, valves from closed to a hair below open and open, no
// power to a large one, a cooling one) at times from the first instant to
// far beyond any overflow, against the long double reference.
TEST(ExactSolution, MatchesTheLongDoubleReferenceToARelative1e12)
{
    const float volumes[] = {1e-7f, 5.4e-3f, 2.0f};
    const float inflows[] = {1e-8f, 10.0f / 1000 / 3600, 1e-2f};
    const float valves[] = {0, 50, 99, 99.9999f, 100};
    const float powers[] = {0, 1000, 1e6f, -300};
    const float initialTemps[] = {1e-4f, 20, 90};
    const double timesInTimeConstants[] = {0, 1e-12, 1e-6, 1e-3, 0.5, 1, 3, 10, 40, 300};
    const double longestSpan = 1e9;  // s

    double worst = 0;
    std::string where;
    int cases = 0;
    for (float v0 : volumes)
        for (float q1 : inflows)
            for (float valve : valves)
                for (float q : powers)
                    for (float t0 : initialTemps) {
                        const HeatBalance b = storedBalance(v0, q1, valve, q);
                        const ExactSolution exact(b, t0);
                        // A relative error means nothing where T crosses 0 ºC.
                        if (exact.steadyState() < 1)
                            continue;
                        auto check = [&](double t) {
                            const long double want = reference(b, t0, t);
                            const double got = exact(t);
                            const double error = static_cast<double>(std::fabs((got - want) / want));
                            ++cases;
                            EXPECT_LE(error, 1e-12) << "V0 " << v0 << " Q1 " << q1 << " valve " << valve << " q " << q
                                                    << " T0 " << t0 << " t " << t;
                            if (error > worst) {
                                worst = error;
                                char text[200];
                                std::snprintf(text, sizeof text,
                                              "V0 %g m3, Q1 %g m3/s, valve %g %%, q %g W, T0 %g, t %g s", v0, q1, valve,
                                              q, t0, t);
                                where = text;
                            }
                        };
                        for (double k : timesInTimeConstants)
                            check(k * exact.initialTimeConstant());
                        check(longestSpan);
                    }
    std::printf("closed form: %d cases, worst relative error %.3g at %s\n", cases, worst, where.c_str());
    EXPECT_GT(cases, 1000);
}

// What the data table shows beside the curves: T∞ for every run, the time
// constant only where the volume holds; and the start is the start.
TEST(ExactSolution, SteadyStateTimeConstantAndStart)
{
    const HeatBalance open = storedBalance(5.4e-3f, 10.0f / 1000 / 3600, 100, 1000);
    const ExactSolution exact(open, 20);
    EXPECT_NEAR(exact.steadyState(), 107.80, 0.01);
    ASSERT_TRUE(exact.timeConstant());
    EXPECT_NEAR(*exact.timeConstant(), 1944, 0.1);
    EXPECT_EQ(exact(0), 20);
    EXPECT_NEAR(exact(*exact.timeConstant()), 107.80 - 87.80 * std::exp(-1.0), 0.01);
    EXPECT_FALSE(ExactSolution(storedBalance(5.4e-3f, 10.0f / 1000 / 3600, 50, 1000), 20).timeConstant());
    EXPECT_EQ(ExactSolution(storedBalance(5.4e-3f, 10.0f / 1000 / 3600, 0, 0), 20)(1e5), 20);
}
