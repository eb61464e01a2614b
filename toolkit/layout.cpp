#include "toolkit/layout.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/fault.h"

namespace calvetra::layout {

namespace {

constexpr LineColour kWindowText{true, {}};
constexpr LineColour runLineColour(long run) { return {false, kRuns[run].colour}; }

// Designated initialisers keep each row readable: only what differs from a
// plain, visible, left-aligned control in the window's font is written.
// clang-format off
constexpr Control kControls[] = {
    {.name = "Image1", .kind = Kind::Image, .left = 126, .top = 126, .width = 7420, .height = 5110, .text = "diagram",
     .accessibleName = Text::DiagramName},
    {.name = "Label1(0)", .kind = Kind::Label, .left = 3120, .top = 4560, .width = 495, .height = 375,
     .caption = Text::VolumeCaption, .font = Font::Box, .transparent = true, .tabIndex = 0},
    {.name = "Label1(1)", .kind = Kind::Label, .left = 240, .top = 1080, .width = 1335, .height = 375,
     .caption = Text::FeedCaption, .font = Font::Box, .transparent = true, .tabIndex = 1},
    {.name = "Text1(0)", .kind = Kind::TextBox, .left = 3720, .top = 4560, .width = 1095, .height = 375,
     .text = "5.4", .font = Font::Box, .align = Align::Centre, .tabIndex = 2, .labelledBy = "Label1(0)"},
    {.name = "Text1(1)", .kind = Kind::TextBox, .left = 1680, .top = 1080, .width = 1095, .height = 375, .text = "10",
     .font = Font::Box, .align = Align::Centre, .tabIndex = 3, .labelledBy = "Label1(1)"},
    {.name = "Text1(2)", .kind = Kind::TextBox, .left = 3720, .top = 5040, .width = 1095, .height = 375, .text = "20",
     .font = Font::Box, .align = Align::Centre, .tabIndex = 4, .labelledBy = "Label1(2)"},
    {.name = "Label1(2)", .kind = Kind::Label, .left = 3000, .top = 5040, .width = 735, .height = 375,
     .caption = Text::InitialTempCaption, .font = Font::Box, .transparent = true, .tabIndex = 5},
    {.name = "Command1", .kind = Kind::Button, .left = 120, .top = 5880, .width = 3015, .height = 1335,
     .caption = Text::CalculateCaption, .tabIndex = 6},
    {.name = "Picture2", .kind = Kind::PictureBox, .left = 8160, .top = 480, .width = 6855, .height = 5055,
     .text = "", .tabIndex = 7, .accessibleName = Text::GraphName,
     .accessibleDescription = Text::GraphDescription},
    {.name = "Command2", .kind = Kind::Button, .left = 8160, .top = 6720, .width = 6855, .height = 495,
     .caption = Text::ClearGraphCaption, .tabIndex = 8},
    {.name = "Label1(3)", .kind = Kind::Label, .left = 10800, .top = 120, .width = 1455, .height = 375,
     .caption = Text::SimTimeCaption, .font = Font::Box, .transparent = true, .tabIndex = 9},
    {.name = "Text1(3)", .kind = Kind::TextBox, .left = 12480, .top = 120, .width = 1215, .height = 375,
     .text = "20000", .font = Font::Box, .align = Align::Centre, .tabIndex = 10, .labelledBy = "Label1(3)"},
    {.name = kRuns[0].legendLabelName, .kind = Kind::Label, .left = 9120, .top = 5640, .width = 5775, .height = 255, .text = "",
     .tabIndex = 11, .accessibleDescription = kRuns[0].legendDescription},
    {.name = kRuns[1].legendLabelName, .kind = Kind::Label, .left = 9120, .top = 6000, .width = 5760, .height = 255, .text = "",
     .tabIndex = 12, .accessibleDescription = kRuns[1].legendDescription},
    {.name = kRuns[2].legendLabelName, .kind = Kind::Label, .left = 9120, .top = 6360, .width = 5760, .height = 255, .text = "",
     .tabIndex = 13, .accessibleDescription = kRuns[2].legendDescription},
    {.name = "Label5", .kind = Kind::Label, .left = 13800, .top = 195, .width = 855, .height = 255, .text = "",
     .font = Font::Small, .transparent = true, .tabIndex = 14, .accessibleDescription = Text::HoursDescription},
    {.name = "Frame1", .kind = Kind::Frame, .left = 4800, .top = 5880, .width = 3255, .height = 1335,
     .caption = Text::InstantCaption, .tabIndex = 15},
    {.name = "Label3(0)", .kind = Kind::Label, .container = "Frame1", .left = 120, .top = 360, .width = 1455,
     .height = 255, .caption = Text::InstantTimeCaption, .align = Align::Centre, .tabIndex = 16},
    {.name = "Text2", .kind = Kind::TextBox, .container = "Frame1", .left = 120, .top = 720, .width = 1335,
     .height = 375, .text = "0", .font = Font::Box, .align = Align::Centre, .tabIndex = 17,
     .labelledBy = "Label3(0)"},
    {.name = "Label3(1)", .kind = Kind::Label, .container = "Frame1", .left = 1680, .top = 360, .width = 1455,
     .height = 255, .caption = Text::InstantTempCaption, .align = Align::Centre, .tabIndex = 18},
    {.name = "Label2", .kind = Kind::Label, .container = "Frame1", .left = 1680, .top = 720, .width = 1455,
     .height = 375, .text = "", .font = Font::Box, .align = Align::Centre, .border = true, .tabIndex = 19,
     .accessibleDescription = Text::InstantTempDescription},
    {.name = "Line1", .kind = Kind::Line, .container = "Frame1", .left = 120, .top = 600, .width = 3120,
     .height = 600, .text = "", .lineColour = kWindowText, .lineWidth = 1},
    {.name = "Line2", .kind = Kind::Line, .container = "Frame1", .left = 1560, .top = 360, .width = 1560,
     .height = 1080, .text = "", .lineColour = kWindowText, .lineWidth = 1},
    {.name = "Text1(4)", .kind = Kind::TextBox, .left = 6720, .top = 2160, .width = 735, .height = 375, .text = "100",
     .font = Font::Box, .align = Align::Centre, .tabIndex = 20, .labelledBy = "Label1(4)"},
    {.name = "Label1(4)", .kind = Kind::Label, .left = 6600, .top = 1560, .width = 1215, .height = 615,
     .caption = Text::ValveCaption, .font = Font::Box, .align = Align::Centre, .transparent = true, .tabIndex = 21},
    {.name = "Text1(5)", .kind = Kind::TextBox, .left = 1680, .top = 1560, .width = 1095, .height = 375, .text = "20",
     .font = Font::Box, .align = Align::Centre, .tabIndex = 22, .locked = true, .labelledBy = "Label1(5)"},
    {.name = "Label1(5)", .kind = Kind::Label, .left = 240, .top = 1560, .width = 1455, .height = 375,
     .caption = Text::FeedTempCaption, .font = Font::Box, .transparent = true, .tabIndex = 23},
    {.name = "Label1(6)", .kind = Kind::Label, .left = 6240, .top = 4080, .width = 1335, .height = 375,
     .caption = Text::OutletTempCaption, .font = Font::Box, .transparent = true, .tabIndex = 24},
    {.name = "Text1(6)", .kind = Kind::TextBox, .left = 7080, .top = 3600, .width = 855, .height = 375, .text = "10",
     .font = Font::Box, .align = Align::Centre, .tabIndex = 25, .locked = true, .labelledBy = "Label1(7)"},
    {.name = "Label1(7)", .kind = Kind::Label, .left = 6240, .top = 3600, .width = 855, .height = 375,
     .caption = Text::OutflowCaption, .font = Font::Box, .transparent = true, .tabIndex = 26},
    {.name = "Label1(8)", .kind = Kind::Label, .left = 2160, .top = 2880, .width = 255, .height = 375, .caption = Text::LevelCaption,
     .font = Font::Small, .transparent = true, .tabIndex = 27},
    {.name = "Label1(9)", .kind = Kind::Label, .left = 1320, .top = 2520, .width = 1095, .height = 375,
     .caption = Text::OverflowLevelCaption, .font = Font::Small, .transparent = true, .tabIndex = 28},
    {.name = "Command3", .kind = Kind::Button, .left = 3240, .top = 5880, .width = 1455, .height = 1335,
     .caption = Text::ExitCaption, .tabIndex = 29},
    {.name = "Label1(10)", .kind = Kind::Label, .left = 4320, .top = 480, .width = 735, .height = 375,
     .caption = Text::PowerCaption, .font = Font::Box, .transparent = true, .tabIndex = 30},
    {.name = "Text1(7)", .kind = Kind::TextBox, .left = 5040, .top = 480, .width = 1095, .height = 375,
     .text = "1000", .font = Font::Box, .align = Align::Centre, .tabIndex = 31, .labelledBy = "Label1(10)"},
    {.name = "Label6(0)", .kind = Kind::Label, .left = 9000, .top = 240, .width = 1695, .height = 255, .text = "",
     .tabIndex = 32, .accessibleDescription = Text::ReadoutDescription},
    {.name = "Label7", .kind = Kind::Label, .left = 120, .top = 7320, .width = 14895, .height = 255,
     .caption = Text::CreditCaption,
     .font = Font::Credit, .align = Align::Centre, .tabIndex = 33},
    // The exact solution beside the answer, on the frame's last line (empty while it is not shown).
    {.name = "Label8", .kind = Kind::Label, .container = "Frame1", .left = 120, .top = 1095, .width = 3015,
     .height = 225, .text = "", .align = Align::Centre, .tabIndex = 34},
    {.name = kRuns[0].legendLine, .kind = Kind::Line, .left = 8280, .top = 5760, .width = 8880, .height = 5760, .text = "",
     .visible = false, .lineColour = runLineColour(0), .lineWidth = 2},
    {.name = kRuns[1].legendLine, .kind = Kind::Line, .left = 8280, .top = 6120, .width = 8880, .height = 6120, .text = "",
     .visible = false, .lineColour = runLineColour(1), .lineWidth = 2},
    {.name = kRuns[2].legendLine, .kind = Kind::Line, .left = 8280, .top = 6480, .width = 8880, .height = 6480, .text = "",
     .visible = false, .lineColour = runLineColour(2), .lineWidth = 2},
};
// clang-format on

// Core names of the boxes and labels the program writes, in the order of
// their enums; the runs' legend labels are named in the table of the runs.
constexpr const char* kBoxNames[] = {"Text1(0)", "Text1(1)", "Text1(2)", "Text1(3)", "Text1(4)",
                                     "Text1(5)", "Text1(6)", "Text1(7)", "Text2"};
constexpr const char* kLabelNames[] = {
    "Label2", "Label5", "Label6(0)", kRuns[0].legendLabelName, kRuns[1].legendLabelName, kRuns[2].legendLabelName,
    "Label8"};
static_assert(std::size(kLabelNames) == static_cast<std::size_t>(kLabelCount));

// Run k's row of the table of the runs; another run number is a fault.
const RunKind& runKind(long run)
{
    if (run < 0 || run >= kRunCount) [[unlikely]]
        raiseFault(FaultKind::IndexOutOfRange);
    return kRuns[run];
}

template <class Names> const Control& byIndex(const Names& names, int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(names)))
        throw std::out_of_range("no such control");
    return control(names[index]);
}

}  // namespace

