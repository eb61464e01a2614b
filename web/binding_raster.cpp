#include "web/binding_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace calvetra::web {

namespace {

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

}  // namespace

void PointImage::reset(int width, int height, Rgb colour)
{
    width_ = width;
    height_ = height;
    rgba_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    fill(0, 0, width, height, colour);
}

void PointImage::fill(long left, long top, long right, long bottom, Rgb colour)
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

emscripten::val PointImage::view() const
{
    return emscripten::val(emscripten::typed_memory_view(rgba_.size(), rgba_.data()));
}

void PointImage::blend(const std::vector<PictureOp>& ops, std::size_t first, std::size_t count, double k, int size,
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

void PointImage::prepare(Rgb colour, int size, const std::vector<std::uint8_t>& alpha)
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
void PointImage::stampAt(long left, long top, int size, unsigned times)
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

}  // namespace calvetra::web
