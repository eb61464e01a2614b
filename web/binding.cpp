// The program's core for the web page. The page gets the layout table as
// data and one Session: Form1 behind a Window that forwards every operation
// to an object of the page, with the graph box's display list kept here for
// the page to draw after each event.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "graph/graph_svg.h"
#include "graph/run_table.h"
#include "graph/runs_csv.h"
#include "model/form1.h"
#include "model/set_up_address.h"
#include "model/worked_example.h"
#include "toolkit/layout.h"

using emscripten::val;

namespace calvetra {

namespace {

namespace layout = calvetra::layout;

// The page's side of the window: an object with the methods text(box),
// setText(box, text), setCaption(label, caption), setLegendLineVisible(index,
// visible), setCrossCursor(), showMessage(text) and close(). Boxes and labels
// are passed as the numbers of their enums.
class PageWindow : public Window {
public:
    explicit PageWindow(val page) : page_(std::move(page)) {}

    std::string text(Box box) const override { return page_.call<std::string>("text", static_cast<int>(box)); }
    void setText(Box box, const std::string& text) override
    {
        page_.call<void>("setText", static_cast<int>(box), text);
    }
    void setCaption(Label label, const std::string& caption) override
    {
        page_.call<void>("setCaption", static_cast<int>(label), caption);
    }
    void setLegendLineVisible(int index, bool visible) override
    {
        page_.call<void>("setLegendLineVisible", index, visible);
    }
    PictureSize pictureSize() const override { return layout::graphSize(); }
    DisplayList& picture() override { return picture_; }
    void setCrossCursor() override { page_.call<void>("setCrossCursor"); }
    void showMessage(const std::string& message) override { page_.call<void>("showMessage", message); }
    void close() override { page_.call<void>("close"); }

    const DisplayList& displayList() const { return picture_; }

private:
    val page_;
    DisplayList picture_;
};

// What the page draws: six numbers per operation of the display list.
enum class OpCode { Line = 0, Circle = 1, Text = 2, Points = 3 };
constexpr int kNumbersPerOp = 6;

// The codes and record size of pictureOps, for the page to read it by.
val pictureFormat()
{
    val format = val::object();
    format.set("line", static_cast<int>(OpCode::Line));
    format.set("circle", static_cast<int>(OpCode::Circle));
    format.set("text", static_cast<int>(OpCode::Text));
    format.set("points", static_cast<int>(OpCode::Points));
    format.set("numbersPerOp", kNumbersPerOp);
    return format;
}

Rgb rgb(int r, int g, int b)
{
    const auto channel = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    return {channel(r), channel(g), channel(b)};
}

// The three channels of a pixel side by side in one 64-bit number, 21 bits
// apart: a blend of all three then takes one multiplication and a few
// shifts, and no channel's sum reaches into the next (it stays below 2^17).
constexpr int kLane = 21;
constexpr std::uint64_t lanes(std::uint64_t each) { return each | each << kLane | each << 2 * kLane; }
constexpr std::uint64_t kLow13 = lanes(0x1FFF);

std::uint64_t inLanes(const std::uint8_t* rgb)
{
    return rgb[0] | std::uint64_t{rgb[1]} << kLane | std::uint64_t{rgb[2]} << 2 * kLane;
}

// x / 255 rounded down in every lane, for lanes up to 255 * 255 + 255:
// shifts and sums in place of a division.
constexpr std::uint64_t dividedBy255(std::uint64_t x) { return ((x + lanes(1) + ((x >> 8) & kLow13)) >> 8) & kLow13; }

// JavaScript's Math.round: the nearest whole number, halves upwards.
long roundAsScript(double v)
{
    const double below = std::floor(v);
    return static_cast<long>(v - below >= 0.5 ? below + 1 : below);
}

// The graph's points as the page shows them: each point a stamp (the
// opacities of an outline the canvas drew once), blended over an RGBA image
// of the canvas at whole device pixels, point after point, in one pass here
// rather than one call of the page per point.
class PointImage {
public:
    // The image, width x height pixels, all of one colour.
    void reset(int width, int height, Rgb colour)
    {
        width_ = width;
        height_ = height;
        rgba_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        fill(0, 0, width, height, colour);
    }

