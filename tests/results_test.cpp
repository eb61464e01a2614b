// Results that leave the window: the graph's menu, the saved pictures and
// data, files written safely, and the toolkit speaking Spanish.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <csignal>
#include <sys/resource.h>

#include <QComboBox>
#include <QFileInfo>
#include <QStandardItemModel>
#include <QTableView>

#include "app/data_table_window.h"
#include "app/graph_results.h"
#include "app/step_study_window.h"
#include "graph/graph_svg.h"
#include "graph/run_table.h"
#include "graph/runs_csv.h"
#include "graph/whole_graph.h"
#include "model/open_address.h"
#include "model/step_study_view.h"
#include "tests/support/recording_window.h"
#include "tests/support/window_fixture.h"

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ResultsTest : public WindowTest {
protected:
    GraphResults& results() { return *window->results(); }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    QTemporaryDir folder;
};

TEST_F(ResultsTest, ItemsThatNeedARunWaitForOne)
{
    GraphResults& r = results();
    const auto enabled = [&] {
        return std::vector<bool>{r.copyAction()->isEnabled(), r.saveAction()->isEnabled(),
                                 r.exportAction()->isEnabled(), r.printAction()->isEnabled()};
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, true}));
    clickCalcular();
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true}));
    QTest::mouseClick(find("Command2"), Qt::LeftButton);
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, false, true}));

    // The shortcuts: Ctrl+S and Ctrl+E from a box, each opening its dialog
    // in the Documents folder with the suggested name.
    clickCalcular();
    QStringList asked;
    r.setPathChooser([&](const QString&, const QString& suggested, const QString&) {
        asked << QFileInfo(suggested).fileName();
        return QString();
    });
    box("Text1(0)")->setFocus();
    QTest::keyClick(box("Text1(0)"), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(box("Text1(0)"), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(asked, (QStringList{"calvetra.png", "calvetra.csv"}));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ResultsTest, SavedPicturesAreTheGraphWithItsLegend)
{
    clickCalcular();
    ASSERT_TRUE(results().saveGraph(path("g.png")));
    ASSERT_TRUE(results().saveGraph(path("g.svg")));
    ASSERT_TRUE(results().saveGraph(path("g.pdf")));

    // PNG: twice the design size, graph and one legend row (5055 + 465
    // twips high, 6855 wide); the curve in red at step 500 (1395.5, 1455.08).
    const QImage png(path("g.png"));
    EXPECT_EQ(png.size(), QSize(914, 736));
    bool red = false;
    const QPoint at(qRound(1395.5 * 2 / 15), qRound(1455.08 * 2 / 15));
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const QColor c = png.pixelColor(at + QPoint(dx, dy));
            red |= c.red() > 200 && c.green() < 90 && c.blue() < 90;
        }
    EXPECT_TRUE(red);

    // SVG: one circle per drawn point, texts as texts.
    const QString svg = QString::fromUtf8(readAll(path("g.svg")));
    EXPECT_EQ(svg.count(QStringLiteral("<circle")), 5001);
    EXPECT_TRUE(svg.contains(QStringLiteral("> 20000 <")));
    EXPECT_TRUE(svg.contains(QStringLiteral("Ap.Valv = 100 (%)")));

    // PDF: a PDF document of one page.
    const QByteArray pdf = readAll(path("g.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);

    // Printing: one landscape page.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path("printed.pdf"));
    results().picture().print(printer);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_TRUE(readAll(path("printed.pdf")).startsWith("%PDF-"));
}

// The saved and printed legend is the window's: each row's sample line and
// description stand where the window shows them, relative to the graph, and
// drawn in the screen's colours the export has the window's very pixels.
TEST_F(ResultsTest, TheExportedLegendStandsWhereTheWindowShowsIt)
{
    for (int run = 0; run < 3; ++run)
        clickCalcular();
    std::vector<std::string> legends;
    for (int k = 0; k < 3; ++k)
        legends.push_back(find<QLabel>(("Label4(" + std::to_string(k) + ")").c_str())->text().toStdString());
    const QImage exported =
        GraphPicture(drawing(), legends, picture()->font(), PictureColours::onScreen(picture()->palette())).image(1);
    const QImage screen = window->grab().toImage();
    const QPoint graph = picture()->geometry().topLeft();
    // The legend's operations: after the box's border, a sample and a text a row.
    const calvetra::DisplayList whole = calvetra::wholeGraph(drawing(), legends);
    std::vector<calvetra::PictureOp> samples, texts;
    bool legend = false;
    for (const calvetra::PictureOp& op : whole.ops()) {
        if (legend)
            (op.kind == calvetra::PictureOp::Kind::Text ? texts : samples).push_back(op);
        legend |= op.kind == calvetra::PictureOp::Kind::Border;
    }
    ASSERT_EQ(samples.size(), 3u);
    ASSERT_EQ(texts.size(), 3u);
    // Pixels that differ within a rectangle of the window, and how many of
    // the window's are dark (the text's).
    const auto compare = [&](const QRect& area, int& dark) {
        int differing = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                differing += exported.pixelColor(QPoint(x, y) - graph) != screen.pixelColor(x, y);
                dark += screen.pixelColor(x, y).lightness() < 100;
            }
        return differing;
    };
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const calvetra::PictureOp& sample = samples[static_cast<std::size_t>(k)];
        const calvetra::PictureOp& description = texts[static_cast<std::size_t>(k)];
        const std::string index = std::to_string(k);
        const QRect text = find(("Label4(" + index + ")").c_str())->geometry();
        EXPECT_EQ(text.topLeft() - graph, QPoint(qRound(description.x1 / 15), qRound(description.y1 / 15)));
        EXPECT_EQ(whole.textOf(description), legends[static_cast<std::size_t>(k)]);
        const QRect line = find(("Line3(" + index + ")").c_str())->geometry();
        EXPECT_EQ(line.left() - graph.x(), qRound(sample.x1 / 15));
        EXPECT_EQ(line.right() + 1 - graph.x(), qRound(sample.x2 / 15));
        EXPECT_EQ(line.top() - graph.y(), qRound(sample.y1 / 15) - sample.width / 2);
        EXPECT_EQ(line.height(), sample.width);

        int dark = 0;
        EXPECT_EQ(compare(text, dark), 0);
        EXPECT_GT(dark, 0) << "no legend text";
        EXPECT_EQ(compare(line.adjusted(0, -1, 0, 1), dark), 0);
    }
}

