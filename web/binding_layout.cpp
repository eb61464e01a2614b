#include "web/binding_layout.h"

#include <string>

#include "web/binding_json.h"

#include "model/form1.h"
#include "toolkit/layout.h"

namespace calvetra::web {

namespace {

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
Json str(const char* s) { return Json(s); }

// A layout face and then the faces to take where it is not installed.
Json facesOf(const char* family)
{
    Json faces = Json::array();
    faces.push(str(family));
    for (const char* face : layout::fontSubstitutes(family))
        faces.push(str(face));
    return faces;
}

std::string cssColour(Rgb rgb)
{
    return "rgb(" + std::to_string(rgb.r) + "," + std::to_string(rgb.g) + "," + std::to_string(rgb.b) + ")";
}

Json controlForPage(const layout::Control& c)
{
    Json o = Json::object();
    o.set("name", str(c.name));
    o.set("kind", str(kindName(c.kind)));
    o.set("container", str(c.container));
    o.set("left", c.left);
    o.set("top", c.top);
    o.set("width", c.width);
    o.set("height", c.height);
    const layout::PixelRect r = layout::pixelRect(c, layout::kPixelsPerTwip);
    Json pixels = Json::object();
    pixels.set("left", r.left);
    pixels.set("top", r.top);
    pixels.set("width", r.width);
    pixels.set("height", r.height);
    o.set("pixels", pixels);
    o.set("text", Json(std::string(layout::caption(c))));
    // A caption from the catalogue, written again in another language.
    o.set("captioned", c.caption.has_value());
    const layout::FontSpec font = layout::fontSpec(c.font);
    o.set("fontFamily", str(font.family));
    o.set("fontFaces", facesOf(font.family));
    o.set("fontPixels", layout::fontPixels(c.font));
    o.set("centred", c.align == layout::Align::Centre);
    o.set("transparent", c.transparent);
    o.set("border", c.border);
    o.set("tabIndex", c.tabIndex);
    o.set("locked", c.locked);
    if (c.locked)
        o.set("textColour", cssColour(layout::kLockedTextColour));
    o.set("visible", c.visible);
    o.set("layer", static_cast<int>(layout::layerOf(c.kind)));
    if (!c.container)
        o.set("narrowBlock", static_cast<int>(layout::narrowBlockOf(c)));
    if (c.kind == layout::Kind::Line) {
        o.set("lineColour", c.lineColour.windowText ? Json::null() : Json(cssColour(c.lineColour.rgb)));
        o.set("lineWidth", c.lineWidth);
    }
    if (c.accessibleName || c.labelledBy)
        o.set("accessibleName", Json(std::string(layout::accessibleName(c))));
    if (c.accessibleDescription)
        o.set("accessibleDescription", Json(std::string(layout::accessibleDescription(c))));
    else
        o.set("accessibleDescription", Json::null());
    return o;
}

// The narrow screen's blocks, in order: each one's row and how it fits,
// as the page's arrangement reads them (fill, listed: "boxes" or "legend",
// reflow).
Json narrowBlocksForPage()
{
    Json blocks = Json::array();
    for (const layout::NarrowBlock& b : layout::narrowBlocks()) {
        Json o = Json::object();
        o.set("row", b.row);
        o.set("fill", b.fit == layout::NarrowFit::Fill);
        o.set("reflow", b.fit == layout::NarrowFit::Reflow);
        if (b.fit == layout::NarrowFit::ListedBoxes || b.fit == layout::NarrowFit::ListedLegend)
            o.set("listed", str(b.fit == layout::NarrowFit::ListedBoxes ? "boxes" : "legend"));
        blocks.push(o);
    }
    return blocks;
}

}  // namespace

emscripten::val pageLayout()
{
    Json controls = Json::array();
    for (const layout::Control& c : layout::controls())
        controls.push(controlForPage(c));
    Json boxes = Json::array();
    for (int k = 0; k < kBoxCount; ++k)
        boxes.push(str(layout::control(static_cast<Box>(k)).name));
    Json labels = Json::array();
    for (int k = 0; k < kLabelCount; ++k)
        labels.push(str(layout::control(static_cast<Label>(k)).name));
    Json legendLines = Json::array();
    for (int k = 0; k < kRunCount; ++k)
        legendLines.push(str(layout::legendLine(k).name));

    // Each button's name with the Session method its click calls.
    Json buttonHandlers = Json::object();
    for (const ButtonHandler& b : Form1::buttonHandlers())
        buttonHandlers.set(b.button, str(b.handler));

    Json o = Json::object();
    o.set("title", str(layout::kTitle));
    o.set("clientWidth", layout::kClientWidth);
    o.set("clientHeight", layout::kClientHeight);
    Json clientPixels = Json::object();
    clientPixels.set("width", layout::pixels(layout::kClientWidth, layout::kPixelsPerTwip));
    clientPixels.set("height", layout::pixels(layout::kClientHeight, layout::kPixelsPerTwip));
    o.set("clientPixels", clientPixels);
    const layout::FontSpec font = layout::fontSpec(layout::Font::Window);
    Json windowFont = Json::object();
    windowFont.set("family", str(font.family));
    windowFont.set("faces", facesOf(font.family));
    windowFont.set("pixels", layout::fontPixels(layout::Font::Window));
    o.set("windowFont", windowFont);
    o.set("controls", controls);
    o.set("boxes", boxes);
    o.set("labels", labels);
    o.set("legendLines", legendLines);
    o.set("buttonHandlers", buttonHandlers);
    o.set("narrowBlocks", narrowBlocksForPage());
    Json note = Json::object();
    note.set("width", layout::kReadoutNoteSize.width);
    note.set("height", layout::kReadoutNoteSize.height);
    o.set("readoutNote", note);
    return o.parsed();
}

}  // namespace calvetra::web
