#include "web/binding_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <wasm_simd128.h>

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

std::vector<std::uint8_t> ringOpacities(double radius, double stroke, int& size)
{
    size = 2 * static_cast<int>(std::ceil(radius + stroke / 2 + 0.5)) + 1;
    // Each pixel's share of the ring r - s/2 <= distance <= r + s/2 from the
    // centre, sampled at 8 x 8 points of it.
    constexpr int kSamples = 8;
    const double centre = size / 2.0, inner = radius - stroke / 2, outer = radius + stroke / 2;
    std::vector<std::uint8_t> alpha(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int inside = 0;
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i) {
                    const double dx = x + (i + 0.5) / kSamples - centre, dy = y + (j + 0.5) / kSamples - centre;
                    const double d = std::sqrt(dx * dx + dy * dy);
                    inside += d >= inner && d <= outer;
                }
            alpha[static_cast<std::size_t>(y * size + x)] =
                static_cast<std::uint8_t>((inside * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
        }
    return alpha;
}

PictureImage::Stamp& PictureImage::stampFor(Rgb colour, double radius, double stroke)
{
    const auto key =
        std::make_tuple(std::uint32_t{colour.r} << 16 | std::uint32_t{colour.g} << 8 | colour.b, radius, stroke);
    if (const auto found = stamps_.find(key); found != stamps_.end())
        return found->second;
    if (stamps_.size() >= 32)
        stamps_.clear();
    int size = 0;
    const std::vector<std::uint8_t> alpha = ringOpacities(radius, stroke, size);
    const std::uint8_t ink[3] = {colour.r, colour.g, colour.b};
    Stamp stamp;
    stamp.size = size;
    int left = size, right = 0, top = size, bottom = 0;
    for (int p = 0; p < size * size; ++p) {
        const unsigned a = alpha[static_cast<std::size_t>(p)];
        if (a == 0)
            continue;
        const int x = p % size, y = p / size;
        stamp.dots.push_back({x, y, inLanes(ink) * a + lanes(127), 255 - a});
        left = std::min(left, x);
        right = std::max(right, x + 1);
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
    }
    if (!stamp.dots.empty()) {
        stamp.pairLeft = left;
        stamp.pairTop = top;
        stamp.pairRows = bottom - top;
        stamp.pairs = (right - left + 1) / 2;
    }
    for (int y = top; y < top + stamp.pairRows; ++y)
        for (int x = left; x < left + 2 * stamp.pairs; ++x) {
            const unsigned a = x < size ? alpha[static_cast<std::size_t>(y * size + x)] : 0;
            for (int c = 0; c < 4; ++c) {
                stamp.pairInk.push_back(static_cast<std::uint16_t>(c < 3 ? ink[c] * a + 127 : 127));
                stamp.pairRest.push_back(static_cast<std::uint16_t>(c < 3 ? 255 - a : 255));
            }
        }
    return stamps_[key] = std::move(stamp);
}

namespace {

bool sameOp(const PictureOp& a, const PictureOp& b)
{
    return a.kind == b.kind && a.foreground == b.foreground && a.width == b.width && a.size == b.size &&
           a.colour == b.colour && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2;
}

bool sameOps(const std::vector<PictureOp>& a, const std::vector<PictureOp>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameOp);
}

}  // namespace

bool PictureImage::Setting::operator==(const Setting& other) const
{
    const auto same = [](const layout::GraphColours& a, const layout::GraphColours& b) {
        return a.background == b.background && a.border == b.border && a.ink == b.ink;
    };
    return width == other.width && height == other.height && k == other.k && same(colours, other.colours) &&
           allInk == other.allInk && sameOps(head, other.head) && sameOps(tail, other.tail);
}

