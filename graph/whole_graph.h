#pragma once

// The graph as one picture: the graph box's background, the program's
// drawing on it and its border, and, for the graph as it leaves the window
// (saved, copied, printed), the legend of the drawn runs beneath it, each
// row's sample line and description where the window shows Line3(k) and
// Label4(k). Every face and every file renders these lists and nothing
// else, so a change to the graph's look is made here once.

#include <cstddef>
#include <string>
#include <vector>

#include "toolkit/display_list.h"
#include "toolkit/window.h"

namespace calvetra {

// The graph box as the window shows it, made into picture. The box is drawn
// again at every keystroke: the face keeps picture, whose storage serves
// from one drawing to the next.
void shownBox(const DisplayList& drawing, DisplayList& picture);

// The graph with the legend rows of these descriptions (one a drawn run,
// three at the most), in twips from the graph box's top-left corner.
DisplayList wholeGraph(const DisplayList& drawing, const std::vector<std::string>& legends);

// The size of that picture in twips, with that many legend rows.
PictureSize wholeGraphSize(std::size_t rows);

}  // namespace calvetra
