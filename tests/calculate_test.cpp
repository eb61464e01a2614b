#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "model/messages.h"
#include "tests/support/drawing.h"
#include "tests/support/recording_window.h"
#include "toolkit/text.h"

using namespace calvetra;
using namespace calvetra::testing;

TEST(Calcular, FirstPressWithTheInitialBoxes)
{
    Program p;
    p.form.clickCalcular();
    const RunStore& s = p.store();
    EXPECT_TRUE(p.window.messages.empty());
    EXPECT_NEAR(s.MaxTemp, 107.80189f, 1e-4f);
    EXPECT_EQ(s.RunIndex, 1);

    const DisplayList& pic = p.window.pictureOps;
    ASSERT_EQ(pic.size(), kFrameOps + 5001);
    const auto red = circles(pic, kRed);
    ASSERT_EQ(red.size(), 5001u);
    EXPECT_EQ(red[0].x1, 800);
    EXPECT_NEAR(red[0].y1, 3891.38, 0.01);
    EXPECT_EQ(red[500].x1, 1395.5f);
    EXPECT_NEAR(red[500].y1, 1455.08, 0.01);
    EXPECT_EQ(red[5000].x1, 6755);
    EXPECT_NEAR(red[5000].y1, 99.99996, 1e-4);
    EXPECT_LT(red[5000].y1, 100);
    EXPECT_EQ(red[0].x2, 10);  // radius

    EXPECT_TRUE(p.window.legendVisible[0]);
    EXPECT_FALSE(p.window.legendVisible[1]);
    EXPECT_EQ(p.window.caption(Label::Label4_0), kInitialDescription);
    EXPECT_EQ(pic.textOf(pic.ops()[10]), "107.8");  // the frame is rescaled
}

TEST(Calcular, DescriptionInACommaLocale)
{
    Program p(',');
    p.type(Box::Text1_0, "5.25");
    p.form.clickCalcular();
    EXPECT_EQ(p.window.caption(Label::Label4_0), "V = 5,25 (l) -- Q = 10 (l/h) -- To = 20,0 (ºC) -- Ap.Valv = 100 (%)");
}

TEST(Calcular, TankOverflowIsReportedOnceAndCutsTheCurve)
{
    Program p;
    p.type(Box::Text1_4, "0");
    p.form.clickCalcular();
    EXPECT_EQ(p.window.messages, std::vector<std::string>{"Desbordamniento a t = 17500 (s)"});
    EXPECT_EQ(circles(p.window.pictureOps, kRed).size(), 4376u);  // steps 0 to 4375
    EXPECT_EQ(p.store().RunIndex, 1);
    // The message comes before the graph is redrawn.
    EXPECT_EQ(p.window.log.back(),
              "caption Label4(0) = V = 5.4 (l) -- Q = 10 (l/h) -- To = 20.0 (ºC) -- Ap.Valv = 0 (%)");

    Program half;
    half.type(Box::Text1_4, "50");
    half.form.clickCalcular();
    EXPECT_TRUE(half.window.messages.empty());
    EXPECT_EQ(circles(half.window.pictureOps, kRed).size(), 5001u);
}

// A run cut by an overflow stores its steps up to the overflow; the steps
// after it keep what the slot's run of an earlier series left there.
TEST(Calcular, StepsPastAnOverflowKeepTheSlotsOlderCurve)
{
    Program p;
    for (int k = 0; k < 3; ++k)
        p.form.clickCalcular();
    std::vector<double> older;
    for (long j = 0; j <= 5000; ++j)
        older.push_back(p.store().RunTemps.at(0, j));
    p.type(Box::Text1_4, "0");
    p.form.clickCalcular();  // a new series, in slot 0, cut at step 4375
    ASSERT_EQ(p.window.messages, std::vector<std::string>{"Desbordamniento a t = 17500 (s)"});
    const RunStore& s = p.store();
    EXPECT_EQ(s.RunTemps.at(0, 4375), s.StepTemps[4375]);
    EXPECT_NE(s.RunTemps.at(0, 4375), older[4375]);
    for (long j = 4376; j <= 5000; ++j)
        ASSERT_EQ(s.RunTemps.at(0, j), older[static_cast<std::size_t>(j)]) << j;
    EXPECT_NE(s.StepTemps[5000], older[5000]);  // the integration did reach past it
}

TEST(Calcular, ValveAbove100IsClamped)
{
    Program p;
    p.type(Box::Text1_4, "150");
    p.form.clickCalcular();
    EXPECT_EQ(p.window.messages, std::vector<std::string>{std::string(messages::valveAbove100())});
    EXPECT_EQ(p.window.text(Box::Text1_4), "100");
    EXPECT_EQ(p.window.text(Box::Text1_6), "10.00");
    EXPECT_EQ(p.store().Outflow[0], p.store().Inflow[0]);
    EXPECT_EQ(p.window.caption(Label::Label4_0), kInitialDescription);

    Program both;
    both.type(Box::Text1_4, "150");
    both.type(Box::Text1_0, "0");
    both.form.clickCalcular();
    EXPECT_EQ(both.window.messages, (std::vector<std::string>{std::string(messages::valveAbove100()),
                                                              std::string(messages::checkParameters())}));
    EXPECT_EQ(both.window.pictureOps.size(), kFrameOps);  // nothing drawn
    EXPECT_EQ(both.store().RunIndex, 0);
}

