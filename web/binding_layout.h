#pragma once

// The window's layout as data for the page, read from the layout table.

#include <emscripten/val.h>

namespace calvetra::web {

// The window's layout for the page: its size in twips, its title, every
// control in tab-index order with its rectangle also in whole CSS pixels,
// the names of the boxes, labels and legend lines in the order of the
// numbers the Window calls carry, and which Session method each button's
// click calls. A font comes with its substitutes.
emscripten::val pageLayout();

}  // namespace calvetra::web