void PictureImage::draw(std::initializer_list<Ops> parts, int width, int height, double k,
                        const layout::GraphColours& colours, bool allInk)
{
    Setting setting{std::max(width, 0), std::max(height, 0), k, colours, allInk, {}, {}};
    // The points' place in the lists, counted across them: from the first to the last.
    long first = -1, last = -1, count = 0;
    for (const Ops ops : parts)
        for (const PictureOp& op : ops) {
            if (op.kind == PictureOp::Kind::Circle) {
                first = first < 0 ? count : first;
                last = count;
            }
            ++count;
        }
    count = 0;
    for (const Ops ops : parts)
        for (const PictureOp& op : ops) {
            if (op.kind != PictureOp::Kind::Text && (first < 0 || count < first))
                setting.head.push_back(op);
            else if (op.kind != PictureOp::Kind::Text && count > last)
                setting.tail.push_back(op);
            ++count;
        }
    width_ = setting.width;
    height_ = setting.height;
    rgba_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
    const Ops start = parts.size() > 0 ? *parts.begin() : Ops{};
    const bool fills = !start.empty() && start[0].kind == PictureOp::Kind::Fill &&
                       roundAsScript(start[0].x1 * k) <= 0 && roundAsScript(start[0].y1 * k) <= 0 &&
                       roundAsScript(start[0].x2 * k) >= width_ && roundAsScript(start[0].y2 * k) >= height_;
    const bool partly = fills && setting_ && *setting_ == setting;
    bands_.assign(static_cast<std::size_t>((height_ + kBand - 1) / kBand), {width_, 0});
    before_.clear();
    if (partly) {
        before_.swap(inked_);
        for (const auto& [left, top, right, bottom] : before_) {
            lay(left, top, right, bottom, colours.background);
            band(left, top, right, bottom);
        }
    } else if (fills) {
        lay(0, 0, width_, height_, colours.background);
    }
    inked_.clear();
    partly_ = partly;
    const double ratio = k * layout::kTwipsPerPixel;  // device pixels per pixel of the page
    points_ = {first, last};
    filled_ = fills;
    long offset = 0;
    for (const Ops ops : parts) {
        drawPart(ops, offset, k, ratio, colours, allInk);
        offset += static_cast<long>(ops.size());
    }
    if (partly)
        findChanges();
    else
        changes_ = {0, 0, static_cast<std::int32_t>(width_), static_cast<std::int32_t>(height_)};
    if (fills)
        setting_ = std::move(setting);
    else
        setting_.reset();
}

// The operations of one list, its ith the (offset + i)th of all; the points
// and what lies among them kept in inked_ where they draw. The fill of the
// whole image that starts the first list, when it does, is laid already.
void PictureImage::drawPart(Ops ops, long offset, double k, double ratio, const layout::GraphColours& colours,
                            bool allInk)
{
    const auto inkOf = [&](const PictureOp& op) { return op.foreground || allInk ? colours.ink : op.colour; };
    for (std::size_t i = offset == 0 && filled_ ? 1 : 0; i < ops.size(); ++i) {
        const PictureOp& op = ops[i];
        const long at = offset + static_cast<long>(i);
        recording_ = at >= points_.first && at <= points_.second;
        clip_ = !partly_ || recording_ ? Clip::None : at < points_.first ? Clip::Before : Clip::Both;
        if (op.kind == PictureOp::Kind::Fill) {
            fill(roundAsScript(op.x1 * k), roundAsScript(op.y1 * k), roundAsScript(op.x2 * k), roundAsScript(op.y2 * k),
                 colours.background);
        } else if (op.kind == PictureOp::Kind::Border) {
            border(op, k, colours.border);
        } else if (op.kind == PictureOp::Kind::Line) {
            line(op, k, op.width > 0 ? std::max(1L, roundAsScript(op.width * ratio)) : 1, inkOf(op));
        } else if (op.kind == PictureOp::Kind::Circle) {
            // The points in a row of one colour and radius share a stamp.
            std::size_t end = i + 1;
            while (end < ops.size() && ops[end].kind == PictureOp::Kind::Circle && ops[end].colour == op.colour &&
                   ops[end].foreground == op.foreground && ops[end].x2 == op.x2 && ops[end].width == op.width)
                ++end;
            blend(ops, i, end, k, stampFor(inkOf(op), op.x2 * k, op.width > 0 ? op.width * ratio : 1));
            i = end - 1;
        }
    }
}

