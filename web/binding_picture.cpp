#include "web/binding_picture.h"

#include <emscripten/bind.h>

#include "toolkit/layout.h"

using emscripten::val;

namespace calvetra::web {

namespace {

Rgb rgb(int colour)
{
    const auto channel = [colour](int shift) { return static_cast<std::uint8_t>(colour >> shift & 0xFF); };
    return {channel(16), channel(8), channel(0)};
}

}  // namespace

val PagePicture::frame(const DisplayList& drawing, int width, int height, double ratio, PageColours colours,
                       const layout::GraphLook& look)
{
    const double k = ratio / layout::kTwipsPerPixel;  // device pixels per twip
    const layout::GraphStyle& style = look.style();
    const bool pageColours =
        look.systemContrast || layout::takesScreenColours(style, rgb(colours.background), rgb(colours.foreground));
    const layout::GraphColours used =
        pageColours ? layout::GraphColours{rgb(colours.background), rgb(colours.border), rgb(colours.foreground)}
                    : style.colours;
    const double font = layout::fontPixels(layout::control("Picture2").font) * ratio;
    val texts = val::array();
    places_.clear();
    int count = 0;
    // Each text has its operation: the loop ends at the last text's (the
    // graph's frame, before the points, holds them all).
    for (const PictureOp& op : drawing.ops()) {
        if (static_cast<std::size_t>(count) == drawing.textCount())
            break;
        if (op.kind != PictureOp::Kind::Text)
            continue;
        texts.set(count++, drawing.textOf(op));
        const Rgb ink = op.foreground || look.systemContrast ? used.ink : op.colour;
        places_.insert(places_.end(), {static_cast<float>(op.x1 * k), static_cast<float>(op.y1 * k),
                                       static_cast<float>(ink.r << 16 | ink.g << 8 | ink.b),
                                       static_cast<float>(op.size ? op.size * ratio : font)});
    }
    image_.draw({box_.under.ops(), drawing.ops(), box_.over.ops()}, width, height, k, used, look.systemContrast);
    val frame = val::object();
    frame.set("image", image_.view());
    frame.set("changes", image_.changes());
    frame.set("texts", texts);
    frame.set("places", val(emscripten::typed_memory_view(places_.size(), places_.data())));
    frame.set("font", font);
    return frame;
}

}  // namespace calvetra::web
