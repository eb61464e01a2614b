// The real Qt window on the offscreen platform: its layout in twips, fonts,
// focus, locked boxes, and the user's clicks, keys and mouse moves going
// through to the program and back onto the screen.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "app/line_element.h"
#include "app/main_window.h"
#include "app/picture_box.h"
#include "tests/support/drawing.h"
#include "tests/support/window_fixture.h"

using calvetra::PictureOp;
using calvetra::testing::countOps;
using calvetra::testing::kInitialDescription;
using calvetra::testing::OpCount;

namespace {

// The contrast ratio of two colours, as the accessibility guidelines define it.
double contrastRatio(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Rect {
    const char* name;
    const char* container;  // nullptr: the window itself
    double left, top, width, height;
};

// Every control's rectangle as the layout gives it, in twips.
const Rect kLayout[] = {
    {"Image1", nullptr, 126, 126, 7420, 5110},     {"Label1(0)", nullptr, 3120, 4560, 495, 375},
    {"Label1(1)", nullptr, 240, 1080, 1335, 375},  {"Text1(0)", nullptr, 3720, 4560, 1095, 375},
    {"Text1(1)", nullptr, 1680, 1080, 1095, 375},  {"Text1(2)", nullptr, 3720, 5040, 1095, 375},
    {"Label1(2)", nullptr, 3000, 5040, 735, 375},  {"Command1", nullptr, 120, 5880, 3015, 1335},
    {"Picture2", nullptr, 8160, 480, 6855, 5055},  {"Command2", nullptr, 8160, 6720, 6855, 495},
    {"Label1(3)", nullptr, 10800, 120, 1455, 375}, {"Text1(3)", nullptr, 12480, 120, 1215, 375},
    {"Label4(0)", nullptr, 9120, 5640, 5775, 255}, {"Label4(1)", nullptr, 9120, 6000, 5760, 255},
    {"Label4(2)", nullptr, 9120, 6360, 5760, 255}, {"Label5", nullptr, 13800, 195, 855, 255},
    {"Frame1", nullptr, 4800, 5880, 3255, 1335},   {"Label3(0)", "Frame1", 120, 360, 1455, 255},
    {"Text2", "Frame1", 120, 720, 1335, 375},      {"Label3(1)", "Frame1", 1680, 360, 1455, 255},
    {"Label2", "Frame1", 1680, 720, 1455, 375},    {"Text1(4)", nullptr, 6720, 2160, 735, 375},
    {"Label1(4)", nullptr, 6600, 1560, 1215, 615}, {"Text1(5)", nullptr, 1680, 1560, 1095, 375},
    {"Label1(5)", nullptr, 240, 1560, 1455, 375},  {"Label1(6)", nullptr, 6240, 4080, 1335, 375},
    {"Text1(6)", nullptr, 7080, 3600, 855, 375},   {"Label1(7)", nullptr, 6240, 3600, 855, 375},
    {"Label1(8)", nullptr, 2160, 2880, 255, 375},  {"Label1(9)", nullptr, 1320, 2520, 1095, 375},
    {"Command3", nullptr, 3240, 5880, 1455, 1335}, {"Label1(10)", nullptr, 4320, 480, 735, 375},
    {"Text1(7)", nullptr, 5040, 480, 1095, 375},   {"Label6(0)", nullptr, 9000, 240, 1695, 255},
    {"Label7", nullptr, 120, 7320, 14895, 255},
};

struct Line {
    const char* name;
    const char* container;
    double x1, y1, x2, y2;
    int widthPixels;
};

const Line kLines[] = {
    {"Line1", "Frame1", 120, 600, 3120, 600, 1},      {"Line2", "Frame1", 1560, 360, 1560, 1080, 1},
    {"Line3(0)", nullptr, 8280, 5760, 8880, 5760, 2}, {"Line3(1)", nullptr, 8280, 6120, 8880, 6120, 2},
    {"Line3(2)", nullptr, 8280, 6480, 8880, 6480, 2},
};

bool hasText(const calvetra::DisplayList& list, const std::string& text)
{
    for (const PictureOp& op : list.ops())
        if (op.kind == PictureOp::Kind::Text && list.textOf(op) == text)
            return true;
    return false;
}

int countPixels(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y).rgb() == colour.rgb();
    return n;
}

// Half a pixel either way: the layout's twips rarely fall on whole pixels.
constexpr double kTolerance = 7.5;

TEST_F(WindowTest, EveryControlSitsAtItsRectangleInTwips)
{
    for (const Rect& r : kLayout) {
        SCOPED_TRACE(r.name);
        QWidget* w = find(r.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), r.container ? find(r.container) : window.get());
        const QRect g = w->geometry();
        EXPECT_NEAR(twips(g.left()), r.left, kTolerance);
        EXPECT_NEAR(twips(g.top()), r.top, kTolerance);
        EXPECT_NEAR(twips(g.left() + g.width()), r.left + r.width, kTolerance);
        EXPECT_NEAR(twips(g.top() + g.height()), r.top + r.height, kTolerance);
    }
    for (const Line& l : kLines) {
        SCOPED_TRACE(l.name);
        auto* w = find<LineElement>(l.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), l.container ? find(l.container) : window.get());
        // The widget is the line: its length along it, the pen across it.
        const QRectF g = w->geometry();
        if (l.y1 == l.y2) {
            EXPECT_EQ(g.height(), l.widthPixels);
            EXPECT_NEAR(twips(g.left()), l.x1, kTolerance);
            EXPECT_NEAR(twips(g.right()), l.x2, kTolerance);
            EXPECT_NEAR(twips(g.center().y()), l.y1, kTolerance);
        } else {
            EXPECT_EQ(g.width(), l.widthPixels);
            EXPECT_NEAR(twips(g.top()), l.y1, kTolerance);
            EXPECT_NEAR(twips(g.bottom()), l.y2, kTolerance);
            EXPECT_NEAR(twips(g.center().x()), l.x1, kTolerance);
        }
    }
    const QSize client = window->size();
    EXPECT_NEAR(twips(client.width()), 15078, kTolerance);
    EXPECT_NEAR(twips(client.height()), 7658, kTolerance);
    EXPECT_EQ(window->windowTitle(), "CALVETRA");
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(WindowTest, ResizingMovesNothing)
{
    std::vector<QRect> before;
    for (const Rect& r : kLayout)
        before.push_back(find(r.name)->geometry());
    window->resize(window->size() + QSize(300, 200));
    QCoreApplication::processEvents();
    for (std::size_t k = 0; k < std::size(kLayout); ++k)
        EXPECT_EQ(find(kLayout[k].name)->geometry(), before[k]) << kLayout[k].name;
}

