#pragma once

// The graph box for the page's canvas: the core's picture of the box
// (graph/whole_graph.h), made again after each change of the drawing, handed
// over as numbers and texts and made into one image (binding_raster.h).

#include <emscripten/val.h>

#include <cstdint>
#include <vector>

#include "toolkit/display_list.h"
#include "web/binding_raster.h"

namespace calvetra::web {

// Colours as the page's canvas stores them, 0xRRGGBB.
struct PageColours {
    int background, foreground, border;
};

class PagePicture {
public:
    // The codes and record size of ops(), for the page to read it by.
    static emscripten::val format();

    // The picture as code, colour, x1, y1, x2, y2 per operation, in twips of
    // the graph box. The colour is 0xRRGGBB, or -1 for the box's
    // foreground; a circle's radius is in x2, a text's number in x2. With
    // groupPoints, circles in a row of one colour and radius come as one
    // record: points, colour, the number of the first and the count of them,
    // the radius. The view lies in the module's memory: read it before
    // calling in again.
    emscripten::val ops(const DisplayList& drawing, bool groupPoints);
    // The texts printed on the box, by their number.
    emscripten::val texts(const DisplayList& drawing);

    // The points take the stamps addStamp gave: size x size opacities, row
    // by row, for each colour and radius in device pixels.
    void addStamp(double colour, double radius, int size, const emscripten::val& alpha);
    void forgetStamps() { image_.forgetStamps(); }
    // The picture made into an image of the canvas (see PictureImage), width
    // x height device pixels of k per twip: its bytes, row after row, in the
    // module's memory (read them before calling in again).
    emscripten::val image(const DisplayList& drawing, int width, int height, double k, PageColours colours);

private:
    const DisplayList& shown(const DisplayList& drawing);

    DisplayList shown_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};  // none made yet
    std::vector<float> ops_;
    PictureImage image_;
};

}  // namespace calvetra::web
