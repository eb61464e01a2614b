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
#include "toolkit/layout.h"
#include "toolkit/window.h"

namespace calvetra {

// What the graph box lays under a drawing, its background (down to the
// legend's end, with that many legend rows), and over it, its border: a face
// that renders the three lists in turn needs no copy of the drawing.
struct BoxFrame {
    DisplayList under, over;
};
BoxFrame boxFrame(std::size_t rows = 0);

// The graph box as the window shows it, made into picture. The box is drawn
// again at every keystroke: the face keeps picture, whose storage serves
// from one drawing to the next.
void shownBox(const DisplayList& drawing, DisplayList& picture);

// The graph with the legend rows of these descriptions (one a drawn run,
// three at the most), in twips from the graph box's top-left corner, each
// row's sample line as the look draws it.
DisplayList wholeGraph(const DisplayList& drawing, const std::vector<std::string>& legends,
                       const layout::GraphLook& look = {});

// Run run's mark centred at (x, y), in its colour of that style.
void drawRunMark(DisplayList& list, long run, float x, float y, const layout::GraphStyle& style);

// Half the height a legend sample takes, in twips: its mark and its line's
// width about the line, for a face that gives the sample a widget of its own.
double legendSampleHalfHeight(const layout::GraphStyle& style);

// Whether step j of a run's curve of that many steps carries the run's mark:
// one every tenth of the curve, each run's a third of that later than the
// one before, so that curves that start together do not hide one another's
// marks; on the closed-form curve half a mark later still, clear of the
// run's own.
bool carriesMark(long run, long j, long steps, const layout::GraphStyle& style, bool exactCurve = false);

// Run run's legend sample from (x1, y) to (x2, y): its line in the look's
// colour and width, and its mark in the middle when the look has marks. The
// window's legend lines draw this too, so a legend looks the same in the
// window and in every file.
void drawLegendSample(DisplayList& list, long run, float x1, float y, float x2, const layout::GraphLook& look);

// The size of that picture in twips, with that many legend rows.
PictureSize wholeGraphSize(std::size_t rows);

}  // namespace calvetra
