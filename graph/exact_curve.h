#pragma once

// The closed form beside each drawn run (model/exact_solution.h), worked
// out once here for every output: the thin curve on the graph, the exact
// and error columns of the data and the figures of the data table.
//
// The exact curve is sampled at the run's own step times, the times its
// Runge-Kutta points stand for (the span over its step count, added up step
// by step as the integrator adds it), and ends at the run's last drawn step.
// So where a tank overflows, both curves end at the same point: the first
// step whose volume passes the capacity, found by the program's own check,
// at most one step after the exact moment 9 V0 / (Q1 − Q2).

#include <string>
#include <vector>

#include "graph/drawn_graph.h"
#include "toolkit/display_list.h"

namespace calvetra {

// The closed form at steps 0 .. lastStep of the run, of `steps` steps.
std::vector<double> exactTemperatures(const DrawnRun& run, long steps);

// Each run's exact curve as thin lines in its colour, placed as its points
// are, through at most about kExactSegments segments (and its last step).
void drawExactCurves(const DrawnGraph& graph, DisplayList& picture);
inline constexpr long kExactSegments = 500;

// The note beside the read-out point with the exact solution shown: the run
// whose point at time t lies nearest to the temperature read, its
// Runge-Kutta temperature at the step t falls on, the exact one there and
// their difference. Empty where t is beyond every run's time.
std::string readoutNote(const DrawnGraph& graph, double t, double temperature, char separator);

// Where the top-left corner of a note of that size goes for a read-out point
// `at` on a box, all in twips: below and right of the point, or on the other
// side of it where the box's edge would cut the note off.
GraphPoint readoutNoteCorner(GraphPoint at, PictureSize note, PictureSize box);

}  // namespace calvetra
