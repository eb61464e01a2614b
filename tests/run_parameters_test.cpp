#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/recording_window.h"

using namespace calvetra;
using calvetra::testing::Program;

TEST(LoadRunParameters, InitialTextsFillSlotZero)
{
    Program p;
    const RunStore& s = p.store();
    EXPECT_EQ(s.InitialVolume[0], static_cast<float>(5.4 / 1000));
    EXPECT_EQ(s.Inflow[0], static_cast<float>(10.0 / 1000 / 60 / 60));
    EXPECT_FLOAT_EQ(s.Inflow[0], 2.7777778e-6f);
    EXPECT_EQ(s.InitialTemp[0], 20.0f);
    EXPECT_EQ(s.ValveOpening[0], 100.0f);
    EXPECT_EQ(s.Outflow[0], s.Inflow[0]);
    EXPECT_EQ(s.TankCapacity[0], static_cast<float>(double{s.InitialVolume[0]} * 10));
    EXPECT_FLOAT_EQ(s.TankCapacity[0], 0.054f);
    EXPECT_EQ(s.StartVolume[0], s.InitialVolume[0]);
    EXPECT_EQ(s.HeaterPower[0], 1000.0f);
    EXPECT_EQ(s.SimTime, 20000);
    EXPECT_EQ(s.InletTemp, 20);
    EXPECT_EQ(s.MaxTemp, 20.0f);
    EXPECT_EQ(s.RunIndex, 0);
    EXPECT_EQ(p.window.text(Box::Text1_6), "10.00");
    EXPECT_EQ(p.window.caption(Label::Label5), "= 5.56 h");
}

TEST(LoadRunParameters, CommaSeparatorLocale)
{
    Program p(',');
    EXPECT_EQ(p.window.text(Box::Text1_6), "10,00");
    EXPECT_EQ(p.window.caption(Label::Label5), "= 5,56 h");
}

TEST(LoadRunParameters, OutflowIsWrittenBeforeTheTimeIsRead)
{
    Program p;
    const auto& log = p.window.log;
    const auto outflow = std::find(log.begin(), log.end(), "text 6 = 10.00");
    const auto hours = std::find(log.begin(), log.end(), "caption Label5 = = 5.56 h");
    ASSERT_NE(outflow, log.end());
    ASSERT_NE(hours, log.end());
    EXPECT_LT(outflow, hours);
}

TEST(LoadRunParameters, TextsAreReadUpToTheirFirstNonNumber)
{
    Program p;
    p.type(Box::Text1_1, "1,5");
    p.type(Box::Text1_5, "99");  // display only: never read
    p.type(Box::Text1_3, "0");
    p.form.LoadRunParameters();
    const RunStore& s = p.store();
    EXPECT_EQ(s.Inflow[0], static_cast<float>(1.0 / 1000 / 60 / 60));
    EXPECT_EQ(s.InletTemp, 20);
    EXPECT_EQ(s.SimTime, 0);
    EXPECT_EQ(p.window.caption(Label::Label5), "= 0.00 h");
    EXPECT_EQ(p.window.text(Box::Text1_6), "1.00");
}

TEST(LoadRunParameters, ValveAbove100IsStoredAsTyped)
{
    Program p;
    p.type(Box::Text1_4, "150");
    p.form.LoadRunParameters();
    EXPECT_EQ(p.store().ValveOpening[0], 150.0f);
    EXPECT_EQ(p.window.text(Box::Text1_6), "15.00");
    EXPECT_TRUE(p.window.messages.empty());
}

TEST(LoadRunParameters, MaxTempOnlyRises)
{
    Program p;
    p.type(Box::Text1_2, "10");
    p.form.LoadRunParameters();
    EXPECT_EQ(p.store().MaxTemp, 20.0f);
    p.type(Box::Text1_2, "20");
    p.form.LoadRunParameters();
    EXPECT_EQ(p.store().MaxTemp, 20.0f);
    p.type(Box::Text1_2, "35.5");
    p.form.LoadRunParameters();
    EXPECT_EQ(p.store().MaxTemp, 35.5f);
}

TEST(LoadRunParameters, FlowBeyondTheSingleRangeFaultsAfterReadingIt)
{
    Program p;
    p.type(Box::Text1_1, "1e46");
    try {
        p.form.LoadRunParameters();
        FAIL() << "no fault";
    } catch (const RuntimeFault& fault) {
        EXPECT_EQ(fault.kind(), FaultKind::Overflow);
    }
    EXPECT_EQ(p.store().Inflow[0], static_cast<float>(10.0 / 1000 / 60 / 60));  // nothing stored
}

TEST(LoadRunParameters, ChangeOfTheOutflowBoxRunsItsHandlerWithoutEffect)
{
    Program p;
    const std::size_t before = p.window.pictureOps.size();
    p.type(Box::Text1_4, "50");
    p.form.LoadRunParameters();
    EXPECT_EQ(p.window.text(Box::Text1_6), "5.00");
    EXPECT_EQ(p.window.pictureOps.size(), before);  // Text1(6) has no effect of its own
}

TEST(RunStore, IndicesAreChecked)
{
    Program p;
    RunStore& s = p.store();
    EXPECT_THROW(s.Inflow[4], RuntimeFault);
    EXPECT_THROW(s.Inflow[-1], RuntimeFault);
    EXPECT_THROW(s.StepTemps[10001], RuntimeFault);
    EXPECT_THROW(s.RunTemps.at(4, 0), RuntimeFault);
    EXPECT_THROW(s.RunTemps.at(0, 1000001), RuntimeFault);
    EXPECT_NO_THROW(s.RunTemps.at(3, 1000000));
    s.RunIndex = 4;
    EXPECT_THROW(p.form.LoadRunParameters(), RuntimeFault);
}

// The run curves keep every index check of runs 0..3 by steps 0..1 000 000;
// only steps a step table can reach (0..10 000) are stored, and the steps
// past them read as the zero they hold from the start.
TEST(RunStore, RunCurvesAreCheckedAtTheirBoundsAndStoreTheReachableSteps)
{
    Program p;
    RunStore& s = p.store();
    for (const auto& [run, step] : {std::pair{-1L, 0L}, {4L, 0L}, {0L, -1L}, {0L, 1000001L}, {3L, 1000001L}}) {
        EXPECT_THROW(s.RunTemps.at(run, step), RuntimeFault) << run << ", " << step;
        EXPECT_THROW(s.RunTemps.set(run, step, 1), RuntimeFault) << run << ", " << step;
    }
    for (const auto& [run, step] : {std::pair{0L, 10001L}, {3L, 500000L}, {3L, 1000000L}})
        EXPECT_EQ(s.RunTemps.at(run, step), 0.0) << run << ", " << step;
    // A write no step table could make is refused, and changes nothing.
    EXPECT_THROW(s.RunTemps.set(3, 10001, 1), RuntimeFault);
    EXPECT_EQ(s.RunTemps.at(3, 10001), 0.0);

    s.RunTemps.set(0, 0, 1.5);
    s.RunTemps.set(3, 10000, 2.5);
    EXPECT_EQ(s.RunTemps.at(0, 0), 1.5);
    EXPECT_EQ(s.RunTemps.at(3, 10000), 2.5);
    EXPECT_EQ(s.RunTemps.at(2, 10000), 0.0);
    EXPECT_EQ(s.RunTemps.at(0, 1), 0.0);
}
