#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph/plot_area.h"
#include "tests/support/drawing.h"
#include "tests/support/recording_window.h"

using namespace calvetra;
using calvetra::testing::kFrameOps;
using calvetra::testing::Program;

namespace {

struct LineRow {
    float x1, y1, x2, y2;
    bool grey;
};
struct TextRow {
    float x, y;
    std::string text;
};

void expectFrame(const DisplayList& pic, std::size_t first, const std::vector<LineRow>& lines,
                 const std::vector<TextRow>& texts)
{
    ASSERT_GE(pic.size(), first + lines.size() + texts.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const PictureOp& op = pic.ops()[first + i];
        SCOPED_TRACE("line " + std::to_string(i + 1));
        EXPECT_EQ(op.kind, PictureOp::Kind::Line);
        EXPECT_EQ(op.x1, lines[i].x1);
        EXPECT_EQ(op.y1, lines[i].y1);
        EXPECT_EQ(op.x2, lines[i].x2);
        EXPECT_EQ(op.y2, lines[i].y2);
        EXPECT_EQ(op.foreground, !lines[i].grey);
        if (lines[i].grey) {
            EXPECT_EQ(op.colour, (Rgb{200, 200, 200}));
        }
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const PictureOp& op = pic.ops()[first + lines.size() + i];
        SCOPED_TRACE("label " + std::to_string(i + 1));
        EXPECT_EQ(op.kind, PictureOp::Kind::Text);
        EXPECT_EQ(op.x1, texts[i].x);
        EXPECT_EQ(op.y1, texts[i].y);
        EXPECT_EQ(pic.textOf(op), texts[i].text);
    }
}

const std::vector<LineRow> kDesignLines = {
    {700, 4755, 6755, 4755, false},      {800, 4855, 800, 100, false},        {700, 3591.25, 6755, 3591.25, true},
    {700, 2427.5, 6755, 2427.5, true},   {700, 1263.75, 6755, 1263.75, true}, {700, 100, 6755, 100, true},
    {2288.75, 4855, 2288.75, 100, true}, {3777.5, 4855, 3777.5, 100, true},   {5266.25, 4855, 5266.25, 100, true},
    {6755, 4855, 6755, 100, true},
};

std::vector<TextRow> designTexts(const std::string& t0, const std::string& t1, const std::string& t2,
                                 const std::string& t3, const std::vector<std::string>& times)
{
    return {{300, 1, t0},
            {1, 400, "T"},
            {1, 600, "(ºC)"},
            {300, 1063.75, t1},
            {300, 2227.5, t2},
            {300, 3391.25, t3},
            {600, 4755, "0"},
            {700, 4855, "0"},
            {2013.75, 4855, times[0]},
            {3527.5, 4855, times[1]},
            {5041.25, 4855, times[2]},
            {6005, 4855, "t(s)"},
            {6355, 4855, times[3]}};
}

}  // namespace

TEST(GraphFrame, StartUpDrawsTheWorkedExample)
{
    Program p;
    EXPECT_EQ(p.window.pictureOps.size(), kFrameOps);
    expectFrame(p.window.pictureOps, 0, kDesignLines,
                designTexts("20.0", "15.0", "10.0", "5.0", {" 5000 ", " 10000 ", " 15000 ", " 20000 "}));
    EXPECT_EQ(p.store().MarginLeft, 800);
    EXPECT_EQ(p.store().MarginBottom, 300);
    EXPECT_EQ(p.store().RunIndex, 0);
}

TEST(GraphFrame, CommaLocaleAndFractionalValues)
{
    Program p(',');
    p.store().MaxTemp = 0.4f;
    p.store().SimTime = 1001;
    p.window.pictureOps.clear();
    p.form.DrawGraphFrame();
    expectFrame(p.window.pictureOps, 0, kDesignLines,
                designTexts(",4", ",3", ",2", ",1", {" 250,25 ", " 500,5 ", " 750,75 ", " 1001 "}));
}

TEST(GraphFrame, ZeroScaleAndMarginsAreRestored)
{
    Program p;
    p.store().MaxTemp = 0;
    p.store().SimTime = 10;
    p.store().MarginLeft = 5;
    p.store().MarginBottom = 7;
    p.window.pictureOps.clear();
    p.form.DrawGraphFrame();
    expectFrame(p.window.pictureOps, 0, kDesignLines,
                designTexts(".0", ".0", ".0", ".0", {" 2.5 ", " 5 ", " 7.5 ", " 10 "}));
    EXPECT_EQ(p.store().MarginLeft, 800);
    EXPECT_EQ(p.store().MarginBottom, 300);
}