// One picture on the screen and in the files: the graph box as the window
// paints it is, pixel for pixel, the top of the exported graph drawn in the
// screen's colours, at both pixel ratios; the files themselves take the
// layout's colours, whatever the desktop's palette.
TEST_F(ResultsTest, TheScreenAndTheFilesDrawOnePicture)
{
    for (int run = 0; run < 2; ++run)
        clickCalcular();
    picture()->repaint();
    const QImage screen = picture()->renderedPixmap().toImage();
    const PictureColours onScreen = PictureColours::onScreen(picture()->palette());
    const std::vector<std::string> legends = {"a", "b"};
    for (const double ratio : {1.0, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage drawn = GraphPicture(drawing(), legends, picture()->font(), onScreen).image(ratio);
        const QImage box = drawn.copy(QRect(QPoint(0, 0), picture()->size() * ratio));
        if (ratio == screen.devicePixelRatio())
            EXPECT_EQ(box.convertToFormat(QImage::Format_RGB32), screen.convertToFormat(QImage::Format_RGB32));
        // The border: the outermost device pixels, and only those.
        const int edge = static_cast<int>(ratio);
        const auto at = [&](int x) { return box.pixel(x, box.height() / 2); };
        EXPECT_EQ(at(edge - 1), onScreen.border.rgb());
        EXPECT_EQ(at(edge), onScreen.background.rgb());
        EXPECT_EQ(at(box.width() - edge), onScreen.border.rgb());
        EXPECT_EQ(at(box.width() - edge - 1), onScreen.background.rgb());
    }

    // A palette of another desktop changes the screen, never the files.
    QPalette dark = picture()->palette();
    dark.setColor(QPalette::Button, QColor(30, 30, 30));
    picture()->setPalette(dark);
    ASSERT_TRUE(results().saveGraph(path("g.png")));
    const QImage png(path("g.png"));
    const PictureColours files = PictureColours::inFiles();
    EXPECT_EQ(files.background, QColor(240, 240, 240));  // as the SVG has it, and the page's PNG from it
    EXPECT_EQ(png.pixel(1, 1), files.border.rgb());
    EXPECT_EQ(png.pixel(2, png.height() - 2), files.background.rgb());
}

// Runs told apart without colour: each run's mark along its curve and on
// its legend line, a circle, a square and a triangle, in the one picture
// that the PNG and the SVG both draw; without marks, none of it.
TEST_F(ResultsTest, EachRunsMarkIsInThePngAndTheSvg)
{
    using calvetra::PictureOp;
    for (const char* valve : {"100", "50", "25"}) {
        type("Text1(4)", valve);
        clickCalcular();
    }
    const auto saved = [&](const char* name) {
        EXPECT_TRUE(results().saveGraph(path(name)));
        return readAll(path(name));
    };
    const QImage plainPng = QImage::fromData(saved("plain.png"));
    const QByteArray plainSvg = saved("plain.svg");
    results().marksAction()->trigger();
    const QImage png = QImage::fromData(saved("marks.png"));
    const QByteArray svg = saved("marks.svg");
    const calvetra::layout::GraphStyle& style = window->graphLook().style();

    // In the picture itself: run 0's marks are circles of the mark's size,
    // run 1's level and upright sides, run 2's two slanting sides; at least one a
    // tenth of the curve and one on the legend line.
    const calvetra::DisplayList whole = calvetra::wholeGraph(drawing(), {"a", "b", "c"}, window->graphLook());
    const float markRadius = static_cast<float>(style.markRadius * 0.9);
    std::array<int, 3> circles{}, upright{}, slanting{};
    for (const PictureOp& op : whole.ops())
        for (int k = 0; k < 3; ++k) {
            if (op.foreground || !(op.colour == style.runs[k]))
                continue;
            if (op.kind == PictureOp::Kind::Circle && op.x2 == markRadius)
                ++circles[static_cast<std::size_t>(k)];
            if (op.kind == PictureOp::Kind::Line)
                ++(op.x1 == op.x2 || op.y1 == op.y2 ? upright : slanting)[static_cast<std::size_t>(k)];
        }
    const int least = style.marksPerCurve + 1;
    EXPECT_GE(circles[0], least);
    EXPECT_EQ(circles[1] + circles[2], 0);
    EXPECT_GE(upright[1], 4 * least);
    EXPECT_GE(slanting[2], 2 * least);  // and a level base
    EXPECT_EQ(slanting[0] + slanting[1], 0);

    // In the files: more of each run's colour in the PNG, more drawn
    // elements in the SVG, than without the marks.
    const auto pixelsOf = [](const QImage& image, calvetra::Rgb c) {
        long n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == qRgb(c.r, c.g, c.b);
        return n;
    };
    ASSERT_EQ(png.size(), plainPng.size());
    for (int k = 0; k < 3; ++k)
        EXPECT_GT(pixelsOf(png, style.runs[k]), pixelsOf(plainPng, style.runs[k]) + 10 * least) << "run " << k;
    EXPECT_GE(svg.count("<circle") - plainSvg.count("<circle"), least);
    EXPECT_GE(svg.count("<line") - plainSvg.count("<line"), 7 * least);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ResultsTest, AFailedWriteKeepsTheEarlierFileAndSaysWhy)
{
    clickCalcular();
    const QString csv = path("datos.csv");
    {
        QFile earlier(csv);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("anterior");
    }
    // A file size limit makes the write fail part way, as a full disk does
    // (and it holds for every user, root included).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = results().exportData(csv);
    setrlimit(RLIMIT_FSIZE, &before);

    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(csv), "anterior");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("No se ha podido guardar el archivo «%1»: no se pudo escribir el archivo "
                                             "entero (el disco puede estar lleno).")
                               .arg(csv));
    // No temporary file is left behind, and the program goes on.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"datos.csv"});
    EXPECT_TRUE(results().exportData(csv));
    EXPECT_TRUE(readAll(csv).startsWith("\xEF\xBB\xBFt (s),"));
    // The next dialog opens where the user last saved.
    EXPECT_EQ(results().folder(), folder.path());
}

