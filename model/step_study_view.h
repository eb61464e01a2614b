#pragma once

// The study of the step as the faces show it: every text, number and line
// decided here, so that a face only lays the tables out and renders the
// plot. Both faces export these CSV and SVG bytes.

#include <string>
#include <vector>

#include "graph/drawn_graph.h"
#include "graph/run_table.h"
#include "model/step_study.h"
#include "toolkit/display_list.h"
#include "toolkit/window.h"

namespace calvetra {

// The study of a drawn run: its figures over its span, overflowing where
// its curve does. The faces offer the drawn runs by their names; the
// subject names the one studied.
StepStudy stepStudyOf(const DrawnRun& run);
std::vector<std::string> studyRunChoices(const DrawnGraph& graph);
std::string studySubject(const DrawnGraph& graph, std::size_t run);

struct StepStudyView {
    std::string title;               // "Estudio del paso"
    std::string subject;             // which run: its name and heading
    std::vector<TextTable> tables;   // a table per method: Runge-Kutta, Heun, Euler
    std::vector<std::string> notes;  // why an order is not the method's, in sentences
};

// subject: the run's name and heading as the study names it.
StepStudyView stepStudyView(const StepStudy& study, const std::string& subject, char separator);

// One CSV of the three tables, a method per row besides its columns; the
// separators as in the drawn runs' CSV.
std::string stepStudyCsv(const StepStudy& study, char decimalSeparator);

// The plot: |error| against h on logarithmic scales, a series per method in
// the run colours (Euler red, Heun green, Runge-Kutta blue) and a reference
// line of each method's slope. In twips, of this size.
PictureSize stepStudyPlotSize();
DisplayList stepStudyPlot(const StepStudy& study, char separator);
std::string stepStudySvg(const StepStudy& study, char separator);

}  // namespace calvetra