// A line of thickness device pixels: an upright or level one as a band
// centred on it, both ends drawn (flat, as the desktop's pen ends them).
void PictureImage::line(const PictureOp& op, double k, long thickness, Rgb colour)
{
    const long a = roundAsScript(op.x1 * k), b = roundAsScript(op.y1 * k);
    const long c = roundAsScript(op.x2 * k), d = roundAsScript(op.y2 * k);
    const long before = (thickness - 1) / 2, after = thickness - before;
    if (b == d)
        fill(std::min(a, c), b - before, std::max(a, c) + 1, b + after, colour);
    else if (a == c)
        fill(a - before, std::min(b, d), a + after, std::max(b, d) + 1, colour);
    else
        slanting(a, b, c, d, thickness, colour);
}

// A slanting line from pixel (a, b) to pixel (c, d), both ends drawn: the
// pixel nearest the line in each column or row along its longer side, a
// square of thickness pixels about it for a wider line.
void PictureImage::slanting(long a, long b, long c, long d, long thickness, Rgb colour)
{
    const long before = (thickness - 1) / 2, after = thickness - before;
    const long steps = std::max(std::labs(c - a), std::labs(d - b));
    for (long n = 0; n <= steps; ++n) {
        const long x = a + roundAsScript(static_cast<double>((c - a) * n) / static_cast<double>(steps));
        const long y = b + roundAsScript(static_cast<double>((d - b) * n) / static_cast<double>(steps));
        fill(x - before, y - before, x + after, y + after, colour);
    }
}

// A rectangle in that colour; where it is clipped, only where it meets the
// rectangles of the clip.
void PictureImage::fill(long left, long top, long right, long bottom, Rgb colour)
{
    inked(left, top, right, bottom);
    if (clip_ == Clip::None) {
        lay(std::max(left, 0L), std::max(top, 0L), std::min(right, width_), std::min(bottom, height_), colour);
        return;
    }
    const auto within = [&](const std::vector<std::array<long, 4>>& rectangles) {
        for (const auto& [l, t, r, b] : rectangles)
            lay(std::max(left, l), std::max(top, t), std::min(right, r), std::min(bottom, b), colour);
    };
    within(before_);
    if (clip_ == Clip::Both)
        within(inked_);
}

// A rectangle drawn over by a point or what lies among the points. One that
// overlaps the last so much that both fit in no more pixels than they hold
// apart (the next point of a curve, most often) makes the last one larger:
// a pixel laid that no point drew over is the frame's again when it is
// drawn, and is in the band of changes all the same.
void PictureImage::inked(long left, long top, long right, long bottom)
{
    left = std::max(left, 0L);
    top = std::max(top, 0L);
    right = std::min(right, width_);
    bottom = std::min(bottom, height_);
    if (!recording_ || left >= right || top >= bottom)
        return;
    if (!inked_.empty()) {
        auto& [l, t, r, b] = inked_.back();
        const long ul = std::min(l, left), ut = std::min(t, top), ur = std::max(r, right), ub = std::max(b, bottom);
        if ((ur - ul) * (ub - ut) <= (r - l) * (b - t) + (right - left) * (bottom - top)) {
            inked_.back() = {ul, ut, ur, ub};
            return;
        }
    }
    inked_.push_back({left, top, right, bottom});
}

// The rectangle, within the image, in the bands of rows it crosses.
void PictureImage::band(long left, long top, long right, long bottom)
{
    for (long b = top / kBand; b <= (bottom - 1) / kBand; ++b) {
        auto& [from, to] = bands_[static_cast<std::size_t>(b)];
        from = std::min(from, left);
        to = std::max(to, right);
    }
}

