#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include <algorithm>

#include "model/step_study.h"
#include "model/step_study_view.h"

using namespace calvetra;

namespace {

constexpr float kLitresPerHour = 1.0f / 1000 / 3600;

HeatBalance tank(float valve)
{
    const float q1 = 10 * kLitresPerHour;
    const auto q2 = static_cast<float>(static_cast<double>(valve) * q1 / 100);
    return HeatBalance(q1, q2, 5.4e-3f, 20, 1000);
}

const char* name(StudyMethod m)
{
    return m == StudyMethod::RungeKutta ? "RK4" : m == StudyMethod::Heun ? "Heun" : "Euler";
}

void print(const char* title, const StepStudy& study)
{
    std::printf("%s: span %g s, V0/Q1 %g s, overflow %s\n", title, study.span, study.timeConstant,
                study.overflowTime ? std::to_string(*study.overflowTime).c_str() : "none");
    for (const MethodStudy& m : study.methods) {
        std::printf("  %s\n  %6s %10s %10s %18s %18s %11s %10s %7s %s\n", name(m.method), "N", "h", "end", "T", "exact",
                    "error", "ratio", "order", "caveat");
        for (const StudyRow& r : m.rows)
            std::printf("  %6d %10.4g %10.6g %18.12f %18.12f %11.3e %10.4g %7.3f %d\n", r.steps, r.step, r.end, r.value,
                        r.exact, r.error, r.ratio.value_or(NAN), r.order.value_or(NAN), static_cast<int>(r.caveat));
    }
}

}  // namespace

// The observed orders where the study calls them the method's: 4, 2 and 1
// within 0.1, for a tank whose volume holds over 20000 s and for one that
// fills at valve 50 % until it overflows.
TEST(StepStudy, ObservedOrdersAreTheMethodsOwn)
{
    struct Case {
        const char* name;
        float valve;
        double span;
        int ownOrders;  // rows at least whose order the study calls the method's
    };
    // Over twenty time constants the rows either drift or round: the study
    // may find no order of Runge-Kutta's own there, but calls none wrongly.
    for (const Case& c : {Case{"constant volume", 100, 20000, 3}, Case{"filling tank", 50, 40000, 2},
                          Case{"constant volume, 20 time constants", 100, 40000, 0}}) {
        SCOPED_TRACE(c.name);
        const HeatBalance b = tank(c.valve);
        const StepStudy study = studySteps(b, 20, c.span, 10 * b.v0);
        print(c.name, study);
        for (const MethodStudy& m : study.methods) {
            int counted = 0;
            for (const StudyRow& r : m.rows)
                if (r.order && r.caveat == OrderCaveat::None) {
                    EXPECT_NEAR(*r.order, m.order, 0.1) << name(m.method) << " N = " << r.steps;
                    ++counted;
                }
            EXPECT_GE(counted, c.ownOrders) << name(m.method);
        }
    }
}

// What the study says and exports: the rows of a filling tank end at the
// overflow as the program's curve does, within a step after the exact
// moment; a sentence for each reason an order is not the method's; one CSV
// line per row.
TEST(StepStudy, EndsAtTheOverflowAndSaysWhyOrdersDrop)
{
    const HeatBalance filling = tank(50);
    const StepStudy study = studySteps(filling, 20, 40000, 10 * filling.v0);
    ASSERT_TRUE(study.overflowTime);
    EXPECT_NEAR(*study.overflowTime, 9 * filling.v0 / (filling.q1 - filling.q2), 1e-6);
    for (const MethodStudy& m : study.methods)
        for (const StudyRow& r : m.rows) {
            EXPECT_GE(r.end, *study.overflowTime) << r.steps;
            EXPECT_LT(r.end, *study.overflowTime + r.step + 1e-9) << r.steps;
        }
    const StepStudyView view = stepStudyView(study, "Curva roja", '.');
    ASSERT_EQ(view.tables.size(), 3u);
    EXPECT_EQ(view.tables[0].rows.size(), kStudySteps.size() + 1);
    EXPECT_EQ(view.tables[0].rows.back()[0], "5000 (el programa)");
    for (const std::string& note : view.notes)
        std::printf("note: %s\n", note.c_str());
    // Coarse steps for each method, Runge-Kutta's rounding, the overflow.
    ASSERT_EQ(view.notes.size(), 5u);
    EXPECT_EQ(view.notes[0].rfind("Runge-Kutta clásico (orden 4): hasta 320 pasos, el orden observado viene de pasos "
                                  "de 250 s o más",
                                  0),
              0u)
        << view.notes[0];
    EXPECT_EQ(view.notes[2].rfind("Euler (orden 1): hasta 1280 pasos", 0), 0u) << view.notes[2];
    EXPECT_NE(view.notes[3].find("redondeo"), std::string::npos) << view.notes[3];
    EXPECT_NE(view.notes[4].find("34992"), std::string::npos) << view.notes[4];

    const StepStudy still = studySteps(tank(100), 20, 20000, 10 * filling.v0);
    EXPECT_FALSE(still.overflowTime);
    EXPECT_EQ(stepStudyView(still, "", '.').notes.size(), 4u);  // no overflow to tell of

    const std::string csv = stepStudyCsv(study, ',');
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 3 * static_cast<long>(kStudySteps.size() + 1));
    EXPECT_NE(csv.find("Runge-Kutta clásico (orden 4);5000 (el programa);8;35000;"), std::string::npos);
    const std::string svg = stepStudySvg(study, '.');
    EXPECT_NE(svg.find("pendiente 4"), std::string::npos);
    EXPECT_NE(svg.find("pendiente 1"), std::string::npos);
}