TEST_F(WindowTest, CaptionsAndInitialTexts)
{
    const std::pair<const char*, const char*> captions[] = {
        {"Label1(0)", "V (l):"},
        {"Label1(1)", "Q1 (l/h):"},
        {"Label1(2)", "T (ºC):"},
        {"Label1(3)", "t máximo (s):"},
        {"Label1(4)", "Apertura válvula (%)"},
        {"Label1(5)", "T1 (ºC):"},
        {"Label1(6)", "T2 (ºC): ?"},
        {"Label1(7)", "Q2 (l/h):"},
        {"Label1(8)", "V"},
        {"Label1(9)", "Vmax=V·10"},
        {"Label1(10)", "q (W):"},
        {"Label3(0)", "t (s)"},
        {"Label3(1)", "T (ºC)"},
    };
    for (const auto& [name, text] : captions)
        EXPECT_EQ(caption(name), QString::fromUtf8(text)) << name;
    EXPECT_EQ(find<QPushButton>("Command1")->text(), "Calcular");
    EXPECT_EQ(find<QPushButton>("Command2")->text(), QString::fromUtf8("Borrar Gráfica"));
    EXPECT_EQ(find<QPushButton>("Command3")->text(), "Salir");
    EXPECT_EQ(find<QGroupBox>("Frame1")->title(), QString::fromUtf8("Instantáneo T = f(t)"));
    EXPECT_FALSE(caption("Label7").isEmpty());

    // Start-up wrote the outflow and the time in hours; the rest is as laid out.
    const std::pair<const char*, const char*> texts[] = {
        {"Text1(0)", "5.4"}, {"Text1(1)", "10"},    {"Text1(2)", "20"},   {"Text1(3)", "20000"}, {"Text1(4)", "100"},
        {"Text1(5)", "20"},  {"Text1(6)", "10.00"}, {"Text1(7)", "1000"}, {"Text2", "0"},
    };
    for (const auto& [name, text] : texts)
        EXPECT_EQ(box(name)->text(), text) << name;
    EXPECT_EQ(caption("Label5"), "= 5.56 h");
    for (const char* empty : {"Label2", "Label6(0)", "Label4(0)", "Label4(1)", "Label4(2)"})
        EXPECT_TRUE(caption(empty).isEmpty()) << empty;
    for (const char* line : {"Line3(0)", "Line3(1)", "Line3(2)"})
        EXPECT_FALSE(find(line)->isVisible()) << line;

    // The empty frame: axes and grid, tick values and axis titles.
    const OpCount n = countOps(drawing());
    EXPECT_EQ(n.lines, calvetra::testing::kFrameLines);
    EXPECT_EQ(n.texts, calvetra::testing::kFrameTexts);
    EXPECT_EQ(n.circles, 0u);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowTest, AccessibleNamesComeFromTheCaptions)
{
    EXPECT_EQ(box("Text1(0)")->accessibleName(), "V (l):");
    EXPECT_EQ(box("Text1(3)")->accessibleName(), QString::fromUtf8("t máximo (s):"));
    EXPECT_EQ(box("Text1(4)")->accessibleName(), QString::fromUtf8("Apertura válvula (%)"));
    EXPECT_EQ(box("Text1(6)")->accessibleName(), "Q2 (l/h):");
    EXPECT_EQ(box("Text1(7)")->accessibleName(), "q (W):");
    EXPECT_EQ(box("Text2")->accessibleName(), "t (s)");
    EXPECT_FALSE(picture()->accessibleName().isEmpty());
    EXPECT_FALSE(picture()->accessibleDescription().isEmpty());
}

