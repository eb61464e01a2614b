#include "bench/qt_benchmarks.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QSize>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/picture_box.h"
#include "app/picture_renderer.h"
#include "bench/bench_window.h"
#include "graph/whole_graph.h"

namespace calvetra::bench {

QtSession::QtSession(int& argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc, argv);
}

QtSession::~QtSession() = default;

namespace {

// A real window, loaded as at start-up, whose messages are counted instead
// of shown in a modal box.
struct LoadedWindow {
    LoadedWindow() : window('.')
    {
        window.setMessagePresenter([this](const QString&) { ++messages; });
        window.load();
    }
    PictureBox& picture() { return *window.findChild<PictureBox*>(QStringLiteral("Picture2")); }
    void calcular(int times)
    {
        auto* button = window.findChild<QPushButton*>(QStringLiteral("Command1"));
        for (int i = 0; i < times; ++i)
            button->click();
    }
    MainWindow window;
    int messages = 0;
};

// The graph box's look, as the window gives it: font, palette, scale, size.
struct PictureStyle {
    explicit PictureStyle(PictureBox& box)
        : font(box.font()), palette(box.palette()), pixelsPerTwip(box.logicalDpiX() / 1440.0), size(box.size())
    {
    }
    QFont font;
    QPalette palette;
    double pixelsPerTwip;
    QSize size;  // logical pixels
};

// An offscreen image of the graph box at a device pixel ratio, painted as
// the box paints its cache: the core's picture of the box through the app's
// renderer. The renderer is kept, as the box keeps its own.
class OffscreenPicture {
public:
    OffscreenPicture(const PictureStyle& style, int ratio)
        : style_(style), image_(style.size * ratio, QImage::Format_RGB32)
    {
        image_.setDevicePixelRatio(ratio);
    }
    void render(const DisplayList& list)
    {
        const PictureColours colours = PictureColours::onScreen(style_.palette);
        image_.fill(colours.background);
        QPainter painter(&image_);
        calvetra::shownBox(list, shown_);
        renderer_.render(painter, shown_, style_.pixelsPerTwip, style_.font, colours);
    }
    const QImage& image() const { return image_; }

private:
    const PictureStyle& style_;
    QImage image_;
    calvetra::DisplayList shown_;
    PictureRenderer renderer_;
};

constexpr std::size_t kThreeRunOps = kFrameOps + 3 * kCirclesPerRun;

// The whole three-run picture to pixels, at device pixel ratio 1 or 2.
void BM_RenderThreeRuns(benchmark::State& state)
{
    LoadedWindow w;
    w.calcular(3);
    const DisplayList& list = w.window.picture();
    if (w.messages != 0 || list.size() != kThreeRunOps) {
        state.SkipWithError("three runs could not be drawn in the window");
        return;
    }
    const PictureStyle style(w.picture());
    OffscreenPicture picture(style, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        picture.render(list);
        benchmark::DoNotOptimize(picture.image().constBits());
    }
    state.counters["ops"] = static_cast<double>(list.size());
}
BENCHMARK(BM_RenderThreeRuns)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A keystroke in the time box with three runs drawn, and the redrawn graph
// rendered to pixels at device pixel ratio 2, as a high-density screen shows
// it after every keystroke.
void BM_TimeKeystrokeThreeRunsRendered(benchmark::State& state)
{
    LoadedWindow w;  // only for the graph box's look
    const PictureStyle style(w.picture());
    OffscreenPicture picture(style, static_cast<int>(state.range(0)));

    BenchProgram p;
    p.calcular(3);
    bool longer = true;
    for (auto _ : state) {
        p.type(Box::Text1_3, longer ? "20001" : "20000");
        longer = !longer;
        picture.render(p.window.pictureOps);
        benchmark::DoNotOptimize(picture.image().constBits());
        if (p.store().RunIndex != 3 || p.window.pictureOps.size() != kThreeRunOps) [[unlikely]] {
            state.SkipWithError("the keystroke did not redraw three runs");
            break;
        }
    }
    if (!p.window.messages.empty())
        state.SkipWithError(("a message was shown: " + p.window.messages.back()).c_str());
}
BENCHMARK(BM_TimeKeystrokeThreeRunsRendered)->Arg(2)->Unit(benchmark::kMicrosecond);

// Filters the graph box's paint events: the window's first frame is on
// screen once the box has painted.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Start-up: the window made, loaded and shown, and events processed until
// its first frame, graph box included, has been painted.
void BM_StartUp(benchmark::State& state)
{
    for (auto _ : state) {
        auto window = std::make_unique<MainWindow>('.');
        int messages = 0;
        window->setMessagePresenter([&messages](const QString&) { ++messages; });
        window->load();
        PaintWatch watch;
        auto* box = window->findChild<PictureBox*>(QStringLiteral("Picture2"));
        box->installEventFilter(&watch);
        window->show();
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents);
        const bool rendered = !box->renderedPixmap().isNull();

        state.PauseTiming();
        box->removeEventFilter(&watch);
        window.reset();
        QApplication::processEvents();  // deferred deletions
        state.ResumeTiming();
        if (!rendered || messages != 0) {
            state.SkipWithError("the window did not paint its graph at start-up");
            break;
        }
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace calvetra::bench
