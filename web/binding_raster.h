#pragma once

// The graph's points as the page shows them: each point a stamp (the
// opacities of an outline the canvas drew once), blended over an RGBA image
// of the canvas at whole device pixels, point after point, in one pass here
// rather than one call of the page per point.

#include <emscripten/val.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/display_list.h"

namespace calvetra::web {

class PointImage {
public:
    // The image, width x height pixels, all of one colour.
    void reset(int width, int height, Rgb colour);

    // The pixels x = left..right-1, y = top..bottom-1 of the image, where it
    // has them, in one colour: a rectangle as the canvas fills it.
    void fill(long left, long top, long right, long bottom, Rgb colour);

    // The image's bytes, row after row. The view lies in the module's memory:
    // take it again after calling in.
    emscripten::val view() const;

    // The circles among ops[first, first + count) of one colour, in device
    // pixels of k per twip, with the stamp's size x size opacities; what falls
    // outside the image is cut off. Each channel becomes
    // (ink * a + under * (255 - a)) / 255 rounded to the nearest, as the
    // canvas's own pixel arrays store it.
    void blend(const std::vector<PictureOp>& ops, std::size_t first, std::size_t count, double k, int size,
               const std::vector<std::uint8_t>& alpha);

private:
    // A pixel of the stamp: where it lies, the ink's share ink * a of each
    // channel (plus the 127 that rounds) and the share 255 - a left to what
    // is under it.
    struct Dot {
        long dx, dy;
        std::uint64_t ink;
        std::uint64_t rest;
    };
    void prepare(Rgb colour, int size, const std::vector<std::uint8_t>& alpha);
    void stampAt(long left, long top, int size, unsigned times);

    long width_ = 0, height_ = 0;
    std::vector<std::uint8_t> rgba_;
    std::vector<Dot> dots_;  // the stamp last prepared, for dotsColour_ and dotsSize_
    Rgb dotsColour_;
    int dotsSize_ = 0;
};

}  // namespace calvetra::web
