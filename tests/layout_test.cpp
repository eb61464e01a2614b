// The layout table both faces build their window from: its rows must hang
// together, since a face trusts them without checking.

#include <gtest/gtest.h>

#include <set>
#include <string>

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
    // Tab indices run 0 to 33 without a gap.
    EXPECT_EQ(tabIndices.size(), 34u);
    EXPECT_EQ(*tabIndices.rbegin(), 33);

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
