// The layout table both faces build their window from: its rows must hang
// together, since a face trusts them without checking.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "model/form1.h"
#include "tests/support/drawing.h"
#include "toolkit/layout.h"

using namespace calvetra;
namespace layout = calvetra::layout;

TEST(LayoutTable, RowsHangTogether)
{
    std::set<std::string> names;
    std::set<int> tabIndices;
    for (const layout::Control& c : layout::controls()) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(names.insert(c.name).second) << "name used twice";
        if (c.tabIndex >= 0) {
            EXPECT_TRUE(tabIndices.insert(c.tabIndex).second) << "tab index used twice";
        }
        if (c.container) {
            EXPECT_EQ(layout::control(c.container).kind, layout::Kind::Frame);
        }
        if (c.labelledBy) {
            EXPECT_EQ(layout::control(c.labelledBy).kind, layout::Kind::Label);
        }
        EXPECT_EQ(c.kind == layout::Kind::Line, c.lineWidth > 0);
        // Every control lies inside the client area.
        if (!c.container && c.kind != layout::Kind::Line) {
            EXPECT_LE(c.left + c.width, layout::kClientWidth);
            EXPECT_LE(c.top + c.height, layout::kClientHeight);
        }
    }
    // Tab indices run 0 to 33 without a gap, then 34 for the exact
    // solution's label, added after the window's own controls.
    EXPECT_EQ(tabIndices.size(), 35u);
    EXPECT_EQ(*tabIndices.rbegin(), 34);
    EXPECT_EQ(layout::control(Label::Label8).tabIndex, 34);

    // The controls the program writes, by their core names.
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(layout::control(static_cast<Box>(k)).kind, layout::Kind::TextBox);
    EXPECT_STREQ(layout::control(Box::Text2).name, "Text2");
    EXPECT_STREQ(layout::control(text1(6)).name, "Text1(6)");
    EXPECT_STREQ(layout::control(label4(2)).name, "Label4(2)");
    EXPECT_STREQ(layout::control(Label::Label6_0).name, "Label6(0)");
    EXPECT_STREQ(layout::legendLine(1).name, "Line3(1)");
    EXPECT_FALSE(layout::legendLine(1).visible);
    EXPECT_THROW(layout::legendLine(3), std::out_of_range);
    EXPECT_THROW(layout::control("Text1(8)"), std::out_of_range);

    // A text box is named by its caption; Text1(6) by the caption beside it.
    EXPECT_EQ(layout::accessibleName(layout::control(text1(6))), "Q2 (l/h):");
    EXPECT_EQ(layout::accessibleName(layout::control(Box::Text2)), "t (s)");
    EXPECT_TRUE(layout::control(text1(5)).locked && layout::control(text1(6)).locked);
}

// What both faces take from the table besides the rows: the runs' colours,
// the rectangles in whole pixels, the font substitutes, and which entry
// point each button's click runs.
TEST(LayoutTable, ColoursPixelsFontsAndButtons)
{
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(layout::runColour(k), calvetra::testing::kRunColours[k]);
        EXPECT_EQ(layout::legendLine(k).lineColour.rgb, layout::runColour(k)) << "legend line " << k;
    }
    EXPECT_THROW(layout::runColour(3), RuntimeFault);
    EXPECT_THROW(layout::runColour(-1), RuntimeFault);

    // The graph with its legend, as both faces save it: the gap between the
    // box and the first label again below the last one, so that with three
    // rows it ends where "Borrar Gráfica" begins (416 pixels high).
    const layout::Control& graph = layout::control("Picture2");
    EXPECT_EQ(layout::graphWithLegendHeight(0), graph.height);
    EXPECT_EQ(layout::graphWithLegendHeight(3), layout::control("Command2").top - graph.top);
    EXPECT_EQ(layout::pixels(layout::graphWithLegendHeight(3), layout::kPixelsPerTwip), 416);

    // At 15 twips a pixel: edges rounded, not sizes; a two-pixel line has
    // one pixel above its end points, a one-pixel line none.
    const double ppt = 1.0 / 15;
    EXPECT_EQ(layout::pixelRect(layout::control("Picture2"), ppt), (layout::PixelRect{544, 32, 457, 337}));
    EXPECT_EQ(layout::pixelRect(layout::legendLine(0), ppt), (layout::PixelRect{552, 383, 40, 2}));
    EXPECT_EQ(layout::pixelRect(layout::control("Line1"), ppt), (layout::PixelRect{8, 40, 200, 1}));
    EXPECT_EQ(layout::pixelRect(layout::control("Line2"), ppt), (layout::PixelRect{104, 24, 1, 48}));
    // At every ratio a screen or a browser's zoom gives, the edges of the
    // controls of one container keep their order in pixels: edges that are
    // one in twips (controls aligned or meeting) are one in pixels, and
    // controls apart in twips do not overlap from the rounding.
    struct Edge {
        const char* container;
        bool across;  // a left or right edge; else a top or bottom one
        int twips;
        int pixels;
    };
    std::size_t shared = 0;
    for (const double scale : {0.67, 0.8, 0.9, 1.0, 1.1, 1.25, 1.33, 1.5, 1.75, 2.0, 2.5, 3.0}) {
        std::vector<Edge> edges;
        for (const layout::Control& c : layout::controls())
            if (c.kind != layout::Kind::Line) {
                const layout::PixelRect r = layout::pixelRect(c, scale / layout::kTwipsPerPixel);
                const char* in = c.container ? c.container : "";
                edges.push_back({in, true, c.left, r.left});
                edges.push_back({in, true, c.left + c.width, r.left + r.width});
                edges.push_back({in, false, c.top, r.top});
                edges.push_back({in, false, c.top + c.height, r.top + r.height});
            }
        for (const Edge& a : edges)
            for (const Edge& b : edges) {
                if (a.across != b.across || std::string_view(a.container) != b.container || a.twips > b.twips)
                    continue;
                if (a.twips == b.twips) {
                    EXPECT_EQ(a.pixels, b.pixels) << a.twips << " twips at " << scale;
                    shared += &a != &b;
                } else {
                    EXPECT_LE(a.pixels, b.pixels) << a.twips << " and " << b.twips << " twips at " << scale;
                }
            }
    }
    EXPECT_GT(shared, 0u) << "no two controls share an edge: the check above checked nothing";

    const auto faces = [](const char* family) {
        const auto list = layout::fontSubstitutes(family);
        return std::vector<std::string>(list.begin(), list.end());
    };
    EXPECT_EQ(faces("MS Sans Serif").at(1), "Liberation Sans");
    EXPECT_EQ(faces("Arial Narrow").front(), "Liberation Sans Narrow");
    EXPECT_TRUE(faces("Times").empty());
    for (layout::Font f : {layout::Font::Window, layout::Font::Box, layout::Font::Small, layout::Font::Credit})
        EXPECT_FALSE(faces(layout::fontSpec(f).family).empty()) << layout::fontSpec(f).family;

    // Every button of the table runs one entry point, and only buttons do.
    std::set<std::string> buttons;
    for (const layout::Control& c : layout::controls())
        if (c.kind == layout::Kind::Button)
            buttons.insert(c.name);
    std::set<std::string> handled;
    for (const ButtonHandler& b : Form1::buttonHandlers()) {
        EXPECT_TRUE(handled.insert(b.button).second) << b.button;
        EXPECT_NE(b.click, nullptr);
    }
    EXPECT_EQ(handled, buttons);
}

