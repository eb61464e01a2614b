#pragma once

// The graph box for the page's canvas: the core's picture of the box
// (graph/whole_graph.h), made again after each change of the drawing and
// handed over as one image (binding_raster.h) and the texts to print on it.

#include <emscripten/val.h>

#include <cstdint>
#include <vector>

#include "graph/whole_graph.h"
#include "toolkit/display_list.h"
#include "toolkit/layout.h"
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
    // gives the graph, in the look the graph has: the window's look and
    // the system's high contrast take the page's colours, the projector its
    // own; under the high contrast every line, point and text is in the
    // foreground. One call per drawing: {image, changes, texts, places, font}.
    // image: the picture made into the canvas's pixels (PictureImage), its
    // bytes row after row in the module's memory (read them before calling
    // in again). texts: the strings to print over it; places: four numbers
    // per text, its left and top in device pixels, its colour, 0xRRGGBB or
    // -1 for the foreground, and its size in device pixels, also in the
    // module's memory. changes: where image may differ from the one before
    // (PictureImage::changes()), for a canvas that still shows that one.
    // font: the box's own texts' size in device pixels.
    // background, foreground, border: the colours the canvas shall use where
    // the picture takes the box's own.
    emscripten::val frame(const DisplayList& drawing, int width, int height, double ratio, PageColours colours,
                          const layout::GraphLook& look);

private:
    const BoxFrame box_ = boxFrame();
    std::vector<float> places_;
    PictureImage image_;
};

}  // namespace calvetra::web