    // The pixels x = left..right-1, y = top..bottom-1 of the image, where it
    // has them, in one colour: a rectangle as the canvas fills it.
    void fill(long left, long top, long right, long bottom, Rgb colour)
    {
        left = std::max(left, 0L);
        top = std::max(top, 0L);
        right = std::min(right, width_);
        bottom = std::min(bottom, height_);
        if (left >= right || top >= bottom)
            return;
        // One pixel, then the row copied from itself in doubling lengths,
        // then the row copied down.
        std::uint8_t* const row = rgba_.data() + (top * width_ + left) * 4;
        const std::uint8_t pixel[4] = {colour.r, colour.g, colour.b, 255};
        std::memcpy(row, pixel, 4);
        const std::size_t length = static_cast<std::size_t>(right - left) * 4;
        for (std::size_t done = 4; done < length; done *= 2)
            std::memcpy(row + done, row, std::min(done, length - done));
        for (long y = top + 1; y < bottom; ++y)
            std::memcpy(row + (y - top) * width_ * 4, row, length);
    }

    // The image's bytes, row after row. The view lies in the module's memory:
    // take it again after calling in.
    val view() const { return val(emscripten::typed_memory_view(rgba_.size(), rgba_.data())); }

    // The circles among ops[first, first + count) of one colour, in device
    // pixels of k per twip, with the stamp's size x size opacities; what falls
    // outside the image is cut off. Each channel becomes
    // (ink * a + under * (255 - a)) / 255 rounded to the nearest, as the
    // canvas's own pixel arrays store it.
    void blend(const std::vector<PictureOp>& ops, std::size_t first, std::size_t count, double k, int size,
               const std::vector<std::uint8_t>& alpha)
    {
        const double half = size / 2.0;
        const std::size_t end = std::min(first + count, ops.size());
        // Points next to one another often fall on the same pixels: those
        // pixels take all of them in turn at once.
        long left = 0, top = 0;
        unsigned times = 0;
        for (std::size_t i = first; i < end; ++i) {
            const PictureOp& op = ops[i];
            if (op.kind != PictureOp::Kind::Circle)
                continue;
            const long x = roundAsScript(op.x1 * k - half), y = roundAsScript(op.y1 * k - half);
            const bool sameDots = dotsColour_ == op.colour && dotsSize_ == size;
            if (times > 0 && x == left && y == top && sameDots) {
                ++times;
                continue;
            }
            if (times > 0)
                stampAt(left, top, size, times);
            if (!sameDots)
                prepare(op.colour, size, alpha);
            left = x;
            top = y;
            times = 1;
        }
        if (times > 0)
            stampAt(left, top, size, times);
    }

private:
    // A pixel of the stamp: where it lies, the ink's share ink * a of each
    // channel (plus the 127 that rounds) and the share 255 - a left to what
    // is under it.
    struct Dot {
        long dx, dy;
        std::uint64_t ink;
        std::uint64_t rest;
    };
    void prepare(Rgb colour, int size, const std::vector<std::uint8_t>& alpha)
    {
        dotsColour_ = colour;
        dotsSize_ = size;
        dots_.clear();
        for (int p = 0; p < size * size; ++p) {
            const unsigned a = alpha[static_cast<std::size_t>(p)];
            const std::uint8_t ink[3] = {colour.r, colour.g, colour.b};
            if (a != 0)
                dots_.push_back({p % size, p / size, inLanes(ink) * a + lanes(127), 255 - a});
        }
    }

    // The stamp blended times times over, top-left at (left, top). Once a
    // blend leaves a channel as it was, so do the rest: the pixel is done
    // when one leaves all three as they were.
    void stampAt(long left, long top, int size, unsigned times)
    {
        const bool inside = left >= 0 && top >= 0 && left + size <= width_ && top + size <= height_;
        for (const Dot& d : dots_) {
            const long x = left + d.dx, y = top + d.dy;
            if (!inside && (x < 0 || y < 0 || x >= width_ || y >= height_))
                continue;
            std::uint8_t* const pixel = rgba_.data() + (y * width_ + x) * 4;
            std::uint64_t v = inLanes(pixel);
            for (unsigned n = 0; n < times; ++n) {
                const std::uint64_t blended = dividedBy255(d.ink + v * d.rest);
                if (blended == v)
                    break;
                v = blended;
            }
            pixel[0] = static_cast<std::uint8_t>(v);
            pixel[1] = static_cast<std::uint8_t>(v >> kLane);
            pixel[2] = static_cast<std::uint8_t>(v >> 2 * kLane);
        }
    }

    long width_ = 0, height_ = 0;
    std::vector<std::uint8_t> rgba_;
    std::vector<Dot> dots_;  // the stamp last prepared, for dotsColour_ and dotsSize_
    Rgb dotsColour_;
    int dotsSize_ = 0;
};

class Session {
public:
    // separator: the decimal separator of the browser's language, "." or ",".
    Session(val page, const std::string& separator)
        : window_(std::move(page)), form_(window_, separator == "," ? ',' : '.')
    {
    }