TEST_F(WindowTest, FontsAsLaidOutAndEveryCaptionFits)
{
    const auto expectFont = [&](const char* name, const char* family, double points) {
        const QFont font = find(name)->font();
        EXPECT_EQ(font.family(), family) << name;
        EXPECT_NEAR(font.pointSizeF(), points, 0.005) << name;
        EXPECT_EQ(font.weight(), QFont::Normal) << name;
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut()) << name;
        // Drawn in that face or one of the substitutes registered for it,
        // not in whatever face the system falls back to.
        const QString drawn = QFontInfo(font).family();
        EXPECT_TRUE(drawn == family || QFont::substitutes(family).contains(drawn, Qt::CaseInsensitive))
            << name << ": " << drawn.toStdString();
    };
    for (const char* name : {"Text1(0)", "Text1(1)", "Text1(2)", "Text1(3)", "Text1(4)", "Text1(5)", "Text1(6)",
                             "Text1(7)", "Text2", "Label2", "Label1(0)", "Label1(1)", "Label1(2)", "Label1(3)",
                             "Label1(4)", "Label1(5)", "Label1(6)", "Label1(7)", "Label1(10)"})
        expectFont(name, "MS Sans Serif", 11.41);
    for (const char* name : {"Label1(8)", "Label1(9)", "Label5"})
        expectFont(name, "MS Sans Serif", 9.27);
    expectFont("Label7", "Arial Narrow", 8.56);
    for (const char* name : {"Command1", "Frame1", "Label3(0)", "Label4(0)", "Label6(0)", "Picture2"})
        EXPECT_EQ(find(name)->font(), window->font()) << name;

    // Every caption, the legend and the read-out included, fits its label:
    // on one line, but "Apertura válvula (%)" on its two.
    clickCalcular();
    QTest::mouseMove(picture(), QPoint(3, 3));
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        SCOPED_TRACE(label->objectName().toStdString());
        const QFontMetrics metrics(label->font());
        const QRect space = label->contentsRect();
        const bool wraps = label->objectName() == "Label1(4)";
        EXPECT_EQ(metrics.horizontalAdvance(label->text()) > space.width(), wraps) << label->text().toStdString();
        const QRect needed = metrics.boundingRect(space, Qt::TextWordWrap | label->alignment(), label->text());
        EXPECT_LE(needed.height(), space.height());
    }
}