// The window's look takes a light screen's colours, a high-contrast white
// one's too, but not a dark screen's, on which its runs would not read; the
// projector's never.
TEST(LayoutTable, TheWindowsLookTakesOnlyALightScreensColours)
{
    const layout::GraphStyle& window = layout::graphStyle(layout::GraphView::Window);
    const layout::GraphStyle& projector = layout::graphStyle(layout::GraphView::Projector);
    const Rgb black{0, 0, 0}, white{255, 255, 255}, light{240, 240, 240}, dark{53, 53, 53};
    EXPECT_TRUE(layout::takesScreenColours(window, light, black));
    EXPECT_TRUE(layout::takesScreenColours(window, white, black));
    EXPECT_FALSE(layout::takesScreenColours(window, dark, white));
    EXPECT_FALSE(layout::takesScreenColours(window, black, white));
    EXPECT_FALSE(layout::takesScreenColours(window, {60, 60, 60}, {200, 200, 200}));
    EXPECT_FALSE(layout::takesScreenColours(projector, light, black));
}

// A narrow screen's blocks: every control of the window lies in one, each
// block holds a control, and the graph, the legend and the credit line
// stand alone in theirs, in that order down the screen.
TEST(LayoutTable, EveryControlOfTheWindowLiesInOneNarrowBlock)
{
    const auto blocks = layout::narrowBlocks();
    std::vector<std::vector<std::string>> members(blocks.size());
    for (const layout::Control& c : layout::controls())
        if (!c.container)
            members.at(layout::narrowBlockOf(c)).emplace_back(c.name);
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        EXPECT_FALSE(members[k].empty()) << "block " << k;
        if (k > 0)
            EXPECT_LE(blocks[k - 1].row, blocks[k].row);
    }
    const auto blockOf = [](const char* name) { return layout::narrowBlockOf(layout::control(name)); };
    EXPECT_EQ(members[blockOf("Picture2")], std::vector<std::string>{"Picture2"});
    EXPECT_EQ(members[blockOf("Command2")], std::vector<std::string>{"Command2"});
    EXPECT_EQ(members[blockOf("Label7")], std::vector<std::string>{"Label7"});
    std::vector<std::string> legend = members[blockOf("Label4(0)")];
    std::sort(legend.begin(), legend.end());
    EXPECT_EQ(legend,
              (std::vector<std::string>{"Label4(0)", "Label4(1)", "Label4(2)", "Line3(0)", "Line3(1)", "Line3(2)"}));
    EXPECT_EQ(blocks[blockOf("Label4(0)")].fit, layout::NarrowFit::ListedLegend);
    EXPECT_EQ(blocks[blockOf("Text1(4)")].fit, layout::NarrowFit::ListedBoxes);
    EXPECT_LT(blocks[blockOf("Picture2")].row, blocks[blockOf("Label4(0)")].row);
    EXPECT_LT(blocks[blockOf("Label4(0)")].row, blocks[blockOf("Command2")].row);
}