// Three runs and a time edit, typed into the real window, and the same
// actions on the core alone, as the web page runs them.
void threeRuns(const std::function<void(const char*, const char*)>& type, const std::function<void()>& calcular)
{
    calcular();
    type("Text1(4)", "75");
    type("Text1(7)", "3000");
    calcular();
    type("Text1(4)", "50");
    calcular();
    type("Text1(3)", "15000");
}

void threeRunsOnTheCore(calvetra::testing::Program& p)
{
    threeRuns([&](const char* name, const char* text) { p.type(calvetra::text1(name[6] - '0'), text); },
              [&] { p.form.clickCalcular(); });
}

TEST_F(ResultsTest, TheDesktopWritesTheCoresBytesForCsvAndSvg)
{
    threeRuns([&](const char* name, const char* text) { type(name, text); }, [&] { clickCalcular(); });
    calvetra::testing::Program core;
    threeRunsOnTheCore(core);

    ASSERT_TRUE(results().exportData(path("d.csv")));
    ASSERT_TRUE(results().saveGraph(path("g.svg")));
    const std::string csv = calvetra::drawnRunsCsv(core.form.drawnGraph(), '.');
    const std::string svg = calvetra::graphSvg(core.window.pictureOps, core.form.drawnGraph());
    EXPECT_EQ(readAll(path("d.csv")).toStdString(), csv);
    EXPECT_EQ(readAll(path("g.svg")).toStdString(), svg);
    EXPECT_NE(svg.find("Ap.Valv = 50 (%)"), std::string::npos);
}