Rgb runColour(long run) { return runKind(run).colour; }

namespace {

// clang-format off
constexpr GraphStyle kGraphStyles[] = {
    // The window: the system's colours on screen, the finest lines, the box's font.
    {.colours = kGraphColours, .systemColours = true, .grid = kGridColour,
     .runs = {kRuns[0].colour, kRuns[1].colour, kRuns[2].colour},
     .curvePixels = 0, .axisPixels = 0, .legendPixels = 2, .exactPixels = 0, .textPixels = 0,
     .frame = {.marginLeft = 800, .marginBottom = 300, .valueX = 300, .valueRise = 200, .titleY = {400, 600},
               .zeroValueX = 200, .zeroValueRise = 0, .timeRowFromBottom = 200, .zeroTimeX = 100,
               .timeShift = 300, .timeTitleFromRight = 850, .timeTitleFromBottom = 200, .lastTimeFromRight = 500},
     .markRadius = 75, .markPixels = 2, .marksPerCurve = 10, .marksByDefault = false},
    // The projector: black on white, a grey grid that still reads from the
    // back of a room, curves three pixels wide, texts of 14 points (19
    // pixels). The larger texts need wider margins; "t(s)" moves inside the
    // plot's bottom right corner, where the time values leave it no room.
    {.colours = {{255, 255, 255}, {64, 64, 64}, {0, 0, 0}}, .systemColours = false, .grid = {118, 118, 118},
     .runs = {{213, 62, 0}, {0, 110, 100}, {60, 0, 200}},
     .curvePixels = 3, .axisPixels = 2, .legendPixels = 4, .exactPixels = 2, .textPixels = 19,
     .frame = {.marginLeft = 1100, .marginBottom = 450, .valueX = 50, .valueRise = 300, .titleY = {320, 610},
               .zeroValueX = 1050, .zeroValueRise = 300, .timeRowFromBottom = 320, .zeroTimeX = 90,
               .timeShift = 425, .timeTitleFromRight = 650, .timeTitleFromBottom = 750, .lastTimeFromRight = 950},
     .markRadius = 105, .markPixels = 3, .marksPerCurve = 10, .marksByDefault = true},
};
// clang-format on

}  // namespace

