#include "graph/graph_svg.h"

#include <algorithm>
#include <cmath>

#include "graph/whole_graph.h"
#include "toolkit/layout.h"
#include "toolkit/runs.h"
#include "toolkit/text.h"

namespace calvetra {

namespace {

// The graph's font, then the faces the layout takes where it is missing.
std::string fontFamilies()
{
    const char* family = layout::fontSpec(layout::control("Picture2").font).family;
    std::string list = std::string("'") + family + "'";
    for (const char* face : layout::fontSubstitutes(family))
        list += std::string(", '") + face + "'";
    return list + ", sans-serif";
}
// Where a text's baseline lies below its top, as a share of the font size
// (the ascent of the faces above).
constexpr double kAscent = 0.905;

// Twips with the point; the display list's coordinates are 32-bit, and
// their short form is a ten-thousandth of a pixel or better.
std::string num(double v) { return text::general(v, '.'); }
std::string num(float v) { return text::general(v, '.'); }

std::string hex(Rgb c)
{
    constexpr const char* digits = "0123456789abcdef";
    std::string s = "#";
    for (const std::uint8_t v : {c.r, c.g, c.b}) {
        s += digits[v >> 4];
        s += digits[v & 15];
    }
    return s;
}

std::string escaped(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The graph's font size in twips: whole pixels, as both faces draw text.
double fontTwips() { return layout::fontPixels(layout::control("Picture2").font) * layout::kTwipsPerPixel; }

// A width in pixels as the drawing's stroke width in twips; the finest
// line is one pixel.
std::string strokeWidth(std::uint8_t pixels) { return num(std::max<int>(pixels, 1) * layout::kTwipsPerPixel); }

// What one operation looks like, and what it is: each as the attributes
// and the element without them.
std::string attributes(const PictureOp& op, const layout::GraphColours& colours)
{
    const std::string ink = hex(op.foreground ? colours.ink : op.colour);
    switch (op.kind) {
    case PictureOp::Kind::Line:
        return "stroke=\"" + ink + "\" stroke-width=\"" + strokeWidth(op.width) + "\"";
    case PictureOp::Kind::Circle:
        return "fill=\"none\" stroke=\"" + ink + "\" stroke-width=\"" + strokeWidth(op.width) + "\"";
    case PictureOp::Kind::Text:
        return "fill=\"" + hex(colours.ink) + "\"" +
               (op.size ? " font-size=\"" + num(op.size * layout::kTwipsPerPixel) + "\"" : std::string());
    case PictureOp::Kind::Fill:
        return "fill=\"" + hex(colours.background) + "\"";
    case PictureOp::Kind::Border:
        return "fill=\"none\" stroke=\"" + hex(colours.border) + "\" stroke-width=\"" + strokeWidth(0) + "\"";
    }
    return {};
}

// An element's opening up to its attributes, and what closes it.
struct Element {
    std::string open, close;
};

Element element(const PictureOp& op, const DisplayList& picture, double baseline)
{
    // A text of its own size has its own baseline.
    if (op.size)
        baseline = std::round(op.size * layout::kTwipsPerPixel * kAscent);
    const double x1 = op.x1, y1 = op.y1, x2 = op.x2, y2 = op.y2;
    switch (op.kind) {
    case PictureOp::Kind::Line:
        return {"<line x1=\"" + num(op.x1) + "\" y1=\"" + num(op.y1) + "\" x2=\"" + num(op.x2) + "\" y2=\"" +
                    num(op.y2) + "\"",
                "/>\n"};
    case PictureOp::Kind::Circle:
        return {"<circle cx=\"" + num(op.x1) + "\" cy=\"" + num(op.y1) + "\" r=\"" + num(op.x2) + "\"", "/>\n"};
    case PictureOp::Kind::Text:
        return {"<text x=\"" + num(op.x1) + "\" y=\"" + num(y1 + baseline) + "\"",
                ">" + escaped(picture.textOf(op)) + "</text>\n"};
    case PictureOp::Kind::Fill: {
        const std::string at =
            (x1 != 0 ? " x=\"" + num(x1) + "\"" : std::string()) + (y1 != 0 ? " y=\"" + num(y1) + "\"" : std::string());
        return {"<rect" + at + " width=\"" + num(x2 - x1) + "\" height=\"" + num(y2 - y1) + "\"", "/>\n"};
    }
    case PictureOp::Kind::Border: {
        // The stroke lies inside the rectangle: its middle half a pixel in.
        const double half = layout::kTwipsPerPixel / 2;
        return {"<rect x=\"" + num(x1 + half) + "\" y=\"" + num(y1 + half) + "\" width=\"" + num(x2 - x1 - 2 * half) +
                    "\" height=\"" + num(y2 - y1 - 2 * half) + "\"",
                "/>\n"};
    }
    }
    return {};
}

// Operations in a row with the same attributes share a group, so the 15 003
// circles of three curves are three groups of bare circles; one alone
// carries its attributes itself.
void drawList(std::string& out, const DisplayList& picture, double baseline, const layout::GraphColours& colours)
{
    const std::vector<PictureOp>& ops = picture.ops();
    std::string open, previous;
    std::string current = ops.empty() ? std::string() : attributes(ops.front(), colours);
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const std::string next = i + 1 < ops.size() ? attributes(ops[i + 1], colours) : std::string();
        const bool alone = current != previous && current != next;
        if (!open.empty() && (alone || current != open)) {
            out += "</g>\n";
            open.clear();
        }
        if (!alone && open.empty()) {
            out += "<g " + current + ">\n";
            open = current;
        }
        const Element e = element(ops[i], picture, baseline);
        out += e.open + (alone ? " " + current : std::string()) + e.close;
        previous = std::move(current);
        current = next;
    }
    if (!open.empty())
        out += "</g>\n";
}

}  // namespace

std::string graphSvg(const DisplayList& drawing, const DrawnGraph& graph)
{
    const layout::GraphLook& look = graph.look;
    std::vector<std::string> legends;
    for (const DrawnRun& run : graph.runs)
        legends.push_back(run.legend);
    return pictureSvg(wholeGraph(drawing, legends, look), wholeGraphSize(legends.size()),
                      std::string(catalogue::text(Text::GraphPictureDescription)), look.style().colours);
}

std::string legendSampleSvg(long run, const layout::GraphLook& look)
{
    const layout::Control& line = layout::legendLine(static_cast<int>(run));
    const double length = std::fabs(line.width - line.left);
    const double half = legendSampleHalfHeight(look.style());
    DisplayList sample;
    drawLegendSample(sample, run, 0, static_cast<float>(half), static_cast<float>(length), look);
    return pictureSvg(sample, {length, 2 * half}, std::string(catalogue::text(kRuns[run].name)));
}

std::string pictureSvg(const DisplayList& picture, PictureSize size, const std::string& description,
                       const layout::GraphColours& colours)
{
    const double font = fontTwips();
    const double baseline = std::round(font * kAscent);

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           num(size.width / layout::kTwipsPerPixel) + "\" height=\"" + num(size.height / layout::kTwipsPerPixel) +
           "\" viewBox=\"0 0 " + num(size.width) + " " + num(size.height) + "\" xml:space=\"preserve\" font-family=\"" +
           fontFamilies() + "\" font-size=\"" + num(font) + "\">\n";
    out += std::string("<title>") + layout::kTitle + "</title>\n<desc>" + escaped(description) + "</desc>\n";
    drawList(out, picture, baseline, colours);
    out += "</svg>\n";
    return out;
}

}  // namespace calvetra
