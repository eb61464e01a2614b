#pragma once

// The graph as an SVG drawing: the whole graph's picture (circles as
// circles, lines as lines, texts as texts) with the legend of the drawn runs
// beneath it, where the window places it. Both faces save these bytes, so
// the same actions give the same file on the desktop and on the page.

#include <string>

#include "graph/drawn_graph.h"
#include "toolkit/display_list.h"
#include "toolkit/window.h"

namespace calvetra {

// The drawing in twips (its viewBox), sized in pixels at 96 dots per inch.
// In the colours of the look the graph was drawn in (the drawing has its
// widths and sizes).
std::string graphSvg(const DisplayList& picture, const DrawnGraph& graph);

// Run run's legend sample (its line, and its mark where the look has marks)
// alone, for a face that lays out its legend lines itself: as wide as the
// legend line, as high as the mark, the line across its middle.
std::string legendSampleSvg(long run, const layout::GraphLook& look);

// Any picture of the program in the same form: its list in twips, its size,
// what it shows in words, and the colours its box's own ops take.
std::string pictureSvg(const DisplayList& picture, PictureSize size, const std::string& description,
                       const layout::GraphColours& colours = layout::kGraphColours);

}  // namespace calvetra