const GraphStyle& graphStyle(GraphView view) { return kGraphStyles[view == GraphView::Projector ? 1 : 0]; }

namespace {

// A colour's relative luminance, as the accessibility guidelines measure
// contrast.
double luminance(Rgb c)
{
    const auto linear = [](std::uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

}  // namespace

bool takesScreenColours(const GraphStyle& style, Rgb window, Rgb windowText)
{
    return style.systemColours && luminance(windowText) < luminance(window);
}

MarkShape markShape(long run)
{
    constexpr MarkShape kShapes[] = {MarkShape::Circle, MarkShape::Square, MarkShape::Triangle};
    static_assert(std::size(kShapes) == kRunCount);
    runKind(run);  // another run number is a fault
    return kShapes[run];
}

FontSpec fontSpec(Font font)
{
    switch (font) {
    case Font::Box:
        return {"MS Sans Serif", 11.41};
    case Font::Small:
        return {"MS Sans Serif", 9.27};
    case Font::Credit:
        return {"Arial Narrow", 8.56};
    case Font::Window:
        break;
    }
    // The window's default font, used by buttons, the frame, the legend,
    // the read-out and the graph.
    return {"MS Sans Serif", 8.25};
}

int fontPixels(Font font) { return static_cast<int>(std::lround(fontSpec(font).points * 96.0 / 72.0)); }

std::span<const char* const> fontSubstitutes(std::string_view family)
{
    static constexpr const char* kSansSerif[] = {"Microsoft Sans Serif", "Liberation Sans", "Arimo",    "Nimbus Sans",
                                                 "DejaVu Sans",          "Arial",           "Helvetica"};
    static constexpr const char* kNarrow[] = {"Liberation Sans Narrow", "Nimbus Sans Narrow", "DejaVu Sans Condensed"};
    if (family == "MS Sans Serif")
        return kSansSerif;
    if (family == "Arial Narrow")
        return kNarrow;
    return {};
}

Layer layerOf(Kind kind)
{
    switch (kind) {
    case Kind::Image:
        return Layer::Picture;
    case Kind::Label:
    case Kind::Line:
        return Layer::Decoration;
    default:
        return Layer::Control;
    }
}

std::span<const Control> controls() { return kControls; }

const Control& control(std::string_view name)
{
    for (const Control& c : kControls)
        if (name == c.name)
            return c;
    throw std::out_of_range("no control named " + std::string(name));
}

const Control& control(Box box) { return byIndex(kBoxNames, static_cast<int>(box)); }
const Control& control(Label label) { return byIndex(kLabelNames, static_cast<int>(label)); }

const Control& legendLine(int index)
{
    if (index < 0 || index >= kRunCount)
        throw std::out_of_range("no such control");
    return control(kRuns[index].legendLine);
}

int pixels(double twips, double pixelsPerTwip) { return static_cast<int>(std::lround(twips * pixelsPerTwip)); }

PixelRect pixelRect(const Control& c, double pixelsPerTwip)
{
    const auto px = [&](int twips) { return pixels(twips, pixelsPerTwip); };
    if (c.kind != Kind::Line)
        return {px(c.left), px(c.top), px(c.left + c.width) - px(c.left), px(c.top + c.height) - px(c.top)};
    const int x1 = c.left, y1 = c.top, x2 = c.width, y2 = c.height;
    const int before = c.lineWidth / 2;
    if (y1 == y2)
        return {px(x1), px(y1) - before, px(x2) - px(x1), c.lineWidth};
    return {px(x1) - before, px(y1), c.lineWidth, px(y2) - px(y1)};
}

PictureSize graphSize()
{
    const Control& c = control("Picture2");
    return {static_cast<double>(c.width), static_cast<double>(c.height)};
}

double graphWithLegendHeight(int rows)
{
    const Control& graph = control("Picture2");
    if (rows <= 0)
        return graph.height;
    const Control& first = control(label4(0));
    const Control& last = control(label4(rows - 1));
    const int gap = first.top - (graph.top + graph.height);
    return last.top + last.height + gap - graph.top;
}

namespace {

// Each narrow block as the part of the window its controls' top-left
// corners lie in, bounded by the controls that begin the parts around it: the
// graph's column, the legend's rows, the buttons' row and the credit line.
struct Region {
    int left, top, right, bottom;
    bool holds(const Control& c) const { return c.left >= left && c.left < right && c.top >= top && c.top < bottom; }
};
struct NarrowPart {
    NarrowBlock block;
    Region region;
};

std::vector<NarrowPart> narrowParts()
{
    const Control& graph = control("Picture2");
    const int column = graph.left;  // the diagram's side ends where the graph's begins
    const int buttons = control("Command1").top;
    const int frame = control("Frame1").left;
    const int span = control("Label1(3)").left;
    const int legend = control(label4(0)).top;
    const int clear = control("Command2").top;
    const int credit = control("Label7").top;
    const int right = kClientWidth, bottom = kClientHeight;
    return {
        {{0, NarrowFit::ListedBoxes}, {0, 0, column, buttons}},      // the diagram and its boxes
        {{1, NarrowFit::Scaled}, {0, buttons, frame, credit}},       // Calcular, Salir
        {{1, NarrowFit::Scaled}, {frame, buttons, column, credit}},  // the instantaneous query
        {{2, NarrowFit::Scaled}, {column, 0, span, graph.top}},      // the read-out
        {{2, NarrowFit::Scaled}, {span, 0, right, graph.top}},       // the time span
        {{3, NarrowFit::Fill}, {column, graph.top, right, legend}},  // the graph
        {{4, NarrowFit::ListedLegend}, {column, legend, right, clear}},
        {{5, NarrowFit::Fill}, {column, clear, right, credit}},  // "Borrar Gráfica"
        {{6, NarrowFit::Reflow}, {0, credit, right, bottom}},
    };
}

const std::vector<NarrowPart>& narrowTable()
{
    static const std::vector<NarrowPart> parts = narrowParts();
    return parts;
}

}  // namespace

std::span<const NarrowBlock> narrowBlocks()
{
    static const std::vector<NarrowBlock> blocks = [] {
        std::vector<NarrowBlock> b;
        for (const NarrowPart& part : narrowTable())
            b.push_back(part.block);
        return b;
    }();
    return blocks;
}

std::size_t narrowBlockOf(const Control& c)
{
    const std::vector<NarrowPart>& parts = narrowTable();
    for (std::size_t k = 0; k < parts.size(); ++k)
        if (parts[k].region.holds(c))
            return k;
    throw std::out_of_range(std::string("no narrow block holds ") + c.name);
}

std::string_view caption(const Control& c) { return c.caption ? catalogue::text(*c.caption) : c.text; }

std::string_view accessibleName(const Control& c)
{
    if (c.labelledBy)
        return caption(control(c.labelledBy));
    return c.accessibleName ? catalogue::text(*c.accessibleName) : caption(c);
}

std::string_view accessibleDescription(const Control& c)
{
    return c.accessibleDescription ? catalogue::text(*c.accessibleDescription) : std::string_view();
}

}  // namespace calvetra::layout