    void load() { form_.load(); }
    void clickCalcular() { form_.clickCalcular(); }
    void clickBorrarGrafica() { form_.clickBorrarGrafica(); }
    void clickSalir() { form_.clickSalir(); }
    void userChangedText(int box)
    {
        if (box >= 0 && box <= static_cast<int>(Box::Text2))
            form_.userChangedText(static_cast<Box>(box));
    }
    void mouseMoved(float x, float y) { form_.mouseMoved(x, y); }
    void readoutKey(int dx, int dy, bool large) { form_.readoutKey(dx, dy, large); }
    void placeReadoutPoint(double x, double y) { form_.placeReadoutPoint(x, y); }
    // The keyboard's read-out point in twips of the graph box, as [x, y].
    val readoutPoint() const
    {
        const GraphPoint p = form_.readoutPoint();
        val point = val::array();
        point.call<void>("push", p.x);
        point.call<void>("push", p.y);
        return point;
    }
    // The help document with the figures this program works out.
    std::string help(const std::string& html) const { return fillHelp(html, form_.separator()); }

    // Grows with every change of the drawing: the page draws again only then.
    double pictureRevision() const { return static_cast<double>(window_.displayList().revision()); }

    // The display list as code, colour, x1, y1, x2, y2 per operation, in
    // twips of the graph box. The colour is 0xRRGGBB, or -1 for the box's
    // foreground; a circle's radius is in x2, a text's number in x2. With
    // groupPoints, circles in a row of one colour and radius come as one
    // record: points, colour, the number of the first and the count of them,
    // the radius. The view lies in the module's memory: read it before
    // calling in again.
    val pictureOps(bool groupPoints)
    {
        const std::vector<PictureOp>& ops = window_.displayList().ops();
        ops_.resize(ops.size() * kNumbersPerOp);
        float* out = ops_.data();
        for (std::size_t i = 0; i < ops.size(); ++i) {
            const PictureOp& op = ops[i];
            const float colour =
                op.foreground ? -1.0f : static_cast<float>(op.colour.r << 16 | op.colour.g << 8 | op.colour.b);
            const auto put = [&out](std::initializer_list<float> numbers) {
                out = std::copy(numbers.begin(), numbers.end(), out);
            };
            switch (op.kind) {
            case PictureOp::Kind::Line:
                put({float(OpCode::Line), colour, op.x1, op.y1, op.x2, op.y2});
                break;
            case PictureOp::Kind::Circle:
                if (!groupPoints) {
                    put({float(OpCode::Circle), colour, op.x1, op.y1, op.x2, 0});
                    break;
                }
                {
                    std::size_t end = i + 1;
                    while (end < ops.size() && ops[end].kind == PictureOp::Kind::Circle &&
                           ops[end].colour == op.colour && ops[end].foreground == op.foreground && ops[end].x2 == op.x2)
                        ++end;
                    put({float(OpCode::Points), colour, float(i), float(end - i), op.x2, 0});
                    i = end - 1;
                }
                break;
            case PictureOp::Kind::Text:
                put({float(OpCode::Text), colour, op.x1, op.y1, float(op.text), 0});
                break;
            }
        }
        ops_.resize(static_cast<std::size_t>(out - ops_.data()));
        return val(emscripten::typed_memory_view(ops_.size(), ops_.data()));
    }

    // The graph's points drawn over an image of the canvas (see PointImage):
    // startPoints makes it one colour, fillPoints fills a rectangle of it,
    // pointImage gives its bytes, and blendPoints draws the circles
    // ops[first, first + count) with the stamp {size, alpha}, alpha its
    // size x size opacities row by row.
    void startPoints(int width, int height, int r, int g, int b)
    {
        if (width > 0 && height > 0)
            points_.reset(width, height, rgb(r, g, b));
    }
    // A rectangle x = left..right-1, y = top..bottom-1 of one colour on it.
    void fillPoints(int left, int top, int right, int bottom, int r, int g, int b)
    {
        points_.fill(left, top, right, bottom, rgb(r, g, b));
    }
    val pointImage() const { return points_.view(); }
    void blendPoints(double first, double count, double k, val stamp)
    {
        const int size = stamp["size"].as<int>();
        const std::vector<std::uint8_t> alpha = emscripten::convertJSArrayToNumberVector<std::uint8_t>(stamp["alpha"]);
        if (first < 0 || count < 0 || size <= 0 || alpha.size() != static_cast<std::size_t>(size) * size)
            return;
        points_.blend(window_.displayList().ops(), static_cast<std::size_t>(first), static_cast<std::size_t>(count), k,
                      size, alpha);
    }

