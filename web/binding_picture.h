#pragma once

// The graph box for the page's canvas: the core's picture of the box
// (graph/whole_graph.h), made again after each change of the drawing and
// handed over as one image (binding_raster.h) and the texts to print on it.

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
    // The graph box as the page shows it, width x height device pixels at
    // ratio device pixels per CSS pixel, in the colours the page's system
    // gives the graph. One call per drawing: {image, texts, places, font}.
    // image: the picture made into the canvas's pixels (PictureImage), its
    // bytes row after row in the module's memory (read them before calling
    // in again). texts: the strings to print over it; places: three numbers
    // per text, its left and top in device pixels and its colour, 0xRRGGBB
    // or -1 for the box's foreground, also in the module's memory. font: the
    // texts' size in device pixels.
    emscripten::val frame(const DisplayList& drawing, int width, int height, double ratio, PageColours colours);

private:
    const DisplayList& shown(const DisplayList& drawing);

    DisplayList shown_;
    std::uint64_t shownRevision_ = ~std::uint64_t{0};  // none made yet
    std::vector<float> places_;
    PictureImage image_;
};

}  // namespace calvetra::web