// A rectangle a band over what the last drawing's points and this one's
// drew, or the whole image where that is most of it.
void PictureImage::findChanges()
{
    for (const auto& [left, top, right, bottom] : inked_)
        band(left, top, right, bottom);
    changes_.clear();
    long area = 0;
    for (std::size_t b = 0; b < bands_.size(); ++b) {
        const auto [from, to] = bands_[b];
        if (to <= from)
            continue;
        const long top = static_cast<long>(b) * kBand, rows = std::min(kBand, height_ - top);
        changes_.insert(changes_.end(), {static_cast<std::int32_t>(from), static_cast<std::int32_t>(top),
                                         static_cast<std::int32_t>(to - from), static_cast<std::int32_t>(rows)});
        area += (to - from) * rows;
    }
    if (2 * area > width_ * height_)
        changes_ = {0, 0, static_cast<std::int32_t>(width_), static_cast<std::int32_t>(height_)};
}

// The pixels of a rectangle on the image (none where it is empty), in that colour.
void PictureImage::lay(long left, long top, long right, long bottom, Rgb colour)
{
    if (left >= right || top >= bottom)
        return;
    // Four pixels to a store; a copy of a row through memcpy would go out to
    // JavaScript and back for every row of the background.
    std::uint32_t pixel = 0;
    const std::uint8_t bytes[4] = {colour.r, colour.g, colour.b, 255};
    std::memcpy(&pixel, bytes, 4);
    const v128_t four = wasm_i32x4_splat(static_cast<std::int32_t>(pixel));
    const long width = right - left;
    for (long y = top; y < bottom; ++y) {
        std::uint8_t* const row = rgba_.data() + (y * width_ + left) * 4;
        long x = 0;
        for (; x + 4 <= width; x += 4)
            wasm_v128_store(row + x * 4, four);
        for (; x < width; ++x)
            std::memcpy(row + x * 4, &pixel, 4);
    }
}

void PictureImage::border(const PictureOp& op, double k, Rgb colour)
{
    const long left = roundAsScript(op.x1 * k), top = roundAsScript(op.y1 * k);
    const long right = roundAsScript(op.x2 * k), bottom = roundAsScript(op.y2 * k);
    const long w = std::max(1L, roundAsScript(k * layout::kTwipsPerPixel));
    fill(left, top, right, top + w, colour);
    fill(left, bottom - w, right, bottom, colour);
    fill(left, top, left + w, bottom, colour);
    fill(right - w, top, right, bottom, colour);
}

emscripten::val PictureImage::view() const
{
    return emscripten::val(emscripten::typed_memory_view(rgba_.size(), rgba_.data()));
}

emscripten::val PictureImage::changes() const
{
    return emscripten::val(emscripten::typed_memory_view(changes_.size(), changes_.data()));
}

void PictureImage::blend(Ops ops, std::size_t first, std::size_t end, double k, Stamp& stamp)
{
    if (stamp.widthOfPlaces != width_) {
        stamp.places.clear();
        for (const Dot& d : stamp.dots)
            stamp.places.push_back((d.dy * width_ + d.dx) * 4);
        stamp.widthOfPlaces = width_;
    }
    const double half = stamp.size / 2.0;
    // Points next to one another often fall on the same pixels: those
    // pixels take all of them in turn at once.
    long left = 0, top = 0;
    unsigned times = 0;
    for (std::size_t i = first; i < end; ++i) {
        const long x = roundAsScript(ops[i].x1 * k - half), y = roundAsScript(ops[i].y1 * k - half);
        if (times > 0 && x == left && y == top) {
            ++times;
            continue;
        }
        if (times > 0)
            stampAt(left, top, stamp, times);
        left = x;
        top = y;
        times = 1;
    }
    if (times > 0)
        stampAt(left, top, stamp, times);
}