TEST_F(ResultsTest, TheDataTableFollowsTheGraphCellByCell)
{
    EXPECT_EQ(results().tableAction()->text(), QStringLiteral("Ver tabla de datos"));
    results().tableAction()->trigger();
    DataTableWindow* table = results().tableWindow();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    EXPECT_TRUE(table->isWindow());
    EXPECT_FALSE(table->isModal());
    EXPECT_FALSE(table->runsView()->isVisible()) << "nothing drawn yet";

    // The same actions on the core alone give the cells to expect.
    calvetra::testing::Program p;
    const auto expectTables = [&] {
        const calvetra::RunTables core = calvetra::drawnRunTables(p.form.drawnGraph(), '.');
        for (const auto& [view, t] :
             {std::pair{table->runsView(), &core.runs}, std::pair{table->temperaturesView(), &core.temperatures}}) {
            const QAbstractItemModel* m = view->model();
            ASSERT_EQ(m->rowCount(), static_cast<int>(t->rows.size()));
            ASSERT_EQ(m->columnCount() + 1, static_cast<int>(t->columns.size()));
            EXPECT_EQ(view->accessibleName().toStdString(), t->caption);
            for (int c = 0; c < m->columnCount(); ++c)
                EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString().toStdString(), t->columns[c + 1u]);
            for (int r = 0; r < m->rowCount(); ++r) {
                EXPECT_EQ(m->headerData(r, Qt::Vertical).toString().toStdString(), t->rows[r][0]);
                for (int c = 0; c < m->columnCount(); ++c)
                    EXPECT_EQ(m->index(r, c).data().toString().toStdString(), t->rows[r][c + 1u]);
            }
        }
    };
    clickCalcular();
    type("Text1(4)", "0");
    clickCalcular();
    p.form.clickCalcular();
    p.type(calvetra::text1(4), "0");
    p.form.clickCalcular();
    EXPECT_TRUE(table->runsView()->isVisible());
    EXPECT_EQ(table->runsView()->model()->columnCount(), 2);
    EXPECT_EQ(table->temperaturesView()->model()->rowCount(), 21);
    expectTables();
    type("Text1(3)", "30000");  // a time edit redraws both runs
    p.type(calvetra::text1(3), "30000");
    EXPECT_EQ(table->temperaturesView()->model()->index(20, 1).data().toString(), QString()) << "overflowed";
    expectTables();
    QTest::mouseClick(find("Command2"), Qt::LeftButton);
    EXPECT_FALSE(table->runsView()->isVisible());
    EXPECT_EQ(table->runsView()->model()->columnCount(), 0);
}

