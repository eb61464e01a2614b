#pragma once

// The drawn runs as tables of figures, for the faces' data table: what a
// reader who cannot see the graph needs to compare the curves. Every cell is
// text already, with the locale's decimal separator, so the faces only lay
// the cells out.

#include <string>
#include <vector>

#include "graph/drawn_graph.h"

namespace calvetra {

struct TextTable {
    std::string caption;
    std::vector<std::string> columns;            // header cells; the first heads the row headers
    std::vector<std::vector<std::string>> rows;  // the first cell of a row is its header
};

struct RunTables {
    // A column per run: its six figures, its final temperature and, if the
    // tank overflowed, when.
    TextTable runs;
    // t at every twentieth of the span (21 rows) and T of each run there;
    // an empty cell where a run had stopped.
    TextTable temperatures;
};

// With the exact solution shown, the first table adds each run's exact final
// temperature, its steady state T∞ and, where its volume holds, its time
// constant V0 / Q1; the second an exact and an error column beside each
// run's.
RunTables drawnRunTables(const DrawnGraph& graph, char decimalSeparator);

}  // namespace calvetra
