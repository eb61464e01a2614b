#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "model/messages.h"
#include "tests/support/drawing.h"
#include "tests/support/recording_window.h"
#include "toolkit/text.h"

using namespace calvetra;
using namespace calvetra::testing;

namespace {

PictureOp lastCircle(const DisplayList& pic, Rgb colour)
{
    const std::vector<PictureOp> all = circles(pic, colour);
    return all.empty() ? PictureOp{} : all.back();
}

}  // namespace

TEST(TimeBoxEdit, OnlyTheTimeBoxActs)
{
    Program p;
    p.form.clickCalcular();
    const auto opsBefore = p.window.pictureOps.revision();
    const double simTime = p.store().SimTime;
    for (Box box : {Box::Text1_0, Box::Text1_1, Box::Text1_2, Box::Text1_4, Box::Text1_5, Box::Text1_7})
        p.type(box, "7");
    EXPECT_EQ(p.window.pictureOps.revision(), opsBefore);
    EXPECT_EQ(p.store().SimTime, simTime);
    EXPECT_EQ(p.store().InitialVolume[0], static_cast<float>(5.4 / 1000));
}

TEST(TimeBoxEdit, NonPositiveOrNonNumericSpansBecomeATenThousandthOfASecond)
{
    for (const char* text : {"0", "-5", "", "abc"}) {
        SCOPED_TRACE(text);
        Program p;
        p.type(Box::Text1_3, text);
        EXPECT_EQ(p.store().SimTime, 0.0001);
        EXPECT_EQ(p.window.caption(Label::Label5), "= 0.00 h");
        EXPECT_EQ(p.store().RunIndex, 0);
        EXPECT_EQ(p.window.pictureOps.size(), kFrameOps);  // the empty frame, redrawn
        EXPECT_EQ(p.window.pictureOps.textOf(p.window.pictureOps.ops()[22]), " 0.0001 ");
        EXPECT_TRUE(p.window.messages.empty());
    }
}

TEST(TimeBoxEdit, ThreeRunsAreRecomputedAndRedrawn)
{
    Program p;
    p.type(Box::Text1_7, "500");
    p.form.clickCalcular();
    p.type(Box::Text1_7, "1000");
    p.form.clickCalcular();
    p.type(Box::Text1_7, "1500");
    p.form.clickCalcular();
    const float maxTemp = p.store().MaxTemp;

    p.type(Box::Text1_3, "2000");
    const RunStore& s = p.store();
    EXPECT_EQ(s.RunIndex, 3);
    EXPECT_EQ(s.SimTime, 2000);
    EXPECT_EQ(s.MaxTemp, maxTemp);
    EXPECT_EQ(p.window.caption(Label::Label5), "= 0.56 h");
    const DisplayList& pic = p.window.pictureOps;
    EXPECT_EQ(circleCount(pic, kRed), 5001u);
    EXPECT_EQ(circleCount(pic, kGreen), 5001u);
    EXPECT_EQ(circleCount(pic, kBlue), 5001u);
    EXPECT_EQ(pic.size(), kFrameOps + 3 * 5001);
    // Each run's curve now ends at 2000 s, with its own heater.
    EXPECT_NEAR(s.StepTimes[5000], 2000, 1e-9);
    Program single;
    single.type(Box::Text1_3, "2000");
    single.type(Box::Text1_7, "1000");
    single.form.clickCalcular();
    EXPECT_EQ(s.RunTemps.at(1, 5000), single.store().RunTemps.at(0, 5000));
    EXPECT_TRUE(p.window.legendVisible[2]);
    EXPECT_NE(p.window.caption(Label::Label4_0).find("V = 5.4 (l)"), std::string::npos);
    EXPECT_TRUE(p.window.messages.empty());
}

TEST(TimeBoxEdit, AfterAQueryRunsAreRedrawnWithAThousandSteps)
{
    Program p;
    p.form.clickCalcular();
    p.type(Box::Text2, "100");
    EXPECT_EQ(p.store().StepCount, 1000);
    p.type(Box::Text1_3, "10000");
    EXPECT_EQ(circleCount(p.window.pictureOps, kRed), 1001u);
    EXPECT_EQ(lastCircle(p.window.pictureOps, kRed).x1, 6755);
    EXPECT_EQ(p.store().RunIndex, 1);
}

TEST(TimeBoxEdit, OverflowWithinTheNewSpanCutsTheCurveSilently)
{
    Program p;
    p.type(Box::Text1_4, "0");
    p.type(Box::Text1_3, "10000");
    p.form.clickCalcular();  // fills 5.4 l to 8.17 l: no overflow in 10000 s
    ASSERT_TRUE(p.window.messages.empty());
    p.type(Box::Text1_3, "20000");
    EXPECT_TRUE(p.window.messages.empty());
    EXPECT_EQ(circleCount(p.window.pictureOps, kRed), 4376u);  // up to 17500 s
}

