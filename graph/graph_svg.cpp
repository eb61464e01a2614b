#include "graph/graph_svg.h"

#include <cmath>

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
constexpr const char* kBackground = "#f0f0f0";
constexpr const char* kBorder = "#a0a0a0";
constexpr const char* kInk = "#000000";

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

// Font size in twips: whole pixels, as both faces draw text.
double fontTwips()
{
    const layout::FontSpec font = layout::fontSpec(layout::control("Picture2").font);
    return std::round(font.points * 96.0 / 72.0) * layout::kTwipsPerPixel;
}

// The legend rows, placed as the window places Line3(k) and Label4(k),
// relative to the graph box's top-left corner.
struct LegendRow {
    double lineX1, lineX2, lineY, textX, textTop;
};
LegendRow legendRow(int k)
{
    const layout::Control& box = layout::control("Picture2");
    const layout::Control& line = layout::legendLine(k);
    const layout::Control& label = layout::control(label4(k));
    return {double(line.left - box.left), double(line.width - box.left), double(line.top - box.top),
            double(label.left - box.left), double(label.top - box.top)};
}

// Consecutive operations of one kind and colour share a group, so the
// 15 003 circles of three curves are three groups of bare circles.
class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}
    void group(const std::string& attributes)
    {
        if (attributes == open_)
            return;
        close();
        out_ += "<g " + attributes + ">\n";
        open_ = attributes;
    }
    void close()
    {
        if (!open_.empty())
            out_ += "</g>\n";
        open_.clear();
    }

private:
    std::string& out_;
    std::string open_;
};

void drawList(std::string& out, Writer& w, const DisplayList& picture, double baseline)
{
    for (const PictureOp& op : picture.ops()) {
        switch (op.kind) {
        case PictureOp::Kind::Line:
            w.group("stroke=\"" + (op.foreground ? std::string(kInk) : hex(op.colour)) + "\" stroke-width=\"15\"");
            out += "<line x1=\"" + num(op.x1) + "\" y1=\"" + num(op.y1) + "\" x2=\"" + num(op.x2) + "\" y2=\"" +
                   num(op.y2) + "\"/>\n";
            break;
        case PictureOp::Kind::Circle:
            w.group("fill=\"none\" stroke=\"" + hex(op.colour) + "\" stroke-width=\"15\"");
            out += "<circle cx=\"" + num(op.x1) + "\" cy=\"" + num(op.y1) + "\" r=\"" + num(op.x2) + "\"/>\n";
            break;
        case PictureOp::Kind::Text:
            w.group("fill=\"" + std::string(kInk) + "\"");
            out += "<text x=\"" + num(op.x1) + "\" y=\"" + num(static_cast<double>(op.y1) + baseline) + "\">" +
                   escaped(picture.textOf(op)) + "</text>\n";
            break;
        }
    }
}

}  // namespace

std::string graphSvg(const DisplayList& picture, const DrawnGraph& graph)
{
    const PictureSize box = layout::graphSize();
    const std::size_t legendRows = std::min<std::size_t>(graph.runs.size(), kRunCount);
    const double height = layout::graphWithLegendHeight(static_cast<int>(legendRows));
    const double size = fontTwips();
    const double baseline = std::round(size * kAscent);

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           num(box.width / layout::kTwipsPerPixel) + "\" height=\"" + num(height / layout::kTwipsPerPixel) +
           "\" viewBox=\"0 0 " + num(box.width) + " " + num(height) + "\" xml:space=\"preserve\" font-family=\"" +
           fontFamilies() + "\" font-size=\"" + num(size) + "\">\n";
    out += std::string("<title>") + layout::kTitle + "</title>\n<desc>" +
           escaped(std::string(catalogue::text(Text::GraphPictureDescription))) + "</desc>\n";
    out += "<rect width=\"" + num(box.width) + "\" height=\"" + num(height) + "\" fill=\"" + kBackground + "\"/>\n";

    Writer w(out);
    drawList(out, w, picture, baseline);
    w.close();
    out += "<rect x=\"7.5\" y=\"7.5\" width=\"" + num(box.width - 15) + "\" height=\"" + num(box.height - 15) +
           "\" fill=\"none\" stroke=\"" + kBorder + "\" stroke-width=\"15\"/>\n";

    for (std::size_t k = 0; k < legendRows; ++k) {
        const LegendRow row = legendRow(static_cast<int>(k));
        const Rgb colour = layout::legendLine(static_cast<int>(k)).lineColour.rgb;
        out += "<line x1=\"" + num(row.lineX1) + "\" y1=\"" + num(row.lineY) + "\" x2=\"" + num(row.lineX2) +
               "\" y2=\"" + num(row.lineY) + "\" stroke=\"" + hex(colour) + "\" stroke-width=\"30\"/>\n";
        out += "<text x=\"" + num(row.textX) + "\" y=\"" + num(row.textTop + baseline) + "\" fill=\"" + kInk + "\">" +
               escaped(graph.runs[k].legend) + "</text>\n";
    }
    out += "</svg>\n";
    return out;
}

}  // namespace calvetra
