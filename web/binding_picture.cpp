#include "web/binding_picture.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <initializer_list>

#include "graph/whole_graph.h"
#include "toolkit/layout.h"

using emscripten::val;

namespace calvetra::web {

namespace {

// What the page draws: six numbers per operation of the picture.
enum class OpCode { Line = 0, Circle = 1, Text = 2, Points = 3, Fill = 4, Border = 5 };
constexpr int kNumbersPerOp = 6;

Rgb rgb(int colour)
{
    const auto channel = [colour](int shift) { return static_cast<std::uint8_t>(colour >> shift & 0xFF); };
    return {channel(16), channel(8), channel(0)};
}

}  // namespace

val PagePicture::format()
{
    val format = val::object();
    format.set("line", static_cast<int>(OpCode::Line));
    format.set("circle", static_cast<int>(OpCode::Circle));
    format.set("text", static_cast<int>(OpCode::Text));
    format.set("points", static_cast<int>(OpCode::Points));
    format.set("fill", static_cast<int>(OpCode::Fill));
    format.set("border", static_cast<int>(OpCode::Border));
    format.set("numbersPerOp", kNumbersPerOp);
    // The list is in twips: this many to a CSS pixel.
    format.set("twipsPerPixel", layout::kTwipsPerPixel);
    return format;
}

const DisplayList& PagePicture::shown(const DisplayList& drawing)
{
    if (shownRevision_ != drawing.revision()) {
        shownBox(drawing, shown_);
        shownRevision_ = drawing.revision();
    }
    return shown_;
}

val PagePicture::ops(const DisplayList& drawing, bool groupPoints)
{
    const std::vector<PictureOp>& ops = shown(drawing).ops();
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
                while (end < ops.size() && ops[end].kind == PictureOp::Kind::Circle && ops[end].colour == op.colour &&
                       ops[end].foreground == op.foreground && ops[end].x2 == op.x2)
                    ++end;
                put({float(OpCode::Points), colour, float(i), float(end - i), op.x2, 0});
                i = end - 1;
            }
            break;
        case PictureOp::Kind::Text:
            put({float(OpCode::Text), colour, op.x1, op.y1, float(op.text), 0});
            break;
        case PictureOp::Kind::Fill:
        case PictureOp::Kind::Border:
            put({float(op.kind == PictureOp::Kind::Fill ? OpCode::Fill : OpCode::Border), colour, op.x1, op.y1, op.x2,
                 op.y2});
            break;
        }
    }
    ops_.resize(static_cast<std::size_t>(out - ops_.data()));
    return val(emscripten::typed_memory_view(ops_.size(), ops_.data()));
}

val PagePicture::texts(const DisplayList& drawing)
{
    const DisplayList& list = shown(drawing);
    val texts = val::array();
    for (const PictureOp& op : list.ops())
        if (op.kind == PictureOp::Kind::Text)
            texts.set(op.text, list.textOf(op));
    return texts;
}

void PagePicture::addStamp(double colour, double radius, int size, const val& alpha)
{
    image_.addStamp(static_cast<std::uint32_t>(colour), radius, size,
                    emscripten::convertJSArrayToNumberVector<std::uint8_t>(alpha));
}

val PagePicture::image(const DisplayList& drawing, int width, int height, double k, PageColours colours)
{
    image_.draw(shown(drawing).ops(), width, height, k,
                {rgb(colours.background), rgb(colours.border), rgb(colours.foreground)});
    return image_.view();
}

}  // namespace calvetra::web