TEST(TimeBoxEdit, ALongerSpanDrawsAboveTheTopLine)
{
    Program p;
    p.type(Box::Text1_3, "2000");
    p.form.clickCalcular();
    const float maxTemp = p.store().MaxTemp;
    p.type(Box::Text1_3, "20000");
    EXPECT_EQ(p.store().MaxTemp, maxTemp);
    EXPECT_LT(lastCircle(p.window.pictureOps, kRed).y1, 0);  // far above the frame
    const DisplayList& pic = p.window.pictureOps;
    EXPECT_EQ(pic.textOf(pic.ops()[10]), text::pointOne(maxTemp, '.'));
    EXPECT_EQ(pic.textOf(pic.ops()[22]), " 20000 ");
}

TEST(TimeBoxEdit, AFaultingSpanKeepsTheDrawnRuns)
{
    Program p;
    for (int i = 0; i < 3; ++i)
        p.form.clickCalcular();
    p.type(Box::Text1_3, "100000000");  // the integration overflows
    EXPECT_EQ(p.window.messages, std::vector<std::string>{faultMessage(FaultKind::Overflow)});
    EXPECT_EQ(p.store().RunIndex, 3);
    p.type(Box::Text1_3, "20000");  // a sound span brings all three back
    EXPECT_EQ(circleCount(p.window.pictureOps, kBlue), 5001u);
    EXPECT_EQ(p.store().RunIndex, 3);
}

TEST(InstantQuery, TemperatureAtATime)
{
    Program p;
    p.type(Box::Text2, "100");
    EXPECT_EQ(p.window.caption(Label::Label2), "24.4");
    p.type(Box::Text2, "1000");
    EXPECT_EQ(p.window.caption(Label::Label2), "55.3");
    EXPECT_EQ(p.store().StepCount, 1000);
    EXPECT_EQ(p.store().EndTime, 1000);
    EXPECT_EQ(p.store().RunIndex, 0);
    EXPECT_EQ(p.window.pictureOps.size(), kFrameOps);  // nothing drawn

    Program comma(',');
    comma.type(Box::Text2, "100");
    EXPECT_EQ(comma.window.caption(Label::Label2), "24,4");
    comma.type(Box::Text2, "1000");
    EXPECT_EQ(comma.window.caption(Label::Label2), "55,3");
}

TEST(InstantQuery, ZeroSpanShowsTheInitialTemperature)
{
    for (const char* text : {"", "0"}) {
        Program p;
        p.type(Box::Text2, "5");
        p.type(Box::Text2, text);
        EXPECT_EQ(p.window.caption(Label::Label2), "20.0") << '"' << text << '"';
    }
}

TEST(InstantQuery, HalvesOfSecondsGoToTheEvenNeighbour)
{
    Program p;
    p.type(Box::Text2, "2.5");
    EXPECT_EQ(p.store().EndTime, 2);
    p.type(Box::Text2, "3.5");
    EXPECT_EQ(p.store().EndTime, 4);
}

TEST(InstantQuery, ACommaIsRewrittenAndTheQueryRunsTwice)
{
    Program p;
    std::vector<double> endTimes;
    p.window.onMessage = [&](const std::string&) { endTimes.push_back(p.store().EndTime); };
    p.type(Box::Text1_0, "0");
    p.type(Box::Text2, "1,5");
    EXPECT_EQ(p.window.text(Box::Text2), "1.5");
    EXPECT_EQ(p.window.messages, (std::vector<std::string>{std::string(messages::checkParameters()),
                                                           std::string(messages::checkParameters())}));
    EXPECT_EQ(endTimes, (std::vector<double>{2, 2}));  // nested and outer run both ask for 2 s

    Program ok;
    ok.type(Box::Text2, "1,5");
    EXPECT_EQ(ok.store().EndTime, 2);
    EXPECT_TRUE(ok.window.messages.empty());
    EXPECT_NE(ok.window.caption(Label::Label2), "");
}

TEST(InstantQuery, NegativeTimeIntegratesThenComplains)
{
    Program p;
    p.type(Box::Text2, "100");
    p.type(Box::Text2, "-10");
    EXPECT_EQ(p.window.messages, std::vector<std::string>{std::string(messages::negativeTime())});
    EXPECT_EQ(p.window.caption(Label::Label2), "24.4");  // keeps its text
    EXPECT_NEAR(p.store().StepTimes[1000], -10, 1e-9);
    EXPECT_LT(p.store().RunTemps.at(0, 1000), 20);  // the backwards curve is stored in slot 0
    EXPECT_EQ(p.store().RunTemps.at(0, 1000), p.store().StepTemps[1000]);
}

