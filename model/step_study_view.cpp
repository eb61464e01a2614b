#include "model/step_study_view.h"

#include <algorithm>
#include <cmath>

#include "graph/graph_svg.h"
#include "graph/runs_csv.h"
#include "model/exact_solution.h"
#include "toolkit/catalogue.h"
#include "toolkit/runs.h"
#include "toolkit/text.h"

namespace calvetra {

namespace {

std::string word(Text key) { return std::string(catalogue::text(key)); }

Text methodName(StudyMethod method)
{
    switch (method) {
    case StudyMethod::RungeKutta:
        return Text::StudyRungeKutta;
    case StudyMethod::Heun:
        return Text::StudyHeun;
    case StudyMethod::Euler:
        return Text::StudyEuler;
    }
    return Text::StudyRungeKutta;
}

// Euler red, Heun green, Runge-Kutta blue: the run colours in the order of
// the methods' orders.
Rgb methodColour(StudyMethod method)
{
    return kRuns[method == StudyMethod::Euler ? 0 : method == StudyMethod::Heun ? 1 : 2].colour;
}

std::string stepsCell(const StudyRow& r)
{
    const std::string n = std::to_string(r.steps);
    return r.program ? catalogue::format(Text::StudyProgramSteps, {n}) : n;
}

// A row's cells after the step count: h, end, T, exact, error, ratio, order.
std::vector<std::string> numberCells(const StudyRow& r, char separator)
{
    return {text::general(r.step, separator),
            text::general(r.end, separator),
            text::general(r.value, separator),
            text::general(r.exact, separator),
            text::significant(r.error, 3, separator),
            r.ratio ? text::significant(*r.ratio, 4, separator) : std::string(),
            r.order ? text::fixed(*r.order, 2, separator) : std::string()};
}

std::vector<std::string> columns()
{
    return {word(Text::StudyStepsColumn), word(Text::StudyStepColumn),  word(Text::StudyEndColumn),
            word(Text::StudyValueColumn), word(Text::StudyExactColumn), word(Text::StudyErrorColumn),
            word(Text::StudyRatioColumn), word(Text::StudyOrderColumn)};
}

std::vector<std::string> notes(const StepStudy& study, char separator)
{
    std::vector<std::string> out;
    for (const MethodStudy& m : study.methods) {
        const StudyRow* coarse = nullptr;
        for (const StudyRow& r : m.rows)
            if (r.caveat == OrderCaveat::CoarseStep)
                coarse = &r;
        if (coarse)
            out.push_back(catalogue::format(Text::StudyNoteCoarse,
                                            {catalogue::text(methodName(m.method)), std::to_string(coarse->steps),
                                             text::general(2 * coarse->step, separator),
                                             text::significant(study.timeConstant, 4, separator),
                                             text::significant(study.span / study.timeConstant, 3, separator)}));
    }
    for (const MethodStudy& m : study.methods) {
        const auto noisy = std::find_if(m.rows.begin(), m.rows.end(),
                                        [](const StudyRow& r) { return r.caveat == OrderCaveat::Rounding; });
        if (noisy != m.rows.end())
            out.push_back(catalogue::format(Text::StudyNoteRounding,
                                            {catalogue::text(methodName(m.method)), std::to_string(noisy->steps),
                                             text::significant(noisy->error, 2, separator)}));
    }
    if (study.overflowTime)
        out.push_back(
            catalogue::format(Text::StudyNoteOverflow, {text::significant(*study.overflowTime, 6, separator)}));
    return out;
}

}  // namespace

StepStudy stepStudyOf(const DrawnRun& run)
{
    return studySteps(balanceOf(run.slot), run.slot.initialTemp, run.shown.span, run.slot.tankCapacity);
}

std::vector<std::string> studyRunChoices(const DrawnGraph& graph)
{
    std::vector<std::string> names;
    for (std::size_t k = 0; k < graph.runs.size() && k < std::size(kRuns); ++k)
        names.push_back(word(kRuns[k].name));
    return names;
}

std::string studySubject(const DrawnGraph& graph, std::size_t run)
{
    return catalogue::format(Text::StudySubject, {catalogue::text(kRuns[run].name), graph.runs.at(run).heading});
}

StepStudyView stepStudyView(const StepStudy& study, const std::string& subject, char separator)
{
    StepStudyView view;
    view.title = word(Text::StepStudyTitle);
    view.subject = subject;
    for (const MethodStudy& m : study.methods) {
        TextTable table;
        table.caption = word(methodName(m.method));
        table.columns = columns();
        for (const StudyRow& r : m.rows) {
            std::vector<std::string> cells = {stepsCell(r)};
            for (std::string& cell : numberCells(r, separator))
                cells.push_back(std::move(cell));
            table.rows.push_back(std::move(cells));
        }
        view.tables.push_back(std::move(table));
    }
    view.notes = notes(study, separator);
    return view;
}

std::string stepStudyCsv(const StepStudy& study, char decimalSeparator)
{
    const char separator = csvSeparator(decimalSeparator);
    const auto line = [&](const std::vector<std::string>& cells) {
        std::string out;
        for (std::size_t k = 0; k < cells.size(); ++k)
            out += (k ? std::string(1, separator) : std::string()) + csvField(cells[k], separator);
        return out + "\r\n";
    };
    std::vector<std::string> heading = {word(Text::StudyMethodColumn)};
    for (std::string& column : columns())
        heading.push_back(std::move(column));
    std::string csv = kCsvStart + line(heading);
    for (const MethodStudy& m : study.methods)
        for (const StudyRow& r : m.rows) {
            // Every digit in the file: the error and the ratio too.
            std::vector<std::string> cells = {word(methodName(m.method)), stepsCell(r)};
            for (const double v : {r.step, r.end, r.value, r.exact, r.error})
                cells.push_back(text::general(v, decimalSeparator));
            cells.push_back(r.ratio ? text::general(*r.ratio, decimalSeparator) : std::string());
            cells.push_back(r.order ? text::general(*r.order, decimalSeparator) : std::string());
            csv += line(cells);
        }
    return csv;
}

namespace {

// The plot's frame in twips: 400 by 300 pixels, the axes' labels inside.
constexpr double kWidth = 6000, kHeight = 4500;
constexpr double kLeft = 1000, kRight = 5700, kTop = 300, kBottom = 3900;
constexpr float kPointRadius = 45;
constexpr std::uint8_t kSeriesWidth = 2;

// Decades the data span, and the mapping of a decade exponent to twips.
struct LogAxis {
    double low = 0, high = 1;  // decade exponents
    double from = 0, to = 1;   // twips
    double at(double exponent) const { return from + (exponent - low) / (high - low) * (to - from); }
};

LogAxis decades(const std::vector<double>& values, double from, double to)
{
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (const double v : values) {
        low = std::min(low, std::floor(std::log10(v)));
        high = std::max(high, std::ceil(std::log10(v)));
    }
    if (!(low < high))
        high = low + 1;
    return {low, high, from, to};
}

// The rows of the halving sequence whose error can be drawn (not 0).
std::vector<const StudyRow*> plotted(const MethodStudy& m)
{
    std::vector<const StudyRow*> rows;
    for (const StudyRow& r : m.rows)
        if (!r.program && r.error != 0)
            rows.push_back(&r);
    return rows;
}

// A line of `slope` decades per decade from (x0, y0) one decade to the
// right, or as far as the frame lets it, with its slope written at its end.
void referenceLine(DisplayList& pic, const LogAxis& x, const LogAxis& y, double x0, double y0, double slope,
                   char separator)
{
    const double x1 = std::min({x0 + 1, x.high, x0 + (y.high - y0) / slope});
    if (!(x0 < x1) || y0 < y.low)
        return;
    const auto px = [&](double e) { return static_cast<float>(x.at(e)); };
    const auto py = [&](double e) { return static_cast<float>(y.at(e)); };
    const double y1 = y0 + slope * (x1 - x0);
    pic.line(px(x0), py(y0), px(x1), py(y1));
    pic.setTextPosition(static_cast<float>(x.at(x1) + 60), static_cast<float>(y.at(y1) - 60));
    pic.print(catalogue::format(Text::StudyPlotSlope, {text::general(slope, separator)}));
}

}  // namespace

PictureSize stepStudyPlotSize() { return {kWidth, kHeight}; }

DisplayList stepStudyPlot(const StepStudy& study, char separator)
{
    std::vector<double> steps, errors;
    for (const MethodStudy& m : study.methods)
        for (const StudyRow* r : plotted(m)) {
            steps.push_back(r->step);
            errors.push_back(std::fabs(r->error));
        }
    DisplayList pic;
    pic.fill(0, 0, static_cast<float>(kWidth), static_cast<float>(kHeight));
    if (steps.empty())
        return pic;
    const LogAxis x = decades(steps, kLeft, kRight);
    const LogAxis y = decades(errors, kBottom, kTop);
    const auto fx = [](double v) { return static_cast<float>(v); };

    // The frame, a tick and a label at every decade.
    pic.line(fx(kLeft), fx(kTop), fx(kLeft), fx(kBottom));
    pic.line(fx(kLeft), fx(kBottom), fx(kRight), fx(kBottom));
    for (double e = x.low; e <= x.high; ++e) {
        pic.line(fx(x.at(e)), fx(kBottom), fx(x.at(e)), fx(kBottom + 60));
        pic.setTextPosition(fx(x.at(e) - 200), fx(kBottom + 90));
        pic.print(text::general(std::pow(10.0, e), separator));
    }
    const double yStride = std::ceil((y.high - y.low) / 8);  // at most nine labels
    for (double e = y.low; e <= y.high; e += yStride) {
        pic.line(fx(kLeft - 60), fx(y.at(e)), fx(kLeft), fx(y.at(e)));
        pic.setTextPosition(fx(kLeft - 900), fx(y.at(e) - 100));
        pic.print(text::general(std::pow(10.0, e), separator));
    }
    pic.setTextPosition(fx((kLeft + kRight) / 2 - 500), fx(kBottom + 330));
    pic.print(word(Text::StudyPlotStepAxis));
    pic.setTextPosition(fx(kLeft), fx(kTop - 250));
    pic.print(word(Text::StudyPlotErrorAxis));

    for (const MethodStudy& m : study.methods) {
        const std::vector<const StudyRow*> rows = plotted(m);
        const Rgb colour = methodColour(m.method);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const double px = x.at(std::log10(rows[k]->step)), py = y.at(std::log10(std::fabs(rows[k]->error)));
            pic.circle(fx(px), fx(py), kPointRadius, colour);
            if (k > 0)
                pic.line(fx(x.at(std::log10(rows[k - 1]->step))), fx(y.at(std::log10(std::fabs(rows[k - 1]->error)))),
                         fx(px), fx(py), colour, kSeriesWidth);
        }
        // The reference slope a decade below the method's finest point whose
        // order is its own, or its middle point.
        const auto own = std::find_if(m.rows.rbegin(), m.rows.rend(), [](const StudyRow& r) {
            return !r.program && r.order && r.caveat == OrderCaveat::None && r.error != 0;
        });
        const StudyRow& anchor = own != m.rows.rend() ? *own : *rows[rows.size() / 2];
        referenceLine(pic, x, y, std::log10(anchor.step), std::log10(std::fabs(anchor.error)) - 1, m.order, separator);
    }
    pic.border(0, 0, static_cast<float>(kWidth), static_cast<float>(kHeight));
    return pic;
}

std::string stepStudySvg(const StepStudy& study, char separator)
{
    return pictureSvg(stepStudyPlot(study, separator), stepStudyPlotSize(), word(Text::StudyPlotDescription));
}

}  // namespace calvetra