TEST_F(ResultsTest, TheWindowOpensInTheSetUpOfAnAddress)
{
    calvetra::testing::Program core;
    threeRunsOnTheCore(core);
    core.type(calvetra::Box::Text2, "100");
    const std::string link = calvetra::addressOf(core.form, core.window);
    window->openAddress(QString::fromStdString("https://example.org/calvetra/#" + link));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    for (int b = 0; b < 9; ++b)
        EXPECT_EQ(window->text(static_cast<calvetra::Box>(b)), core.window.text(static_cast<calvetra::Box>(b)));
    EXPECT_EQ(caption("Label2").toStdString(), core.window.caption(calvetra::Label::Label2));
    EXPECT_FALSE(caption("Label2").isEmpty()) << "the query ran";
    EXPECT_EQ(caption("Label4(2)").toStdString(), core.window.caption(calvetra::label4(2)));
    ASSERT_EQ(drawing().size(), core.window.pictureOps.size());
    EXPECT_EQ(window->address().toStdString(), link);

    // A bad address and an argument too many: one message, the window as it opened.
    open('.');
    window->openAddress(QStringLiteral("#v=1&V=abc&fin"), {QStringLiteral("--otro")});
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], QString::fromUtf8("No se ha aplicado todo el enlace; se ha ignorado: el argumento de más "
                                             "«--otro» y «V=abc», que no es un número."));
    EXPECT_EQ(box("Text1(0)")->text(), QStringLiteral("5.4"));

    // A run that overflows and a key the program does not know: the
    // overflow as the run is drawn, then what the link left out.
    messages.clear();
    open('.');
    window->openAddress(QStringLiteral("#v=1&colour=red&runs=5.4,10,20,0,1000,20000&fin"));
    EXPECT_EQ(messages, (QStringList{QStringLiteral("Desbordamniento a t = 17500 (s)"),
                                     QString::fromUtf8("No se ha aplicado todo el enlace; se ha ignorado: la clave "
                                                       "desconocida «colour».")}));
}

TEST(SpanishToolkit, TheMessageBoxButtonSaysAceptar)
{
    MainWindow window('.');
    window.load();
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        caption = box->button(QMessageBox::Ok)->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::Ok)->click();
    });
    window.showMessage("El tiempo debe ser mayor que 0");
    EXPECT_EQ(caption, "Aceptar");
}

}  // namespace

namespace {

class ExactFaceTest : public ResultsTest {};

// "Solución exacta" in the graph's menu turns the curves on and off through
// the program, its check following the program; "Estudio del paso…" opens
// the core's study of the chosen run, and writes the core's CSV and SVG.
TEST_F(ExactFaceTest, TheOptionAndTheStudyAreTheCoresOwn)
{
    GraphResults& r = results();
    EXPECT_EQ(r.exactAction()->text(), QStringLiteral("Solución exacta"));
    EXPECT_FALSE(r.exactAction()->isChecked());
    EXPECT_FALSE(r.studyAction()->isEnabled());
    type("Text1(4)", "50");
    clickCalcular();
    const std::size_t plain = drawing().size();
    r.exactAction()->trigger();
    EXPECT_TRUE(r.exactAction()->isChecked());
    EXPECT_GT(drawing().size(), plain);
    EXPECT_NE(window->address().toStdString().find("&exact=1"), std::string::npos);
    r.exactAction()->trigger();
    EXPECT_EQ(drawing().size(), plain);

    // A link with exact=1 checks the item: a filling tank that overflows
    // (the program says so, once).
    open('.');
    GraphResults& opened = results();
    window->openAddress(QStringLiteral("v=1&exact=1&runs=5.4,10,20,50,1000,40000&fin"));
    EXPECT_TRUE(opened.exactAction()->isChecked());
    EXPECT_EQ(messages.size(), 1);
    messages.clear();

    ASSERT_TRUE(opened.studyAction()->isEnabled());
    opened.studyAction()->trigger();
    StepStudyWindow* study = opened.studyWindow();
    ASSERT_NE(study, nullptr);
    EXPECT_TRUE(study->isVisible());
    EXPECT_EQ(study->runChoice()->count(), 1);
    EXPECT_EQ(study->runChoice()->itemText(0), QStringLiteral("Curva roja"));
    const QAbstractItemModel* rk4 = study->table(0)->model();
    ASSERT_EQ(rk4->rowCount(), 11);
    EXPECT_EQ(rk4->headerData(10, Qt::Vertical).toString(), QStringLiteral("5000 (el programa)"));
    EXPECT_TRUE(study->notes()->text().contains(QStringLiteral("se desborda a t = 34992 s")));

    calvetra::testing::Program core;
    core.form.setExactSolution(true);
    ASSERT_EQ(calvetra::openAddress(core.form, core.window, "v=1&exact=1&runs=5.4,10,20,50,1000,40000&fin"), "");
    const calvetra::StepStudy expected = calvetra::stepStudyOf(core.form.drawnGraph().runs.at(0));
    QStringList asked;
    opened.setPathChooser([&](const QString&, const QString& suggested, const QString&) {
        asked << QFileInfo(suggested).fileName();
        return path(QFileInfo(suggested).fileName().toLatin1().constData());
    });
    for (QPushButton* button : study->findChildren<QPushButton*>())
        button->click();
    EXPECT_EQ(asked, (QStringList{"calvetra-paso.csv", "calvetra-paso.svg"}));
    EXPECT_EQ(readAll(path("calvetra-paso.csv")).toStdString(), calvetra::stepStudyCsv(expected, '.'));
    EXPECT_EQ(readAll(path("calvetra-paso.svg")).toStdString(), calvetra::stepStudySvg(expected, '.'));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QStringLiteral(" | ")).toStdString();
}

