// Every student reached: what assistive technology reads, the read-out from
// the keyboard, and the help on F1.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QMouseEvent>
#include <QTextBrowser>

#include "app/help_window.h"
#include "tests/support/drawing.h"
#include "tests/support/window_fixture.h"

namespace {

QString accessible(QWidget* widget, QAccessible::Text what)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(what) : QStringLiteral("<none>");
}

using AccessTest = WindowTest;

TEST_F(AccessTest, ChangingCaptionsAreReadAsTheirValue)
{
    type("Text2", "100");
    clickCalcular();
    QTest::mouseMove(picture(), QPoint(60, 317));

    // The answer of the query is read as its value, its meaning as the
    // description.
    EXPECT_EQ(accessible(find("Label2"), QAccessible::Name), "24.4");
    EXPECT_EQ(accessible(find("Label2"), QAccessible::Description),
              QString::fromUtf8("Temperatura en el instante t (ºC)"));
    EXPECT_EQ(accessible(find("Label4(0)"), QAccessible::Name),
              QString::fromUtf8(calvetra::testing::kInitialDescription));
    EXPECT_EQ(accessible(find("Label6(0)"), QAccessible::Name), "335.9 , 0");
    EXPECT_EQ(accessible(find("Label5"), QAccessible::Name), "= 5.56 h");

    // Boxes keep the caption beside them as their name; buttons and the
    // graph are named too.
    EXPECT_EQ(accessible(box("Text1(1)"), QAccessible::Name), "Q1 (l/h):");
    EXPECT_EQ(accessible(box("Text2"), QAccessible::Name), "t (s)");
    EXPECT_EQ(accessible(find("Command2"), QAccessible::Name), QString::fromUtf8("Borrar Gráfica"));
    EXPECT_EQ(accessible(picture(), QAccessible::Name), QString::fromUtf8("Gráfica"));
}

TEST_F(AccessTest, ArrowKeysReadTheGraphAsTheMouseWould)
{
    // Tab from "Calcular" reaches the graph, which reads out the centre of
    // the plot at once.
    find("Command1")->setFocus();
    QTest::keyClick(find("Command1"), Qt::Key_Tab);
    ASSERT_TRUE(picture()->hasFocus());
    EXPECT_EQ(caption("Label6(0)"), "10000 , 10");

    const auto mouseAt = [&](QPointF twips) {
        const QPointF pixels = twips * window->logicalDpiX() / 1440.0;
        QMouseEvent move(QEvent::MouseMove, pixels, picture()->mapToGlobal(pixels), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(picture(), &move);
        return caption("Label6(0)");
    };
    // One step right and up, then a tenth of the axis with Shift: each time
    // the pointer at the same point reads the same.
    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        double x, y;  // the point afterwards, in twips
    };
    const Press presses[] = {
        {Qt::Key_Right, Qt::NoModifier, 3777.5 + 59.55, 2427.5},
        {Qt::Key_Up, Qt::NoModifier, 3777.5 + 59.55, 2427.5 - 46.55},
        {Qt::Key_Left, Qt::ShiftModifier, 3777.5 + 59.55 - 595.5, 2427.5 - 46.55},
        {Qt::Key_Down, Qt::ShiftModifier, 3777.5 + 59.55 - 595.5, 2427.5 - 46.55 + 465.5},
    };
    for (const Press& p : presses) {
        QTest::keyClick(picture(), p.key, p.modifiers);
        const QString byKeyboard = caption("Label6(0)");
        EXPECT_EQ(mouseAt(QPointF(p.x, p.y)), byKeyboard) << p.x << ", " << p.y;
    }
    EXPECT_EQ(caption("Label6(0)"), "8200 , 8.2");

    // The point stays on the graph box however far the keys go.
    for (int k = 0; k < 30; ++k)
        QTest::keyClick(picture(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(caption("Label6(0)"), mouseAt(QPointF(0, 2427.5 - 46.55 + 465.5)));

    // The cross is drawn over the picture while the graph has the focus,
    // never into the graph's drawing.
    const std::size_t ops = drawing().size();
    const QImage focused = picture()->grab().toImage();
    find("Command2")->setFocus();
    const QImage unfocused = picture()->grab().toImage();
    EXPECT_NE(focused, unfocused);
    EXPECT_EQ(drawing().size(), ops);
}

TEST_F(AccessTest, F1OpensTheHelpBesideTheWindow)
{
    box("Text1(0)")->setFocus();
    QTest::keyClick(box("Text1(0)"), Qt::Key_F1);
    HelpWindow* help = window->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->isModal());
    const QString text = help->browser()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("dT/dt = [ Q1 · (T1 − T) + q / (ρ·cp) ]"))) << text.toStdString();
    // The worked example's figures come from the program itself.
    EXPECT_TRUE(text.contains(QString::fromUtf8("llega a 107.8 ºC a los 20000 s")));
    EXPECT_TRUE(text.contains(QStringLiteral("Desbordamniento a t = 17500 (s)")));
    EXPECT_TRUE(text.contains(QStringLiteral("GPL-3.0-or-later")));
    EXPECT_FALSE(text.contains(QStringLiteral("{{")));
    // The main window still takes input while the help is open.
    type("Text2", "1000");
    EXPECT_EQ(caption("Label2"), "55.3");
}

}  // namespace
