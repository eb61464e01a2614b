// The desktop in every language: the captions fit their controls, the
// command line and a link choose the language, and an unknown one is
// Spanish and named in one message.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMouseEvent>
#include <QTextBrowser>
#include <QTextDocument>
#include <cstdio>
#include <optional>

#include "app/command_line.h"
#include "app/graph_results.h"
#include "app/help_window.h"
#include "app/translations.h"
#include "tests/support/window_fixture.h"
#include "toolkit/layout.h"

namespace catalogue = calvetra::catalogue;
namespace layout = calvetra::layout;

namespace {

class LanguageTest : public WindowTest {
protected:
    void TearDown() override { speak("es"); }

    static void speak(std::string_view code)
    {
        catalogue::choose(code);
        installToolkitTexts(*QCoreApplication::instance());
    }
};

QString qt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// How much of its control a caption takes: the larger of the width and the
// height it needs over what the control gives (1 fills it exactly).
struct Fit {
    const char* control;
    QString caption;
    QSize needed, available;
    double share() const
    {
        return std::max(double(needed.width()) / available.width(), double(needed.height()) / available.height());
    }
};

// A label's caption wraps at blanks within the label's width; a button's
// and a frame's stand on one line, with room for the button's edges or the
// frame's rule before the title.
Fit measure(const layout::Control& c, QWidget* w)
{
    const QFontMetrics metrics(w->font());
    if (auto* label = qobject_cast<QLabel*>(w)) {
        const QRect room = label->contentsRect();
        const QRect text =
            metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap | Qt::AlignTop, label->text());
        return {c.name, label->text(), text.size(), room.size()};
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        constexpr int kEdges = 8;
        return {c.name, button->text(), QSize(metrics.horizontalAdvance(button->text()) + kEdges, metrics.height()),
                button->size()};
    }
    auto* frame = qobject_cast<QGroupBox*>(w);
    constexpr int kRule = 16;
    return {c.name, frame->title(), QSize(metrics.horizontalAdvance(frame->title()) + kRule, metrics.height()),
            QSize(frame->width(), frame->height())};
}

TEST_F(LanguageTest, EveryCaptionFitsItsControlInEveryLanguage)
{
    for (const catalogue::Language& language : catalogue::languages()) {
        speak(language.code);
        open('.');  // the window built in that language
        std::optional<Fit> tightest;
        for (const layout::Control& c : layout::controls()) {
            if (!c.caption)
                continue;
            const Fit fit = measure(c, find(c.name));
            std::printf("[%s] %-10s %3dx%-3d of %3dx%-3d  %s\n", language.code.data(), c.name, fit.needed.width(),
                        fit.needed.height(), fit.available.width(), fit.available.height(),
                        fit.caption.toUtf8().constData());
            EXPECT_LE(fit.needed.width(), fit.available.width()) << language.code << " " << c.name;
            EXPECT_LE(fit.needed.height(), fit.available.height()) << language.code << " " << c.name;
            if (!tightest || fit.share() > tightest->share())
                tightest = fit;
        }
        ASSERT_TRUE(tightest);
        std::printf("[%s] tightest: %s \"%s\", %dx%d of %dx%d (%.0f%%)\n", language.code.data(), tightest->control,
                    tightest->caption.toUtf8().constData(), tightest->needed.width(), tightest->needed.height(),
                    tightest->available.width(), tightest->available.height(), 100 * tightest->share());
        EXPECT_LE(tightest->share(), 1.0)
            << language.code << ": the tightest caption is " << tightest->control << " \""
            << tightest->caption.toStdString() << "\", " << tightest->needed.width() << "x" << tightest->needed.height()
            << " of " << tightest->available.width() << "x" << tightest->available.height();
    }
}

TEST_F(LanguageTest, AnUnknownLanguageIsSpanishAndNamedInOneMessage)
{
    // On the command line, alone...
    CommandLine line = readCommandLine({QStringLiteral("calvetra"), QStringLiteral("--lang"), QStringLiteral("xx")});
    EXPECT_EQ(catalogue::current().code, "es");
    EXPECT_FALSE(line.known);
    open('.');
    openCommandLine(*window, line);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("El idioma «xx» no está disponible; el programa sigue en español."));

    // ...with a link: named in the link's one message.
    messages.clear();
    line = readCommandLine({QStringLiteral("calvetra"), QStringLiteral("--lang=xx"), QStringLiteral("#v=1&V=3&fin")});
    open('.');
    openCommandLine(*window, line);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("No se ha aplicado todo el enlace; se ha ignorado: el idioma «xx», que el "
                                             "programa no tiene (sigue en español)."));
    EXPECT_EQ(box("Text1(0)")->text(), QStringLiteral("3"));

    // In a link.
    messages.clear();
    open('.');
    window->openAddress(QStringLiteral("#v=1&V=4&lang=xx&fin"));
    EXPECT_EQ(catalogue::current().code, "es");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("No se ha aplicado todo el enlace; se ha ignorado: el idioma «xx», que el "
                                             "programa no tiene (sigue en español)."));
    EXPECT_EQ(box("Text1(0)")->text(), QStringLiteral("4"));
}