    // The texts printed on the graph box, by their number.
    val pictureTexts() const
    {
        const DisplayList& list = window_.displayList();
        val texts = val::array();
        for (const PictureOp& op : list.ops())
            if (op.kind == PictureOp::Kind::Text)
                texts.set(op.text, list.textOf(op));
        return texts;
    }

    // The results, as the desktop writes them: the drawn runs as CSV, the
    // graph as SVG, and the data table as {runs, temperatures}, each table
    // {caption, columns, rows} of texts (the first cell of a row heads it).
    // The CSV comes as its bytes (a Uint8Array of its own): a string would
    // lose its byte order mark, which the browser's UTF-8 decoder drops.
    val csv() const
    {
        const std::string bytes = drawnRunsCsv(form_.drawnGraph(), form_.store(), form_.separator());
        return val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())))
            .call<val>("slice");
    }
    std::string svg() const { return graphSvg(window_.displayList(), form_.drawnGraph()); }
    int drawnRunCount() const { return static_cast<int>(form_.drawnGraph().runs.size()); }
    val dataTable() const
    {
        const RunTables tables = drawnRunTables(form_.drawnGraph(), form_.store(), form_.separator());
        val o = val::object();
        o.set("runs", tableForPage(tables.runs));
        o.set("temperatures", tableForPage(tables.temperatures));
        return o;
    }

    // The set-up as an address fragment, without "#".
    std::string link() const { return addressOf(form_, window_); }
    // Brings a freshly loaded session (load() called, nothing else) to the
    // set-up of an address or its fragment. What cannot be applied is named
    // in one message, shown through the page like any other and returned
    // (empty when everything was applied).
    std::string openLink(const std::string& address)
    {
        const std::string message = openAddress(form_, window_, address);
        if (!message.empty())
            window_.showMessage(message);
        return message;
    }

private:
    static val tableForPage(const TextTable& table)
    {
        const auto texts = [](const std::vector<std::string>& cells) {
            val array = val::array();
            for (const std::string& cell : cells)
                array.call<void>("push", cell);
            return array;
        };
        val rows = val::array();
        for (const auto& row : table.rows)
            rows.call<void>("push", texts(row));
        val o = val::object();
        o.set("caption", table.caption);
        o.set("columns", texts(table.columns));
        o.set("rows", rows);
        return o;
    }

    PageWindow window_;
    Form1 form_;
    std::vector<float> ops_;
    PointImage points_;
};

const char* kindName(layout::Kind kind)
{
    switch (kind) {
    case layout::Kind::Image:
        return "image";
    case layout::Kind::Label:
        return "label";
    case layout::Kind::TextBox:
        return "textBox";
    case layout::Kind::Button:
        return "button";
    case layout::Kind::Frame:
        return "frame";
    case layout::Kind::PictureBox:
        return "pictureBox";
    case layout::Kind::Line:
        break;
    }
    return "line";
}

// Strings go through std::string, which embind reads as UTF-8.
val str(const char* s) { return s ? val(std::string(s)) : val::null(); }

// The page's CSS pixels are 96 to the inch: 15 twips a pixel.
constexpr double kPixelsPerTwip = 1.0 / 15;

// A layout face and then the faces to take where it is not installed.
val facesOf(const char* family)
{
    val faces = val::array();
    faces.call<void>("push", str(family));
    for (const char* face : layout::fontSubstitutes(family))
        faces.call<void>("push", str(face));
    return faces;
}

std::string cssColour(Rgb rgb)
{
    return "rgb(" + std::to_string(rgb.r) + "," + std::to_string(rgb.g) + "," + std::to_string(rgb.b) + ")";
}