// The stamp blended times times over, top-left at (left, top). Once a
// blend leaves a channel as it was, so do the rest: the pixel is done
// when one leaves all three as they were.
void PictureImage::stampAt(long left, long top, const Stamp& stamp, unsigned times)
{
    const long pairsLeft = left + stamp.pairLeft, pairsTop = top + stamp.pairTop;
    if (pairsLeft >= 0 && pairsTop >= 0 && pairsLeft + 2 * stamp.pairs <= width_ &&
        pairsTop + stamp.pairRows <= height_) {
        inked(pairsLeft, pairsTop, pairsLeft + 2 * stamp.pairs, pairsTop + stamp.pairRows);
        stampPairs(pairsLeft, pairsTop, stamp, times);
        return;
    }
    inked(left, top, left + stamp.size, top + stamp.size);
    const bool inside = left >= 0 && top >= 0 && left + stamp.size <= width_ && top + stamp.size <= height_;
    // The corner's place may lie off the image (a point at its edge); a dot's never does.
    const long corner = (top * width_ + left) * 4;
    for (std::size_t i = 0; i < stamp.dots.size(); ++i) {
        const Dot& d = stamp.dots[i];
        if (!inside) {
            const long x = left + d.dx, y = top + d.dy;
            if (x < 0 || y < 0 || x >= width_ || y >= height_)
                continue;
        }
        std::uint8_t* const pixel = rgba_.data() + (corner + stamp.places[i]);
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

namespace {

// One blend of each 16-bit lane: (ink * a + 127 + under * (255 - a)) / 255.
v128_t blendLanes(v128_t under, v128_t ink, v128_t rest)
{
    const v128_t x = wasm_i16x8_add(ink, wasm_i16x8_mul(under, rest));
    return wasm_u16x8_shr(wasm_i16x8_add(wasm_i16x8_add(x, wasm_i16x8_splat(1)), wasm_u16x8_shr(x, 8)), 8);
}

}  // namespace

// The same blend as stampAt's, in 16-bit lanes, where no channel's sum
// passes 255 * 255 + 127; (left, top) is the first pair's. Two pairs of
// pixels at a time, and the odd pair of a row on its own: each stops when a
// blend leaves all its pixels as they were, which the blends after would.
void PictureImage::stampPairs(long left, long top, const Stamp& stamp, unsigned times)
{
    const std::uint16_t* ink = stamp.pairInk.data();
    const std::uint16_t* rest = stamp.pairRest.data();
    for (int y = 0; y < stamp.pairRows; ++y) {
        std::uint8_t* pixels = rgba_.data() + ((top + y) * width_ + left) * 4;
        int p = 0;
        for (; p + 2 <= stamp.pairs; p += 2, pixels += 16, ink += 16, rest += 16) {
            const v128_t inkLow = wasm_v128_load(ink), inkHigh = wasm_v128_load(ink + 8);
            const v128_t restLow = wasm_v128_load(rest), restHigh = wasm_v128_load(rest + 8);
            const v128_t four = wasm_v128_load(pixels);
            v128_t low = wasm_u16x8_extend_low_u8x16(four), high = wasm_u16x8_extend_high_u8x16(four);
            for (unsigned n = 0; n < times; ++n) {
                const v128_t nextLow = blendLanes(low, inkLow, restLow), nextHigh = blendLanes(high, inkHigh, restHigh);
                const bool same =
                    !wasm_v128_any_true(wasm_v128_or(wasm_v128_xor(nextLow, low), wasm_v128_xor(nextHigh, high)));
                low = nextLow;
                high = nextHigh;
                if (same)
                    break;
            }
            wasm_v128_store(pixels, wasm_u8x16_narrow_i16x8(low, high));
        }
        for (; p < stamp.pairs; ++p, pixels += 8, ink += 8, rest += 8) {
            const v128_t inkLanes = wasm_v128_load(ink), restLanes = wasm_v128_load(rest);
            v128_t lanes = wasm_u16x8_extend_low_u8x16(wasm_v128_load64_zero(pixels));
            for (unsigned n = 0; n < times; ++n) {
                const v128_t blended = blendLanes(lanes, inkLanes, restLanes);
                const bool same = !wasm_v128_any_true(wasm_v128_xor(blended, lanes));
                lanes = blended;
                if (same)
                    break;
            }
            wasm_v128_store64_lane(pixels, wasm_u8x16_narrow_i16x8(lanes, lanes), 0);
        }
    }
}

}  // namespace calvetra::web
