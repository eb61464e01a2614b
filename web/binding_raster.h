#pragma once

// The graph as the page shows it, made here in one pass from the display
// list: an RGBA image of the canvas at whole device pixels with the
// background, the level and upright lines (rectangles of whole pixels) and
// the points, each point a stamp (the opacities of an outline the canvas
// drew once) blended over what is under it. The page puts the image on the
// canvas once and draws the texts and any slanting line over it itself.

#include <emscripten/val.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "toolkit/display_list.h"
#include "toolkit/layout.h"

namespace calvetra::web {

// A level or upright line: one the image draws. The page draws the others.
bool isUpright(const PictureOp& op);

class PictureImage {
public:
    // The outline of the points of that colour (0xRRGGBB) and radius in
    // device pixels: size x size opacities, row by row.
    void addStamp(std::uint32_t colour, double radius, int size, const std::vector<std::uint8_t>& alpha);
    // Every stamp forgotten: the page, which keeps the count of them, says when.
    void forgetStamps() { stamps_.clear(); }

    // The image of ops, width x height pixels at k device pixels per twip,
    // in the colours the page's system gives the graph: its fill the
    // background's, its border the border's (one pixel of the page, whole
    // device pixels), lines in the foreground's colour the ink's. The list
    // paints every pixel (it starts with its fill). Points without a stamp
    // are left out. Each channel of a
    // point's pixel becomes (ink * a + under * (255 - a)) / 255 rounded to the
    // nearest, as the canvas's own pixel arrays store it.
    void draw(const std::vector<PictureOp>& ops, int width, int height, double k, const layout::GraphColours& colours);

    // The image's bytes, row after row. The view lies in the module's memory:
    // take it again after calling in.
    emscripten::val view() const;

private:
    // A pixel of a stamp: where it lies, the ink's share ink * a of each
    // channel (plus the 127 that rounds) and the share 255 - a left to what
    // is under it.
    struct Dot {
        long dx, dy;
        std::uint64_t ink;
        std::uint64_t rest;
    };
    struct Stamp {
        int size = 0;
        std::vector<Dot> dots;
    };

    void fill(long left, long top, long right, long bottom, Rgb colour);
    void border(const PictureOp& op, double k, Rgb colour);
    void blend(const std::vector<PictureOp>& ops, std::size_t first, std::size_t end, double k, const Stamp& stamp);
    void stampAt(long left, long top, const Stamp& stamp, unsigned times);

    long width_ = 0, height_ = 0;
    std::vector<std::uint8_t> rgba_;
    std::map<std::pair<std::uint32_t, double>, Stamp> stamps_;
};

}  // namespace calvetra::web