// "Modo proyector" and "Distinguir las simulaciones sin color" reach the
// program's look: a view comes with its own marks, the marks then go on and
// off alone; the box and the legend lines draw in the look, and the
// window's own look comes back pixel for pixel. A link's look checks them.
TEST_F(ExactFaceTest, TheLookItemsChooseTheProgramsLook)
{
    using calvetra::layout::GraphLook;
    using calvetra::layout::GraphView;
    GraphResults& r = results();
    QAction* projector = r.projectorAction();
    QAction* marks = r.marksAction();
    EXPECT_EQ(projector->text(), QStringLiteral("Modo proyector"));
    EXPECT_EQ(marks->text(), QStringLiteral("Distinguir las simulaciones sin color"));
    EXPECT_TRUE(projector->isCheckable());
    EXPECT_TRUE(marks->isCheckable());
    EXPECT_FALSE(projector->isChecked());
    EXPECT_FALSE(marks->isChecked());
    clickCalcular();
    QWidget* legendLine = find("Line3(0)");
    const QRect plainLine = legendLine->geometry();
    const QImage plain = picture()->grab().toImage();

    projector->trigger();
    EXPECT_EQ(window->graphLook(), (GraphLook{GraphView::Projector, true}));
    EXPECT_TRUE(marks->isChecked());
    EXPECT_EQ(picture()->grab().toImage().pixelColor(2, 2), QColor(Qt::white));
    // Tall enough for the circle across the line, about the same middle.
    EXPECT_GE(legendLine->height(), 14);
    EXPECT_NEAR(legendLine->geometry().center().y(), plainLine.center().y(), 1);
    marks->trigger();
    EXPECT_EQ(window->graphLook(), (GraphLook{GraphView::Projector, false}));
    projector->trigger();
    EXPECT_EQ(window->graphLook(), GraphLook{});
    EXPECT_FALSE(marks->isChecked());
    EXPECT_EQ(picture()->grab().toImage(), plain);
    EXPECT_EQ(legendLine->geometry(), plainLine);
    marks->trigger();
    EXPECT_EQ(window->graphLook(), (GraphLook{GraphView::Window, true}));

    open('.');
    window->openAddress(QStringLiteral("v=1&view=projector&marks=0&runs=5.4,10,20,100,1000,20000&fin"));
    EXPECT_TRUE(results().projectorAction()->isChecked());
    EXPECT_FALSE(results().marksAction()->isChecked());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(QStringLiteral(" | ")).toStdString();
}

}  // namespace
