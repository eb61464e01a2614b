#pragma once

// The window's layout as data: every control with its kind, container,
// rectangle in twips, caption or initial text, font, alignment, border, tab
// index and flags. Each face of the program (the Qt window, the web page)
// builds its window from this one table, so a change to the layout is one
// edit here.

#include <optional>
#include <span>
#include <string_view>

#include "calvetra_version.h"
#include "toolkit/catalogue.h"
#include "toolkit/display_list.h"
#include "toolkit/runs.h"
#include "toolkit/window.h"

namespace calvetra::layout {

// The window's client area, in twips.
constexpr int kClientWidth = 15078;
constexpr int kClientHeight = 7658;

// The window's title and the program's version.
constexpr const char* kTitle = "CALVETRA";
constexpr const char* kVersion = CALVETRA_VERSION;

enum class Kind { Image, Label, TextBox, Button, Frame, PictureBox, Line };

// The four fonts of the layout. Sizes are in points; all are regular weight.
enum class Font { Window, Box, Small, Credit };

struct FontSpec {
    const char* family;
    double points;
};

FontSpec fontSpec(Font font);

// A font's size in whole pixels at 96 dots per inch, as both faces and the
// files draw text.
int fontPixels(Font font);

// The faces to take, in this order, where a layout's face is not installed:
// the nearest metric-compatible ones first. Empty for a face with none.
std::span<const char* const> fontSubstitutes(std::string_view family);

enum class Align { Left, Centre };

// Where a control lies among its siblings: the diagram beneath everything,
// labels and lines above it, boxes, buttons, the frame and the graph on top.
enum class Layer { Picture, Decoration, Control };
Layer layerOf(Kind kind);

// The text of the locked boxes: a grey that still reads at 4.5 to 1 on the
// boxes' white, on the desktop and on the page alike.
constexpr Rgb kLockedTextColour{109, 109, 109};

// A colour as the layout gives it: a fixed RGB value, or the system's
// window-text colour (the rules of the frame).
struct LineColour {
    bool windowText = false;
    Rgb rgb;
};

// The graph's own colours: its background, its one-pixel border and the ink
// of its axes and texts as every file has them (SVG, PNG, PDF, the copy and
// the print), and the grey of its grid. On a screen each face takes the
// first three from the system (the desktop's palette, the page's system
// colours), so that the graph box looks like the controls around it.
struct GraphColours {
    Rgb background, border, ink;
};
constexpr GraphColours kGraphColours{{240, 240, 240}, {160, 160, 160}, {0, 0, 0}};
constexpr Rgb kGridColour{200, 200, 200};

// The runs' colours (toolkit/runs.h), for a run's curve and its legend line
// alike. Another run number is a fault.
Rgb runColour(long run);

// How the graph is laid out and drawn in one of its looks: the window's, as
// the program has always drawn it, or the projector's, for a lecture hall
// (white, black, heavier lines and larger texts, run colours that keep 4.5
// to 1 on white and stay apart for a red-green colour-blind eye). Every face
// and every file reads the look from here; the window's row gives the
// drawing it has always given.
enum class GraphView { Window, Projector };

// Where the frame's texts and axes stand, in twips of the graph box (W x H).
struct FrameLayout {
    double marginLeft, marginBottom;                 // the temperature axis's x; the time axis's height above H
    double valueX;                                   // left of the temperature values
    double valueRise;                                // a temperature value's top above its grid line
    double titleY[2];                                // "T" and "(ºC)", at the left edge
    double zeroValueX, zeroValueRise;                // the temperature axis's "0": left of the axis, top above it
    double timeRowFromBottom;                        // the time values' row, up from H
    double zeroTimeX;                                // the time axis's "0", left of the temperature axis
    double timeShift;                                // a time value left of its quarter of W − MarginLeft
    double timeTitleFromRight, timeTitleFromBottom;  // "t(s)"
    double lastTimeFromRight;                        // the span itself
};

// A run's mark, drawn along its curve and on its legend line when runs are
// told apart without colour.
enum class MarkShape { Circle, Square, Triangle };

struct GraphStyle {
    // On a screen the window's look takes the system's background, border
    // and ink (systemColours); every other case takes these.
    GraphColours colours;
    bool systemColours;
    Rgb grid;
    Rgb runs[kRunCount];
    // Widths in pixels at 96 dots per inch, scaled with the device's pixel
    // ratio; 0 for the finest line the device draws.
    // The closed-form curves are lines of exactPixels, thinner than the runs'.
    std::uint8_t curvePixels, axisPixels, legendPixels, exactPixels;
    // The frame's texts in whole pixels; 0 for the graph box's own font.
    std::uint8_t textPixels;
    FrameLayout frame;
    // Marks, when shown: their half size in twips, stroke width in pixels,
    // and the steps between two marks of a run, as a share of its steps.
    double markRadius;
    std::uint8_t markPixels;
    int marksPerCurve;
    bool marksByDefault;
};

const GraphStyle& graphStyle(GraphView view);

// Whether a look on a screen takes the screen's own background and ink
// (systemColours), given the screen's window colour and the ink of its
// texts: only where the screen is light. The runs' colours are made for a
// light background: on a dark or a high-contrast dark desktop the window's
// blue stays under 3 to 1 against any dark grey, and the projector's runs,
// darker still, do worse; there the graph keeps the light colours it has in
// every file, so that each run reads as it does on paper.
bool takesScreenColours(const GraphStyle& style, Rgb window, Rgb windowText);
MarkShape markShape(long run);

// What the user chose for the graph: its look, and whether each run carries
// a mark of its own besides its colour.
struct GraphLook {
    GraphView view = GraphView::Window;
    bool marks = false;
    // The system's high contrast on the page: the graph in the system's two
    // colours, so the marks are what tells the runs apart. Not the user's
    // choice, so no link or visit keeps it.
    bool systemContrast = false;
    bool showsMarks() const { return marks || systemContrast; }
    const GraphStyle& style() const { return graphStyle(view); }
    friend bool operator==(const GraphLook&, const GraphLook&) = default;
};

// A view as it comes when the user chooses it: with its style's marks.
inline GraphLook lookOf(GraphView view) { return {view, graphStyle(view).marksByDefault}; }

struct Control {
    const char* name;                 // the control's name, e.g. "Text1(3)"
    Kind kind;                        //
    const char* container = nullptr;  // "Frame1", or nullptr for the window
    // Left, top, width and height in twips in the container's client area;
    // for a line, its end points X1, Y1, X2, Y2.
    int left, top, width, height;
    const char* text = "";          // a box's initial text, or the picture's name (Image1)
    std::optional<Text> caption{};  // a caption, from the catalogue
    Font font = Font::Window;
    Align align = Align::Left;
    bool transparent = false;  // a label that lets the diagram show through
    bool border = false;       // a label with a single-line border
    int tabIndex = -1;         // position in the focus order; -1 for none
    bool locked = false;       // a text box the user cannot change (grey text)
    bool visible = true;       //
    LineColour lineColour{};   // lines only
    int lineWidth = 0;         // lines only, in pixels
    // Who names the control to assistive technology: a text box is named by
    // its caption label; other controls by their own text, or this name.
    const char* labelledBy = nullptr;
    std::optional<Text> accessibleName{};
    // A fixed explanation, read after the name (labels whose caption changes
    // keep it here, so that their name is always their current caption).
    std::optional<Text> accessibleDescription{};
};

// Every control of the window, in tab-index order, the uncounted ones
// (image and lines) where they stand in the layout.
std::span<const Control> controls();

// The control of that name; throws std::out_of_range for an unknown name.
const Control& control(std::string_view name);

// The controls the program writes at run time, by their core names.
const Control& control(Box box);
const Control& control(Label label);
const Control& legendLine(int index);  // Line3(index)

// Twips per pixel at 96 dots per inch, the pixels of a standard screen, of
// CSS and of the pictures saved from the graph.
constexpr double kTwipsPerPixel = 15;
constexpr double kPixelsPerTwip = 1 / kTwipsPerPixel;

// The note beside the read-out point (Window::showReadoutNote), in the
// window's font: its size in twips, four lines of figures with a margin, and
// the gap between the point and the note's nearest corner.
inline constexpr PictureSize kReadoutNoteSize{1800, 900};
inline constexpr double kReadoutNoteGap = 180;

// Twips to whole pixels, rounded to the nearest, at pixelsPerTwip
// (kPixelsPerTwip at 96 dots per inch).
int pixels(double twips, double pixelsPerTwip);

// A control's rectangle in whole pixels of its container. The edges are
// rounded rather than the size, so controls that meet in twips still meet
// in pixels. A line's end points are rounded and its pen width spreads
// evenly about it (one pixel above a two-pixel line, none above a one-pixel
// line).
struct PixelRect {
    int left, top, width, height;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};
PixelRect pixelRect(const Control& control, double pixelsPerTwip);

// The graph box's outer size in twips, as the program draws on it.
PictureSize graphSize();

// The height in twips of the graph as it leaves the window (saved, copied,
// printed) with legend rows 0..rows-1 beneath it: the graph box alone, or
// down to the last legend label and then the gap that lies between the box
// and the first label (with three rows, down to the top of "Borrar
// Gráfica").
double graphWithLegendHeight(int rows);

// How a narrow screen (a phone, a tablet upright, a zoomed browser) shows
// the window: its controls in blocks, each a part of the window as the
// desktop has it, stacked row by row (a row's blocks share a line where they
// fit it). Each block is scaled as a whole; Fill: to the full width;
// ListedBoxes and ListedLegend, where the block is too wide for a finger's
// sizes: its controls one under another (the diagram with its boxes under
// it; each legend line's sample and text); Reflow: unscaled, wrapped. The
// desktop, whose window never narrows, takes none of it.
enum class NarrowFit { Scaled, Fill, ListedBoxes, ListedLegend, Reflow };
struct NarrowBlock {
    int row;
    NarrowFit fit;
};
std::span<const NarrowBlock> narrowBlocks();
// The block a control of the window (not one inside the frame) lies in, as
// an index of narrowBlocks().
std::size_t narrowBlockOf(const Control& control);

// A control's caption in the current language, or the text it starts with.
std::string_view caption(const Control& control);

// The name an assistive technology reads for a control: its labelling
// control's caption, its own accessible name, or its own caption; and the
// explanation read after it (empty for none), in the current language.
std::string_view accessibleName(const Control& control);
std::string_view accessibleDescription(const Control& control);

}  // namespace calvetra::layout