TEST_F(WindowTest, ControlsLieAboveTheDiagramAndBoxesAboveLabels)
{
    const auto topmostAt = [&](const char* name, QPoint offset) {
        QWidget* w = find(name);
        return window->childAt(w->mapTo(window.get(), offset));
    };
    // Captions on the diagram are above it, boxes above both.
    EXPECT_EQ(topmostAt("Label1(0)", QPoint(2, 2)), find("Label1(0)"));
    EXPECT_EQ(topmostAt("Label1(9)", QPoint(2, 2)), find("Label1(9)"));
    QWidget* atBox = topmostAt("Text1(0)", QPoint(2, 2));
    EXPECT_TRUE(atBox == box("Text1(0)") || box("Text1(0)")->isAncestorOf(atBox));
    // Label1(7) reaches a pixel into Text1(6): the box covers it there.
    const QPoint overlap = find("Text1(6)")->geometry().topLeft() + QPoint(0, 10);
    QWidget* atOverlap = window->childAt(overlap);
    EXPECT_TRUE(atOverlap == box("Text1(6)") || box("Text1(6)")->isAncestorOf(atOverlap));

    // Transparent labels let the diagram show through; the others do not.
    for (const char* name : {"Label1(0)", "Label1(4)", "Label1(8)", "Label1(9)", "Label5"})
        EXPECT_FALSE(find(name)->autoFillBackground()) << name;
    for (const char* name : {"Label4(0)", "Label6(0)", "Label7"})
        EXPECT_TRUE(find(name)->autoFillBackground()) << name;
    // Inside the frame the labels look like the frame's surface around them.
    QWidget* frame = find("Frame1");
    const QImage inFrame = frame->grab().toImage();
    const QPoint surface = frame->rect().center() + QPoint(0, frame->height() / 2 - 4);
    for (const char* name : {"Label3(0)", "Label3(1)"})
        EXPECT_EQ(inFrame.pixelColor(find(name)->geometry().topLeft() + QPoint(2, 2)), inFrame.pixelColor(surface))
            << name;
    EXPECT_NE(find<QLabel>("Label2")->frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(find<QLabel>("Image1")->pixmap().isNull());
    EXPECT_TRUE(find<QLabel>("Image1")->hasScaledContents());
}

TEST_F(WindowTest, LockedBoxesAreGreyAndTakeTheFocusButNoTyping)
{
    for (const char* name : {"Text1(5)", "Text1(6)"}) {
        QLineEdit* edit = box(name);
        EXPECT_TRUE(edit->isReadOnly()) << name;
        EXPECT_NE(edit->focusPolicy() & Qt::TabFocus, 0) << name;
        EXPECT_EQ(edit->palette().color(QPalette::Active, QPalette::Text),
                  edit->palette().color(QPalette::Disabled, QPalette::Text))
            << name;
        // A grey that keeps 4.5:1 against the box's background.
        const QColor grey = edit->palette().color(QPalette::Active, QPalette::Text);
        const calvetra::Rgb locked = calvetra::layout::kLockedTextColour;
        EXPECT_EQ(grey, QColor(locked.r, locked.g, locked.b)) << name;
        EXPECT_GE(contrastRatio(grey, edit->palette().color(QPalette::Active, QPalette::Base)), 4.5) << name;
    }
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
        EXPECT_EQ(edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter) << edit->objectName().toStdString();
        if (edit->objectName() != "Text1(5)" && edit->objectName() != "Text1(6)") {
            EXPECT_FALSE(edit->isReadOnly()) << edit->objectName().toStdString();
        }
    }

    const auto revision = drawing().revision();
    type("Text1(5)", "55");
    type("Text1(6)", "7");
    EXPECT_EQ(box("Text1(5)")->text(), "20");
    EXPECT_EQ(box("Text1(6)")->text(), "10.00");
    EXPECT_EQ(drawing().revision(), revision);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowTest, FocusStartsInTheVolumeBoxAndTabFollowsTheTabIndex)
{
    EXPECT_EQ(QApplication::focusWidget(), box("Text1(0)"));
    const char* const order[] = {"Text1(0)", "Text1(1)", "Text1(2)", "Command1", "Picture2", "Command2", "Text1(3)",
                                 "Text2",    "Text1(4)", "Text1(5)", "Text1(6)", "Command3", "Text1(7)", "Text1(0)"};
    for (std::size_t k = 1; k < std::size(order); ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), order[k]) << "after " << order[k - 1];
    }
}