TEST(InstantQuery, ValveAbove100IsClamped)
{
    Program p;
    p.type(Box::Text1_4, "150");
    p.type(Box::Text2, "100");
    EXPECT_EQ(p.window.messages, std::vector<std::string>{std::string(messages::valveAbove100())});
    EXPECT_EQ(p.window.text(Box::Text1_4), "100");
    EXPECT_EQ(p.window.text(Box::Text1_6), "10.00");
    EXPECT_EQ(p.store().Outflow[0], p.store().Inflow[0]);
    EXPECT_EQ(p.window.caption(Label::Label2), "24.4");
}

TEST(InstantQuery, FailedCheckLeavesTheRequestSet)
{
    Program p;
    p.type(Box::Text1_0, "0");
    p.type(Box::Text2, "300");
    EXPECT_EQ(p.window.messages, std::vector<std::string>{std::string(messages::checkParameters())});
    EXPECT_EQ(p.store().StepCount, 1000);
    EXPECT_EQ(p.store().EndTime, 300);
    EXPECT_EQ(p.window.caption(Label::Label2), "");
}

TEST(InstantQuery, FillsTheSlotTheNextCalcularWouldFill)
{
    Program p;
    p.form.clickCalcular();
    const double drawnEnd = p.store().RunTemps.at(0, 5000);
    p.type(Box::Text2, "100");
    EXPECT_EQ(p.store().RunTemps.at(0, 5000), drawnEnd);  // the drawn run is untouched
    EXPECT_EQ(p.store().RunTemps.at(1, 1000), p.store().StepTemps[1000]);
}

TEST(InstantQuery, ACommaInTheTimeBoxRedrawsTheRunsFirst)
{
    Program p;
    p.form.clickCalcular();
    p.type(Box::Text1_3, "1000,5");
    EXPECT_EQ(p.store().SimTime, 1000);
    p.window.log.clear();
    p.type(Box::Text2, "100");
    EXPECT_EQ(p.store().SimTime, 1000.5);
    ASSERT_GE(p.window.log.size(), 3u);
    EXPECT_EQ(p.window.log[0], "text 3 = 1000.5");
    EXPECT_EQ(p.window.log[1], "caption Label5 = = 0.28 h");
    EXPECT_EQ(p.window.log.back(), "caption Label2 = 24.4");
    EXPECT_EQ(circleCount(p.window.pictureOps, kRed), 5001u);  // redrawn with 5000 steps
}

// The edit integrates the drawn runs side by side: the tables must come out
// as the walk through the runs one after another leaves them, to the bit,
// also for a span whose integration faults part of the way.
TEST(TimeBoxEdit, RunsSideBySideLeaveTheTablesAsTheWalkOneAfterAnother)
{
    for (const char* span : {"2000", "20000", "100000000"}) {
        SCOPED_TRACE(span);
        Program edited, walked;
        for (Program* q : {&edited, &walked}) {
            q->type(Box::Text1_7, "500");
            q->form.clickCalcular();
            q->type(Box::Text1_4, "50");
            q->form.clickCalcular();
            q->type(Box::Text1_7, "3000");
            q->form.clickCalcular();
        }
        edited.type(Box::Text1_3, span);

        RunStore& w = walked.store();
        w.SimTime = text::parseLeadingNumber(span);
        try {
            for (std::int16_t i = 0; i < 3; ++i) {
                w.RunIndex = i;
                walked.form.RungeKutta(w.StartTime, w.SimTime, w.StepCount, w.InitialTemp[i]);
                for (long j = 0; j <= w.StepCount; ++j)
                    w.RunTemps.set(i, j, w.StepTemps[j]);
            }
        } catch (const RuntimeFault&) {
        }

        const RunStore& e = edited.store();
        const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
        for (long j = 0; j <= kLastStep; ++j) {
            ASSERT_EQ(bits(e.StepTimes[j]), bits(w.StepTimes[j])) << "StepTimes " << j;
            ASSERT_EQ(bits(e.StepTemps[j]), bits(w.StepTemps[j])) << "StepTemps " << j;
            for (long run = 0; run < 3; ++run)
                ASSERT_EQ(bits(e.RunTemps.at(run, j)), bits(w.RunTemps.at(run, j))) << "run " << run << ", step " << j;
        }
    }
}