TEST_F(LanguageTest, ALinksLanguageRecaptionsTheOpenWindowAndWinsOverTheCommandLine)
{
    ASSERT_GT(catalogue::languages().size(), 1u);
    const std::string other(catalogue::languages()[1].code);  // the first after Spanish
    window->showHelp();
    clickCalcular();
    window->openAddress(QString::fromStdString("#v=1&lang=" + other + "&fin"));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    ASSERT_EQ(catalogue::current().code, other);
    for (const layout::Control& c : layout::controls()) {
        QWidget* w = find(c.name);
        if (c.caption) {
            const Fit fit = measure(c, w);
            EXPECT_EQ(fit.caption, qt(layout::caption(c))) << c.name;
        }
        if (c.accessibleName || c.labelledBy)
            EXPECT_EQ(w->accessibleName(), qt(layout::accessibleName(c))) << c.name;
        if (c.accessibleDescription)
            EXPECT_EQ(w->accessibleDescription(), qt(layout::accessibleDescription(c))) << c.name;
    }
    EXPECT_EQ(window->results()->copyAction()->text(), uiText(calvetra::Text::CopyGraph));
    EXPECT_EQ(window->results()->projectorAction()->text(), uiText(calvetra::Text::ProjectorMode));
    EXPECT_EQ(window->results()->marksAction()->text(), uiText(calvetra::Text::RunMarksOption));
    EXPECT_EQ(window->helpWindow()->windowTitle(), uiText(calvetra::Text::HelpTitle));
    // The help shown is the language's own document, from the resources.
    const QString help = HelpWindow::document('.');
    EXPECT_TRUE(help.contains(QString::fromStdString("<html lang=\"" + other + "\"")));
    QTextDocument shown;
    shown.setHtml(help);
    EXPECT_EQ(window->helpWindow()->browser()->toPlainText(), shown.toPlainText());
    // The drawn run's legend is rewritten in the language too.
    EXPECT_EQ(caption("Label4(0)").toStdString(),
              catalogue::format(calvetra::Text::RunLegend, {"5.4", "10", "20.0", "100"}));

    // --lang chooses, but the link's own lang wins.
    const CommandLine line = readCommandLine({QStringLiteral("calvetra"), QStringLiteral("--lang"),
                                              QString::fromStdString(other), QStringLiteral("#v=1&lang=es&fin")});
    EXPECT_EQ(catalogue::current().code, other);
    EXPECT_TRUE(line.known);
    open('.');
    messages.clear();
    openCommandLine(*window, line);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(catalogue::current().code, "es");
    EXPECT_EQ(find<QPushButton>("Command1")->text(), QStringLiteral("Calcular"));
}

// --projector opens the window in the projector's look with its marks, its
// items checked; a link in that look keeps its own marks.
TEST_F(LanguageTest, TheProjectorOptionOpensTheProjectorsLook)
{
    using layout::GraphView;
    CommandLine line = readCommandLine({QStringLiteral("calvetra"), QStringLiteral("--projector")});
    EXPECT_TRUE(line.projector);
    open('.');
    openCommandLine(*window, line);
    EXPECT_EQ(window->graphLook(), (layout::GraphLook{GraphView::Projector, true}));
    EXPECT_TRUE(window->results()->projectorAction()->isChecked());
    EXPECT_TRUE(window->results()->marksAction()->isChecked());

    line = readCommandLine(
        {QStringLiteral("calvetra"), QStringLiteral("--projector"), QStringLiteral("#v=1&view=projector&marks=0&fin")});
    open('.');
    openCommandLine(*window, line);
    EXPECT_EQ(window->graphLook(), (layout::GraphLook{GraphView::Projector, false}));
    EXPECT_FALSE(readCommandLine({QStringLiteral("calvetra")}).projector);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
}

// With the exact solution shown, the comparison under the answer and the
// read-out's note beside the point fit their places in every language, for
// wide figures (a heater of a gigawatt, its exponents and signs), and
// the note stays on the graph box; another window in front hides it.
TEST_F(LanguageTest, TheExactComparisonsFitInEveryLanguage)
{
    for (const catalogue::Language& language : catalogue::languages()) {
        speak(language.code);
        open(',');
        type("Text1(7)", "999999999");
        clickCalcular();
        window->results()->exactAction()->trigger();
        type("Text2", "1000");
        auto* answer = find<QLabel>("Label8");
        ASSERT_FALSE(answer->text().isEmpty()) << language.code << messages.join(QChar(124)).toStdString();
        EXPECT_LE(answer->fontMetrics().horizontalAdvance(answer->text()), answer->contentsRect().width())
            << language.code << " " << answer->text().toStdString();

        // Where the note has to turn back: near the box's right and bottom.
        const QPointF at(picture()->width() * 0.9, picture()->height() - 40);
        QMouseEvent move(QEvent::MouseMove, at, picture()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(picture(), &move);
        const QLabel* note = picture()->readoutNote();
        ASSERT_NE(note, nullptr);
        ASSERT_TRUE(note->isVisible()) << language.code;
        const QStringList lines = note->text().split('\n');
        EXPECT_EQ(lines.size(), 4) << note->text().toStdString();
        const QRect room = note->contentsRect().marginsRemoved(QMargins(2, 2, 2, 2));
        std::printf("[%s] %s (%d of %d px) | %s in %dx%d px\n", language.code.data(),
                    answer->text().toUtf8().constData(), answer->fontMetrics().horizontalAdvance(answer->text()),
                    answer->contentsRect().width(), note->text().replace('\n', " / ").toUtf8().constData(),
                    room.width(), room.height());
        for (const QString& line : lines)
            EXPECT_LE(note->fontMetrics().horizontalAdvance(line), room.width())
                << language.code << " " << line.toStdString();
        EXPECT_LE(note->fontMetrics().lineSpacing() * lines.size(), room.height()) << language.code;
        EXPECT_TRUE(picture()->rect().contains(note->geometry())) << language.code;
        EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    }
    // Another window in front takes the note away, with no leave from the
    // pointer (a window manager need not send one).
    ASSERT_TRUE(picture()->readoutNote()->isVisible());
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(picture()->readoutNote()->isVisible());
}

}  // namespace