TEST_F(WindowTest, EnterAndEscapePressNoButton)
{
    QList<std::shared_ptr<QSignalSpy>> clicks;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
        clicks << std::make_shared<QSignalSpy>(button, &QAbstractButton::clicked);
    }
    const auto revision = drawing().revision();
    for (const char* name : {"Text1(0)", "Text1(3)", "Text2"}) {
        box(name)->setFocus();
        QTest::keyClick(box(name), Qt::Key_Return);
        QTest::keyClick(box(name), Qt::Key_Enter);
        QTest::keyClick(box(name), Qt::Key_Escape);
    }
    for (const auto& spy : clicks)
        EXPECT_EQ(spy->count(), 0);
    EXPECT_EQ(drawing().revision(), revision);
    EXPECT_TRUE(find("Line3(0)")->isHidden());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(WindowTest, CalcularDrawsTheFirstRunWithItsLegend)
{
    clickCalcular();
    EXPECT_TRUE(find("Line3(0)")->isVisible());
    EXPECT_FALSE(find("Line3(1)")->isVisible());
    EXPECT_EQ(caption("Label4(0)"), QString::fromUtf8(kInitialDescription));
    EXPECT_TRUE(caption("Label4(1)").isEmpty());
    EXPECT_TRUE(messages.isEmpty());

    const OpCount n = countOps(drawing());
    EXPECT_EQ(n.circles, 5001u);
    for (const PictureOp& op : drawing().ops())
        if (op.kind == PictureOp::Kind::Circle) {
            ASSERT_EQ(op.colour, calvetra::testing::kRed);
        }

    // On screen: red points on the graph, the red legend sample beside it.
    picture()->repaint();
    EXPECT_GT(countPixels(picture()->renderedPixmap().toImage(), Qt::red), 500);
    EXPECT_EQ(find<LineElement>("Line3(0)")->grab().toImage().pixelColor(5, 0), QColor(Qt::red));
}