TEST(ClearGraph, EmptiesTheGraphAndKeepsTheScale)
{
    Program p;
    p.type(Box::Text1_2, "80");
    p.type(Box::Text1_7, "0");  // no heater: the tank cools from 80 towards 20
    p.form.clickCalcular();
    p.form.clickCalcular();
    ASSERT_EQ(p.store().RunIndex, 2);
    ASSERT_EQ(p.store().MaxTemp, 80.0f);

    p.form.clickBorrarGrafica();
    EXPECT_EQ(p.store().RunIndex, 0);
    EXPECT_EQ(p.store().MaxTemp, 80.0f);
    EXPECT_EQ(p.window.pictureOps.size(), kFrameOps);  // the frame alone
    expectFrame(p.window.pictureOps, 0, kDesignLines,
                designTexts("80.0", "60.0", "40.0", "20.0", {" 5000 ", " 10000 ", " 15000 ", " 20000 "}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(p.window.legendVisible[static_cast<std::size_t>(i)]);
        EXPECT_EQ(p.window.caption(label4(i)), "");
    }

    const auto once = p.window.pictureOps.ops().size();
    const auto captions = p.window.captions;
    p.form.clickBorrarGrafica();
    EXPECT_EQ(p.window.pictureOps.ops().size(), once);
    EXPECT_EQ(p.window.captions, captions);
    EXPECT_EQ(p.store().RunIndex, 0);

    // The next run, starting at 20 ºC, is drawn on the kept 0..80 scale.
    p.type(Box::Text1_2, "20");
    p.type(Box::Text1_7, "1000");
    p.type(Box::Text1_3, "2000");
    p.form.clickCalcular();
    EXPECT_LT(p.store().MaxTemp, 80.0001f);
    EXPECT_EQ(p.window.pictureOps.textOf(p.window.pictureOps.ops()[10]), "80.0");
}

TEST(CursorReadout, InvertsTheGraphMapping)
{
    Program p;
    p.form.mouseMoved(800, 4755);  // where the axes cross
    EXPECT_EQ(p.window.caption(Label::Label6_0), "0 , 0");
    EXPECT_TRUE(p.window.crossCursor);
    p.form.mouseMoved(6755, 100);  // right end of the top line, before any run
    EXPECT_EQ(p.window.caption(Label::Label6_0), "20000 , 20");
    p.form.mouseMoved(0, 5055);  // outside the axes: negative read-outs
    EXPECT_EQ(p.window.caption(Label::Label6_0), "-2686.8 , -1.3");
    EXPECT_TRUE(p.window.messages.empty());
}

TEST(CursorReadout, CommaLocaleKeepsTheSeparatorBetweenTheNumbers)
{
    Program p(',');
    p.store().MaxTemp = 100;
    const float x = static_cast<float>(800 + 1234.5 * 5955 / 20000);
    const float y = static_cast<float>(4755 - 37.2 * 4655 / 100);
    p.form.mouseMoved(x, y);
    EXPECT_EQ(p.window.caption(Label::Label6_0), "1234,5 , 37,2");
}

TEST(CursorReadout, ZeroSpanAndZeroScaleReadZero)
{
    Program p;
    p.store().SimTime = 0;
    p.store().MaxTemp = 0;
    p.form.mouseMoved(3000, 2000);
    EXPECT_EQ(p.window.caption(Label::Label6_0), "0 , 0");
    p.form.Picture2_MouseMove(1, 1, 3000, 2000);  // buttons and shift change nothing
    EXPECT_EQ(p.window.caption(Label::Label6_0), "0 , 0");
}

// The plot area is the one mapping of the graph: the frame's corners, the
// plotted points and the read-out all agree with it, and reading a point
// back gives its own time and temperature.
TEST(PlotArea, MapsTimeAndTemperatureBothWays)
{
    Program p;
    p.form.clickCalcular();
    const RunStore& s = p.store();
    const PlotArea area(plotScale(s), p.window.pictureSize());
    EXPECT_EQ(area.left(), 800);
    EXPECT_EQ(area.right(), 6755);
    EXPECT_EQ(area.top(), 100);
    EXPECT_EQ(area.bottom(), 4755);
    EXPECT_EQ(area.width(), 5955);
    EXPECT_EQ(area.height(), 4655);
    EXPECT_EQ(area.xOfStep(0, 5000), 800);
    EXPECT_EQ(area.xOfStep(5000, 5000), 6755);
    EXPECT_EQ(area.yOfTemperature(0), 4755);
    EXPECT_NEAR(area.yOfTemperature(s.MaxTemp), 100, 1e-9);
    EXPECT_EQ(area.centre().x, (800 + 6755) / 2.0);
    EXPECT_EQ(area.centre().y, (100 + 4755) / 2.0);

    const std::vector<PictureOp> red = calvetra::testing::circles(p.window.pictureOps, calvetra::testing::kRed);
    ASSERT_EQ(red.size(), 5001u);
    for (long j : {0L, 1L, 1234L, 2500L, 4999L, 5000L}) {
        SCOPED_TRACE(j);
        const double x = area.xOfStep(j, 5000);
        const double y = area.yOfTemperature(s.RunTemps.at(0, j));
        EXPECT_EQ(red[static_cast<std::size_t>(j)].x1, static_cast<float>(x));
        EXPECT_EQ(red[static_cast<std::size_t>(j)].y1, static_cast<float>(y));
        EXPECT_DOUBLE_EQ(area.timeOfStep(j, 5000), 4.0 * static_cast<double>(j));  // 20000 s in 5000 steps
        EXPECT_NEAR(area.timeAt(x), area.timeOfStep(j, 5000), 1e-9);
        EXPECT_NEAR(area.temperatureAt(y), s.RunTemps.at(0, j), 1e-9);
    }
    // What the graph recorded for its export is the area the points used.
    EXPECT_EQ(p.form.drawnGraph().area.xOfStep(2500, 5000), area.xOfStep(2500, 5000));
    EXPECT_EQ(p.form.drawnGraph().area.timeOfStep(2500, 5000), 10000);
}