val controlForPage(const layout::Control& c)
{
    val o = val::object();
    o.set("name", str(c.name));
    o.set("kind", str(kindName(c.kind)));
    o.set("container", str(c.container));
    o.set("left", c.left);
    o.set("top", c.top);
    o.set("width", c.width);
    o.set("height", c.height);
    const layout::PixelRect r = layout::pixelRect(c, kPixelsPerTwip);
    val pixels = val::object();
    pixels.set("left", r.left);
    pixels.set("top", r.top);
    pixels.set("width", r.width);
    pixels.set("height", r.height);
    o.set("pixels", pixels);
    o.set("text", str(c.text));
    const layout::FontSpec font = layout::fontSpec(c.font);
    o.set("fontFamily", str(font.family));
    o.set("fontFaces", facesOf(font.family));
    o.set("fontPoints", font.points);
    o.set("centred", c.align == layout::Align::Centre);
    o.set("transparent", c.transparent);
    o.set("border", c.border);
    o.set("tabIndex", c.tabIndex);
    o.set("locked", c.locked);
    if (c.locked)
        o.set("textColour", cssColour(layout::kLockedTextColour));
    o.set("visible", c.visible);
    o.set("layer", static_cast<int>(layout::layerOf(c.kind)));
    if (c.kind == layout::Kind::Line) {
        o.set("lineColour", c.lineColour.windowText ? val::null() : val(cssColour(c.lineColour.rgb)));
        o.set("lineWidth", c.lineWidth);
    }
    if (c.accessibleName || c.labelledBy)
        o.set("accessibleName", val(std::string(layout::accessibleName(c))));
    o.set("accessibleDescription", str(c.accessibleDescription));
    return o;
}

// The window's layout for the page: its size in twips, its title, every
// control in tab-index order with its rectangle also in whole CSS pixels,
// the names of the boxes, labels and legend lines in the order of the
// numbers the Window calls carry, and which Session method each button's
// click calls. A font comes with its substitutes.
val pageLayout()
{
    val controls = val::array();
    for (const layout::Control& c : layout::controls())
        controls.call<void>("push", controlForPage(c));
    val boxes = val::array();
    for (int k = 0; k <= static_cast<int>(Box::Text2); ++k)
        boxes.call<void>("push", str(layout::control(static_cast<Box>(k)).name));
    val labels = val::array();
    for (int k = 0; k <= static_cast<int>(Label::Label4_2); ++k)
        labels.call<void>("push", str(layout::control(static_cast<Label>(k)).name));
    val legendLines = val::array();
    for (int k = 0; k < 3; ++k)
        legendLines.call<void>("push", str(layout::legendLine(k).name));

    // Each button's name with the Session method its click calls.
    val buttonHandlers = val::object();
    for (const ButtonHandler& b : Form1::buttonHandlers())
        buttonHandlers.set(b.button, str(b.handler));

    val o = val::object();
    o.set("title", str(layout::kTitle));
    o.set("clientWidth", layout::kClientWidth);
    o.set("clientHeight", layout::kClientHeight);
    const layout::FontSpec font = layout::fontSpec(layout::Font::Window);
    val windowFont = val::object();
    windowFont.set("family", str(font.family));
    windowFont.set("faces", facesOf(font.family));
    windowFont.set("points", font.points);
    o.set("windowFont", windowFont);
    o.set("controls", controls);
    o.set("boxes", boxes);
    o.set("labels", labels);
    o.set("legendLines", legendLines);
    o.set("buttonHandlers", buttonHandlers);
    return o;
}

// The program's version, as the help and the printed page show it.
std::string programVersion() { return layout::kVersion; }

}  // namespace

EMSCRIPTEN_BINDINGS(calvetra)
{
    emscripten::function("layout", &pageLayout);
    emscripten::function("version", &programVersion);
    emscripten::function("pictureFormat", &pictureFormat);
    emscripten::class_<Session>("Session")
        .constructor<val, const std::string&>()
        .function("load", &Session::load)
        .function("clickCalcular", &Session::clickCalcular)
        .function("clickBorrarGrafica", &Session::clickBorrarGrafica)
        .function("clickSalir", &Session::clickSalir)
        .function("userChangedText", &Session::userChangedText)
        .function("mouseMoved", &Session::mouseMoved)
        .function("readoutKey", &Session::readoutKey)
        .function("placeReadoutPoint", &Session::placeReadoutPoint)
        .function("readoutPoint", &Session::readoutPoint)
        .function("help", &Session::help)
        .function("pictureRevision", &Session::pictureRevision)
        .function("pictureOps", &Session::pictureOps)
        .function("pictureTexts", &Session::pictureTexts)
        .function("startPoints", &Session::startPoints)
        .function("fillPoints", &Session::fillPoints)
        .function("pointImage", &Session::pointImage)
        .function("blendPoints", &Session::blendPoints)
        .function("drawnRunCount", &Session::drawnRunCount)
        .function("csv", &Session::csv)
        .function("svg", &Session::svg)
        .function("dataTable", &Session::dataTable)
        .function("link", &Session::link)
        .function("openLink", &Session::openLink);
}

}  // namespace calvetra
