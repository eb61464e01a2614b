#pragma once

// The graph as the page shows it, made here in one pass from the display
// list: an RGBA image of the canvas at whole device pixels with the
// background, the border, every line (one device pixel wide, not smoothed,
// as the desktop's pen) and the points, each point a stamp (the opacities
// of a smoothed outline, made here once per colour and size) blended over
// what is under it. The page puts the image on the canvas and prints the
// texts over it.

#include <emscripten/val.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

#include "toolkit/display_list.h"
#include "toolkit/layout.h"

namespace calvetra::web {

// The opacities of a point's outline of that radius in device pixels: a
// ring stroke device pixels wide, smoothed, centred in an odd-sized square so
// that its centre falls on the middle of a pixel; size x size, row by row.
std::vector<std::uint8_t> ringOpacities(double radius, double stroke, int& size);

class PictureImage {
public:
    // The image of the operations of parts, one list after another (a list
    // and what a face lays under and over it, uncopied), width x height
    // pixels at k device pixels per twip,
    // in the colours the page's system gives the graph: its fill the
    // background's, its border the border's (one pixel of the page, whole
    // device pixels), lines in the foreground's colour the ink's. The lists
    // paint every pixel (the first starts with its fill). Texts are the page's to
    // print. Each channel of a
    // point's pixel becomes (ink * a + under * (255 - a)) / 255 rounded to the
    // nearest, as the canvas's own pixel arrays store it. A line or an
    // outline with a width is that many pixels of the page wide. allInk:
    // every line and point in the ink, whatever its colour.
    using Ops = std::span<const PictureOp>;
    void draw(std::initializer_list<Ops> parts, int width, int height, double k, const layout::GraphColours& colours,
              bool allInk = false);

    // The image's bytes, row after row. The view lies in the module's memory:
    // take it again after calling in.
    emscripten::val view() const;

    // Where the last drawing may have changed the image from the one before:
    // four numbers a rectangle, its left, top, width and height in device
    // pixels, one for each band of rows over what the points of either drew
    // (and the lines among them), none where nothing changed; or the whole
    // image, where it cannot tell (the first drawing, another size, scale,
    // colours, or what lies before the points or after them) or where that is
    // most of it. A view in the module's memory, like view()'s.
    emscripten::val changes() const;

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
        // Each dot's place in the image from the stamp's corner, in bytes,
        // for an image widthOfPlaces pixels wide: one addition a dot.
        std::vector<long> places;
        long widthOfPlaces = -1;
        // The same stamp for where it lies wholly on the image: over the
        // rows and columns that hold a dot, from (pairLeft, pairTop), pairs
        // of pixels side by side, each with its channels' ink * a + 127 and
        // 255 - a as eight 16-bit lanes. A pixel the stamp leaves as it is,
        // and every alpha, takes 127 and 255, which blend back to what is
        // under them.
        int pairLeft = 0, pairTop = 0, pairRows = 0, pairs = 0;
        std::vector<std::uint16_t> pairInk, pairRest;
    };

    // The stamp of the points of that colour and radius, made at its first
    // use. A window moved to another screen or zoomed makes new sizes: past
    // a few dozen the stamps start afresh rather than pile up.
    Stamp& stampFor(Rgb colour, double radius, double stroke);
    void fill(long left, long top, long right, long bottom, Rgb colour);
    void lay(long left, long top, long right, long bottom, Rgb colour);
    void inked(long left, long top, long right, long bottom);
    void band(long left, long top, long right, long bottom);
    void findChanges();
    void line(const PictureOp& op, double k, long thickness, Rgb colour);
    void slanting(long a, long b, long c, long d, long thickness, Rgb colour);
    void border(const PictureOp& op, double k, Rgb colour);
    void drawPart(Ops ops, long offset, double k, double ratio, const layout::GraphColours& colours, bool allInk);
    void blend(Ops ops, std::size_t first, std::size_t end, double k, Stamp& stamp);
    void stampAt(long left, long top, const Stamp& stamp, unsigned times);
    void stampPairs(long left, long top, const Stamp& stamp, unsigned times);

    long width_ = 0, height_ = 0;
    std::vector<std::uint8_t> rgba_;
    // What a drawing was made of but for its points and what lies among
    // them (the graph's frame before them, its border after them), texts
    // left out: a drawing of the same setting as the last one keeps every
    // pixel but where the last one's points drew, which inked_ holds (left,
    // top, right, bottom), and where its own do. That is what a keystroke
    // changes; the frame's background, lines and border stay as they were.
    struct Setting {
        long width, height;
        double k;
        layout::GraphColours colours;
        bool allInk;
        std::vector<PictureOp> head, tail;
        bool operator==(const Setting& other) const;
    };
    std::optional<Setting> setting_;                   // none while no pixel can be kept
    std::vector<std::array<long, 4>> inked_, before_;  // this drawing's, the last one's
    // Drawing on a kept image, the frame before the points goes only where
    // the last drawing's points were laid again (before_), and the border
    // after them also where this one's drew: elsewhere the image has them.
    enum class Clip { None, Before, Both };
    Clip clip_ = Clip::None;
    bool partly_ = false;           // this drawing keeps the last one's pixels
    std::pair<long, long> points_;  // the first point's place in the lists and the last's, or -1
    bool filled_ = false;           // the lists start with the fill of the whole image
    bool recording_ = false;        // inked() keeps what it is told
    // Bands of rows, and the columns (from, to) the points of the last
    // drawing and this one's drew in each.
    static constexpr long kBand = 16;
    std::vector<std::pair<long, long>> bands_;
    std::vector<std::int32_t> changes_;
    std::map<std::tuple<std::uint32_t, double, double>, Stamp> stamps_;
};

}  // namespace calvetra::web