TEST_F(WindowTest, ThreeRunsThenAFreshSeriesAndBorrarGrafica)
{
    for (int k = 0; k < 3; ++k)
        clickCalcular();
    for (const char* line : {"Line3(0)", "Line3(1)", "Line3(2)"})
        EXPECT_TRUE(find(line)->isVisible()) << line;
    EXPECT_EQ(countOps(drawing()).circles, 3 * 5001u);

    clickCalcular();  // the fourth press starts a new series
    EXPECT_TRUE(find("Line3(0)")->isVisible());
    EXPECT_FALSE(find("Line3(1)")->isVisible());
    EXPECT_EQ(countOps(drawing()).circles, 5001u);

    QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_FALSE(find("Line3(0)")->isVisible());
    EXPECT_TRUE(caption("Label4(0)").isEmpty());
    EXPECT_EQ(countOps(drawing()).circles, 0u);
    EXPECT_EQ(countOps(drawing()).lines, calvetra::testing::kFrameLines);
}

TEST_F(WindowTest, MovingOverTheGraphReadsTimeAndTemperature)
{
    EXPECT_NE(picture()->cursor().shape(), Qt::CrossCursor);
    // 60 px right and 317 px down: 900 twips across, on the time axis
    // (6855 - 300 = 4755 twips down) at 96 dpi.
    ASSERT_EQ(window->logicalDpiX(), 96);
    QTest::mouseMove(picture(), QPoint(60, 317));
    EXPECT_EQ(caption("Label6(0)"), "335.9 , 0");
    EXPECT_EQ(picture()->cursor().shape(), Qt::CrossCursor);
    QTest::mouseMove(picture(), QPoint(200, 100));
    EXPECT_NE(caption("Label6(0)"), "335.9 , 0");
}

TEST_F(WindowTest, TypingATimeIntoTheInstantGroupShowsTheTemperature)
{
    type("Text2", "100");
    EXPECT_EQ(box("Text2")->text(), "100");
    EXPECT_EQ(caption("Label2"), "24.4");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowTest, ACommaTypedIsRewrittenWhereTheCursorIs)
{
    type("Text2", "15");
    QLineEdit* edit = box("Text2");
    edit->setCursorPosition(1);
    QTest::keyClicks(edit, ",");
    EXPECT_EQ(edit->text(), "1.5");
    EXPECT_EQ(edit->cursorPosition(), 2);
    QTest::keyClicks(edit, "2");
    EXPECT_EQ(edit->text(), "1.25");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowTest, EditingTheSimulatedTimeRedrawsTheRuns)
{
    clickCalcular();
    clickCalcular();
    const auto revision = drawing().revision();
    box("Text1(3)")->setFocus();
    box("Text1(3)")->end(false);
    QTest::keyClicks(box("Text1(3)"), "0");  // 200000 s
    EXPECT_EQ(box("Text1(3)")->text(), "200000");
    EXPECT_NE(drawing().revision(), revision);
    EXPECT_EQ(countOps(drawing()).circles, 2 * 5001u);
    EXPECT_TRUE(hasText(drawing(), " 200000 "));
    EXPECT_EQ(caption("Label5"), "= 55.56 h");
    picture()->repaint();
    EXPECT_GT(countPixels(picture()->renderedPixmap().toImage(), Qt::green), 200);
}

TEST_F(WindowTest, AFaultyRunIsReportedInAMessage)
{
    type("Text1(0)", "0");
    clickCalcular();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("El Volumen, el Caudal, la apertura de la válvula y la Temperatura "
                                             "inicial deben ser mayores que cero"));
    EXPECT_FALSE(find("Line3(0)")->isVisible());
}

// Runs the application's event loop until it ends, as main() does, doing
// first what the user does. Returns exec()'s result, or -1 if the program
// had not ended after five seconds.
int runUntilTheProgramEnds(const std::function<void()>& user)
{
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    giveUp.start(5000);
    QTimer::singleShot(0, user);
    return QApplication::exec();
}