TEST(Calcular, ValidationBounds)
{
    struct Row {
        Box box;
        const char* text;
        bool passes;
    };
    const Row rows[] = {
        {Box::Text1_0, "0.00005", false}, {Box::Text1_0, "0.0001", true}, {Box::Text1_1, "0.03", false},
        {Box::Text1_1, "0.036", true},    {Box::Text1_2, "0", false},     {Box::Text1_2, "-5", false},
        {Box::Text1_2, "0.0001", true},   {Box::Text1_4, "-1", false},    {Box::Text1_0, "", false},
        {Box::Text1_1, "abc", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("box ") + std::to_string(static_cast<int>(row.box)) + " = " + row.text);
        Program p;
        p.type(Box::Text1_3, "1");  // a short span keeps the tiniest tank's integration stable
        p.type(row.box, row.text);
        p.form.clickCalcular();
        if (row.passes) {
            EXPECT_EQ(p.store().RunIndex, 1);
            EXPECT_TRUE(std::none_of(p.window.messages.begin(), p.window.messages.end(), [](const std::string& m) {
                return m == std::string(messages::checkParameters());
            }));
        } else {
            EXPECT_EQ(p.store().RunIndex, 0);
            EXPECT_EQ(p.window.messages, std::vector<std::string>{std::string(messages::checkParameters())});
            EXPECT_EQ(p.window.pictureOps.size(), kFrameOps);
        }
    }
}

TEST(Calcular, DecimalCommasAreRewritten)
{
    Program p;
    p.type(Box::Text1_0, "5,4");
    p.type(Box::Text1_3, "1,5");
    EXPECT_EQ(p.store().SimTime, 1);  // the comma ends the number
    p.form.clickCalcular();
    EXPECT_EQ(p.window.text(Box::Text1_0), "5.4");
    EXPECT_EQ(p.window.text(Box::Text1_3), "1.5");
    EXPECT_EQ(p.store().InitialVolume[0], static_cast<float>(5.4 / 1000));
    EXPECT_EQ(p.store().SimTime, 1.5);
    EXPECT_NEAR(p.store().StepTimes[5000], 1.5, 1e-12);
}

TEST(Calcular, ASeriesOfThreeRunsThenANewSeries)
{
    Program p;
    p.type(Box::Text1_7, "500");
    p.form.clickCalcular();
    const float firstMax = p.store().MaxTemp;
    const float firstEndY = circles(p.window.pictureOps, kRed).back().y1;

    p.type(Box::Text1_7, "1000");
    p.form.clickCalcular();
    p.type(Box::Text1_7, "2000");
    p.form.clickCalcular();
    const RunStore& s = p.store();
    EXPECT_EQ(s.RunIndex, 3);
    EXPECT_GT(s.MaxTemp, firstMax);
    const DisplayList& pic = p.window.pictureOps;
    EXPECT_EQ(circles(pic, kRed).size(), 5001u);
    EXPECT_EQ(circles(pic, kGreen).size(), 5001u);
    EXPECT_EQ(circles(pic, kBlue).size(), 5001u);
    EXPECT_GT(circles(pic, kRed).back().y1, firstEndY);  // the first curve shrank to the new scale
    EXPECT_NEAR(circles(pic, kBlue).back().y1, 100, 1e-3);
    EXPECT_TRUE(p.window.legendVisible[0] && p.window.legendVisible[1] && p.window.legendVisible[2]);
    EXPECT_NE(p.window.caption(Label::Label4_2).find("-- Q = 10 (l/h)"), std::string::npos);

    p.type(Box::Text1_7, "100");
    p.form.clickCalcular();  // the fourth press starts again
    EXPECT_EQ(s.RunIndex, 1);
    EXPECT_EQ(circles(pic, kRed).size(), 5001u);
    EXPECT_TRUE(circles(pic, kGreen).empty());
    EXPECT_TRUE(circles(pic, kBlue).empty());
    EXPECT_FALSE(p.window.legendVisible[1] || p.window.legendVisible[2]);
    EXPECT_EQ(p.window.caption(Label::Label4_1), "");
    EXPECT_LT(s.MaxTemp, firstMax);  // the scale started again from zero
}

TEST(Calcular, AFailedFourthPressLeavesAnEmptyFrame)
{
    Program p;
    for (int i = 0; i < 3; ++i)
        p.form.clickCalcular();
    const float oldMax = p.store().MaxTemp;
    p.type(Box::Text1_0, "0");
    p.form.clickCalcular();
    EXPECT_EQ(p.window.messages, std::vector<std::string>{std::string(messages::checkParameters())});
    EXPECT_EQ(p.store().RunIndex, 0);
    EXPECT_EQ(p.window.pictureOps.size(), kFrameOps);
    EXPECT_EQ(p.window.pictureOps.textOf(p.window.pictureOps.ops()[10]), text::pointOne(oldMax, '.'));
    EXPECT_FALSE(p.window.legendVisible[0]);
    EXPECT_EQ(p.window.caption(Label::Label4_0), "");
}

TEST(Calcular, NegativeHeaterAndZeroSpan)
{
    Program cold;
    cold.type(Box::Text1_7, "-1000");
    cold.form.clickCalcular();
    const auto red = circles(cold.window.pictureOps, kRed);
    ASSERT_EQ(red.size(), 5001u);
    EXPECT_GT(red.back().y1, 4755);  // below the time axis: under 0 ºC
    EXPECT_EQ(cold.store().MaxTemp, 20.0f);

    Program zero;
    zero.type(Box::Text1_3, "0");
    zero.form.clickCalcular();
    EXPECT_TRUE(zero.window.messages.empty());
    EXPECT_EQ(zero.store().RunIndex, 1);
    EXPECT_EQ(circles(zero.window.pictureOps, kRed).size(), 5001u);
    EXPECT_EQ(zero.window.caption(Label::Label5), "= 0.00 h");
}
