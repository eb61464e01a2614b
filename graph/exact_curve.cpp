#include "graph/exact_curve.h"

#include <algorithm>
#include <cmath>

#include "graph/whole_graph.h"
#include "model/exact_solution.h"
#include "toolkit/catalogue.h"
#include "toolkit/text.h"

#include "toolkit/checked.h"
#include "toolkit/runs.h"

namespace calvetra {

namespace {

double stepLength(const DrawnRun& run, long steps)
{
    return steps > 0 ? run.shown.span / static_cast<double>(steps) : 0;
}

// The time of step j as the integrator reaches it, the step added j times.
double stepTime(double h, long j)
{
    double t = 0;
    for (long k = 0; k < j; ++k)
        t += h;
    return t;
}

}  // namespace

std::vector<double> exactTemperatures(const DrawnRun& run, long steps)
{
    const ExactSolution exact = exactSolutionOf(run);
    std::vector<double> temps;
    temps.reserve(static_cast<std::size_t>(run.lastStep) + 1);
    const double h = stepLength(run, steps);
    double t = 0;
    for (long j = 0; j <= run.lastStep; ++j) {
        temps.push_back(exact(t));
        t += h;
    }
    return temps;
}

void drawExactCurves(const DrawnGraph& graph, DisplayList& picture)
{
    const long steps = graph.stepCount;
    const long stride = std::max<long>(1, steps / kExactSegments);
    const layout::GraphStyle& style = graph.look.style();
    for (std::size_t k = 0; k < graph.runs.size() && k < std::size(kRuns); ++k) {
        const DrawnRun& run = graph.runs[k];
        const std::vector<double> temps = exactTemperatures(run, steps);
        const auto point = [&](long j) {
            return GraphPoint{graph.area.xOfStep(j, steps),
                              graph.area.yOfTemperature(temps[static_cast<std::size_t>(j)])};
        };
        if (run.lastStep < 1)
            continue;
        GraphPoint from = point(0);
        for (long j = stride;; j += stride) {
            const long last = std::min(j, run.lastStep);
            const GraphPoint to = point(last);
            picture.line(checked::toSingle(from.x), checked::toSingle(from.y), checked::toSingle(to.x),
                         checked::toSingle(to.y), style.runs[k], style.exactPixels);
            from = to;
            if (last == run.lastStep)
                break;
        }
        for (long j = 0; graph.look.showsMarks() && j <= run.lastStep; ++j)
            if (carriesMark(static_cast<long>(k), j, steps, style, true)) {
                const GraphPoint p = point(j);
                drawRunMark(picture, static_cast<long>(k), checked::toSingle(p.x), checked::toSingle(p.y), style);
            }
    }
}

std::string readoutNote(const DrawnGraph& graph, double t, double temperature, char separator)
{
    const long steps = graph.stepCount;
    const DrawnRun* nearest = nullptr;
    std::size_t nearestIndex = 0;
    long nearestStep = 0;
    for (std::size_t k = 0; k < graph.runs.size() && k < std::size(kRuns); ++k) {
        const DrawnRun& run = graph.runs[k];
        if (!(run.shown.span > 0) || steps < 1)
            continue;
        const double step = std::round(t / run.shown.span * static_cast<double>(steps));
        if (!(step >= 0 && step <= static_cast<double>(run.lastStep)))
            continue;
        const long j = static_cast<long>(step);
        const double distance = std::fabs(run.temperatures[static_cast<std::size_t>(j)] - temperature);
        if (!nearest ||
            distance < std::fabs(nearest->temperatures[static_cast<std::size_t>(nearestStep)] - temperature)) {
            nearest = &run;
            nearestIndex = k;
            nearestStep = j;
        }
    }
    if (!nearest)
        return {};
    const double rk4 = nearest->temperatures[static_cast<std::size_t>(nearestStep)];
    // The closed form at that step alone: the pointer's path evaluates no curve.
    const double exact = exactSolutionOf(*nearest)(stepTime(stepLength(*nearest, steps), nearestStep));
    return catalogue::format(Text::ReadoutNote,
                             {catalogue::text(kRuns[nearestIndex].name), text::significant(rk4, 6, separator),
                              text::significant(exact, 6, separator), text::significant(rk4 - exact, 3, separator)});
}

GraphPoint readoutNoteCorner(GraphPoint at, PictureSize note, PictureSize box)
{
    const auto along = [](double point, double size, double room) {
        const double after = point + layout::kReadoutNoteGap;
        if (after + size <= room)
            return after;
        return std::max(0.0, point - layout::kReadoutNoteGap - size);
    };
    return {along(at.x, note.width, box.width), along(at.y, note.height, box.height)};
}

}  // namespace calvetra