TEST_F(WindowTest, SalirClosesTheWindowAndEndsTheProgram)
{
    const int result =
        runUntilTheProgramEnds([&] { QTest::mouseClick(find<QPushButton>("Command3"), Qt::LeftButton); });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(WindowTest, ClosingTheWindowEndsTheProgramToo)
{
    clickCalcular();
    const int result = runUntilTheProgramEnds([&] { window->windowHandle()->close(); });
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(WindowTest, GraphRendersAtTheDevicePixelRatioItIsPaintedOn)
{
    PictureBox* box = picture();
    QPixmap target(box->size() * 2);
    target.setDevicePixelRatio(2);
    box->render(&target);
    EXPECT_EQ(box->renderedPixmap().size(), box->size() * 2);
    EXPECT_EQ(box->renderedPixmap().devicePixelRatio(), 2.0);

    // The time axis, 4755 twips down, is one device pixel thin, not a
    // doubled pixel row of a normal-resolution render.
    const QImage image = target.toImage();
    const int column = box->width();  // the middle, in device pixels
    int black = 0;
    for (int y = 0; y < image.height(); ++y)
        black += image.pixelColor(column, y) == QColor(Qt::black);
    EXPECT_EQ(black, 1);

    box->repaint();  // back on the screen's ratio
    EXPECT_EQ(box->renderedPixmap().size(), box->size() * box->devicePixelRatioF());
}

// On a dark desktop the graph box keeps the files' light colours, in which
// the runs read; back on a light one it takes the system's colours again.
TEST_F(WindowTest, ADarkPaletteLeavesTheGraphLight)
{
    clickCalcular();
    const QPalette light = window->palette();
    QPalette dark = light;
    for (const auto [role, grey] :
         {std::pair{QPalette::Window, 53}, {QPalette::Button, 53}, {QPalette::WindowText, 255}})
        dark.setColor(role, QColor(grey, grey, grey));
    window->setPalette(dark);
    const calvetra::Rgb files = calvetra::layout::kGraphColours.background;
    EXPECT_EQ(picture()->grab().toImage().pixelColor(2, 2), QColor(files.r, files.g, files.b));
    window->setPalette(light);
    EXPECT_EQ(picture()->grab().toImage().pixelColor(2, 2), light.color(QPalette::Button));
}

TEST(DecimalSeparator, PointOrCommaFromTheLocale)
{
    EXPECT_EQ(MainWindow::decimalSeparatorOf(QLocale::c()), '.');
    EXPECT_EQ(MainWindow::decimalSeparatorOf(QLocale(QLocale::Spanish, QLocale::Spain)), ',');
    EXPECT_EQ(MainWindow::decimalSeparatorOf(QLocale(QLocale::English, QLocale::UnitedStates)), '.');
    // A separator other than these two: numbers are shown with a point.
    EXPECT_EQ(MainWindow::decimalSeparatorOf(QLocale(QLocale::Arabic, QLocale::Egypt)), '.');
}

class CommaWindowTest : public WindowTest {
protected:
    void SetUp() override { open(','); }
};

TEST_F(CommaWindowTest, NumbersShowTheLocaleSeparator)
{
    EXPECT_EQ(box("Text1(6)")->text(), "10,00");
    EXPECT_EQ(caption("Label5"), "= 5,56 h");
    clickCalcular();
    EXPECT_EQ(caption("Label4(0)"),
              QString::fromUtf8("V = 5,4 (l) -- Q = 10 (l/h) -- To = 20,0 (ºC) -- Ap.Valv = 100 (%)"));
}

TEST(MessageBox, ModalWithTheTextAndOneOkButton)
{
    MainWindow window('.');
    window.load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QList<QAbstractButton*> buttons;
    bool modal = false;
    // The box blocks until OK: press it from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->buttons();
        modal = box->isModal();
        box->button(QMessageBox::Ok)->click();
    });
    window.showMessage("El tiempo debe ser mayor que 0");
    EXPECT_TRUE(modal);
    EXPECT_EQ(title, "CALVETRA");
    EXPECT_EQ(text, "El tiempo debe ser mayor que 0");
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons.size(), 1);
}

}  // namespace
