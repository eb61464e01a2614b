#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "graph/exact_curve.h"
#include "graph/graph_svg.h"
#include "graph/run_table.h"
#include "graph/runs_csv.h"
#include "model/exact_solution.h"
#include "model/open_address.h"
#include "tests/support/recording_window.h"
#include "toolkit/runs.h"
#include "toolkit/text.h"

using namespace calvetra;
using calvetra::testing::Program;

namespace {

// Three runs: the volume holds (valve 100 %), the tank fills (50 %), and it
// fills until it overflows at 17500 s (0 %).
void drawThreeRuns(Program& p)
{
    for (const char* valve : {"100", "50", "0"}) {
        p.type(text1(kValveIndex), valve);
        p.form.clickCalcular();
    }
}

std::vector<std::string> split(const std::string& s, char separator)
{
    std::vector<std::string> parts;
    std::stringstream in(s);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

struct Outputs {
    std::vector<PictureOp> ops;
    std::string csv, svg, link;
    RunTables tables;
};

Outputs outputs(Program& p)
{
    return {p.window.pictureOps.ops(), drawnRunsCsv(p.form.drawnGraph(), '.'),
            graphSvg(p.window.pictureOps, p.form.drawnGraph()), addressOf(p.form, p.window),
            drawnRunTables(p.form.drawnGraph(), '.')};
}

bool sameOps(const std::vector<PictureOp>& a, const std::vector<PictureOp>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].colour != b[i].colour || a[i].x1 != b[i].x1 || a[i].y1 != b[i].y1 ||
            a[i].x2 != b[i].x2 || a[i].y2 != b[i].y2 || a[i].width != b[i].width)
            return false;
    return true;
}

}  // namespace

// On, the exact curves are thin lines in the runs' colours after everything
// else, each from the run's first point to its last, the overflowing run's
// included; off again, the picture and every file are what they were.
TEST(ExactOption, CurvesComeAndGoAndOffChangesNothing)
{
    Program p;
    drawThreeRuns(p);
    const Outputs before = outputs(p);
    const DrawnGraph& graph = p.form.drawnGraph();
    ASSERT_EQ(graph.runs.size(), 3u);
    ASSERT_TRUE(graph.runs[2].overflowed);
    EXPECT_EQ(graph.runs[2].lastStep, 4375);

    p.form.setExactSolution(true);
    const std::vector<PictureOp>& ops = p.window.pictureOps.ops();
    ASSERT_GT(ops.size(), before.ops.size());
    EXPECT_TRUE(sameOps({ops.begin(), ops.begin() + static_cast<long>(before.ops.size())}, before.ops));
    for (std::size_t k = 0; k < graph.runs.size(); ++k) {
        const DrawnRun& run = graph.runs[k];
        std::vector<PictureOp> curve;
        for (std::size_t i = before.ops.size(); i < ops.size(); ++i)
            if (ops[i].colour == kRuns[k].colour)
                curve.push_back(ops[i]);
        ASSERT_FALSE(curve.empty()) << k;
        for (const PictureOp& op : curve) {
            EXPECT_EQ(op.kind, PictureOp::Kind::Line);
            EXPECT_EQ(op.width, 0);  // the finest line
        }
        const double steadyY = graph.area.yOfTemperature(exactSolutionOf(run)(0));
        EXPECT_FLOAT_EQ(curve.front().x1, static_cast<float>(graph.area.xOfStep(0, graph.stepCount)));
        EXPECT_FLOAT_EQ(curve.front().y1, static_cast<float>(steadyY));
        // It ends where the run's points end: at the overflow for run 2.
        EXPECT_FLOAT_EQ(curve.back().x2, static_cast<float>(graph.area.xOfStep(run.lastStep, graph.stepCount))) << k;
        // And lies on the points: Runge-Kutta and the closed form agree to
        // far less than a twip.
        EXPECT_NEAR(curve.back().y2, graph.area.yOfTemperature(run.temperatures.back()), 0.01) << k;
    }
    EXPECT_NE(addressOf(p.form, p.window).find("&exact=1"), std::string::npos);

    p.form.setExactSolution(false);
    const Outputs after = outputs(p);
    EXPECT_TRUE(sameOps(after.ops, before.ops));
    EXPECT_EQ(after.csv, before.csv);
    EXPECT_EQ(after.svg, before.svg);
    EXPECT_EQ(after.link, before.link);
    EXPECT_EQ(after.tables.runs.rows, before.tables.runs.rows);
    EXPECT_EQ(after.tables.temperatures.columns, before.tables.temperatures.columns);

    // On before the runs are drawn gives the same picture as on after.
    Program q;
    q.form.setExactSolution(true);
    drawThreeRuns(q);
    p.form.setExactSolution(true);
    EXPECT_TRUE(sameOps(q.window.pictureOps.ops(), p.window.pictureOps.ops()));
}

// The exact and error columns of the CSV and the data table are the closed
// form at each step's time and Runge-Kutta's difference from it; T∞ for
// every run, the time constant only where the volume holds.
TEST(ExactOption, DataColumnsAreTheClosedForm)
{
    Program p;
    drawThreeRuns(p);
    p.form.setExactSolution(true);
    const DrawnGraph& graph = p.form.drawnGraph();
    // A comma locale: ";" between fields, and no heading holds one.
    const std::vector<std::string> lines = split(drawnRunsCsv(graph, ','), '\n');
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(graph.stepCount) + 2);
    const std::vector<std::string> heading = split(lines[0], ';');
    ASSERT_EQ(heading.size(), 1 + 3 * 3u);
    EXPECT_NE(heading[2].find("solución exacta"), std::string::npos);
    EXPECT_NE(heading[3].find("error de RK4"), std::string::npos);
    for (long j : {0L, 1L, 500L, 4375L, 4376L, 5000L}) {
        const std::vector<std::string> cells = split(text::commasToPoints(lines[static_cast<std::size_t>(j) + 1]), ';');
        for (std::size_t k = 0; k < graph.runs.size(); ++k) {
            const DrawnRun& run = graph.runs[k];
            const std::string& exactCell = cells.at(2 + 3 * k);
            if (j > run.lastStep) {
                EXPECT_EQ(exactCell, "") << j << " " << k;
                continue;
            }
            const double t = run.shown.span * static_cast<double>(j) / static_cast<double>(graph.stepCount);
            const double exact = exactSolutionOf(run)(t);
            const double rk4 = text::parseLeadingNumber(cells.at(1 + 3 * k));
            EXPECT_NEAR(text::parseLeadingNumber(exactCell), exact, 1e-12 * exact) << j << " " << k;
            EXPECT_NEAR(text::parseLeadingNumber(cells.at(3 + 3 * k)), rk4 - exact, 1e-11) << j << " " << k;
            EXPECT_LT(std::fabs(rk4 - exact), 1e-6) << j << " " << k;
        }
    }

    const RunTables tables = drawnRunTables(graph, '.');
    const auto row = [&](Text key) {
        for (const auto& r : tables.runs.rows)
            if (r[0] == catalogue::text(key))
                return r;
        return std::vector<std::string>{};
    };
    const std::vector<std::string> steady = row(Text::SteadyStateRow), tau = row(Text::TimeConstantRow);
    ASSERT_EQ(steady.size(), 4u);
    ASSERT_EQ(tau.size(), 4u);
    for (std::size_t k = 0; k < 3; ++k)
        EXPECT_EQ(steady[k + 1], text::fixed(exactSolutionOf(graph.runs[k]).steadyState(), 2, '.'));
    EXPECT_EQ(tau[1], "1944");  // 5.4 l at 10 l/h: V0 / Q1
    EXPECT_EQ(tau[2], "");
    EXPECT_EQ(tau[3], "");
    EXPECT_EQ(row(Text::ExactFinalTempRow)[1], "107.80");
    ASSERT_EQ(tables.temperatures.columns.size(), 1 + 3 * 3u);
    EXPECT_EQ(tables.temperatures.rows.back()[2], text::fixed(exactSolutionOf(graph.runs[0])(20000), 2, '.'));
}

// While the option is on, Label8 under the answer gives the exact figure
// and the difference, and a note beside the read-out point compares the
// nearest run, kept inside the graph box at its edges and gone when the
// pointer leaves, the graph is cleared or the option is off. The answer and
// the read-out themselves stay as they are without the option.
TEST(ExactOption, AnswerAndReadoutCompareWithTheExactSolution)
{
    Program p;
    p.form.clickCalcular();
    p.type(Box::Text2, "100");
    EXPECT_EQ(p.window.caption(Label::Label2), "24.4");
    EXPECT_EQ(p.window.caption(Label::Label8), "");
    p.form.setExactSolution(true);
    EXPECT_EQ(p.window.caption(Label::Label2), "24.4");
    EXPECT_EQ(p.window.caption(Label::Label8).rfind("exacta 24.4 · dif. ", 0), 0u) << p.window.caption(Label::Label8);
    p.type(Box::Text2, "1000");
    EXPECT_EQ(p.window.caption(Label::Label2), "55.3");
    EXPECT_EQ(p.window.caption(Label::Label8).rfind("exacta 55.3 · dif. ", 0), 0u);

    const PlotArea& area = p.form.drawnGraph().area;
    const auto moveTo = [&](double x, double y) { p.form.mouseMoved(static_cast<float>(x), static_cast<float>(y)); };
    const double x = area.xOfStep(500, 5000), y = area.yOfTemperature(76);
    moveTo(x, y);
    EXPECT_EQ(p.window.caption(Label::Label6_0).find("RK4"), std::string::npos);
    const std::string& note = p.window.note.text;
    EXPECT_EQ(note.rfind("Curva roja\nRK4 76.42", 0), 0u) << note;
    EXPECT_NE(note.find("\nexacta 76.42"), std::string::npos) << note;
    EXPECT_NE(note.find("\ndif. "), std::string::npos) << note;
    EXPECT_GT(p.window.note.corner.x, x);
    EXPECT_GT(p.window.note.corner.y, y);
    // In the far corner the note turns to the other side of the point.
    const PictureSize box = p.window.size;
    moveTo(box.width - 10, box.height - 10);
    EXPECT_LE(p.window.note.corner.x + layout::kReadoutNoteSize.width, box.width - 10);
    EXPECT_LE(p.window.note.corner.y + layout::kReadoutNoteSize.height, box.height - 10);
    EXPECT_GE(p.window.note.corner.x, 0);
    // A face that shows the note larger tells the core, which places it so.
    p.form.setReadoutNoteSize({3000, 2000});
    moveTo(box.width - 10, box.height - 10);
    EXPECT_LE(p.window.note.corner.x + 3000, box.width - 10);
    EXPECT_LE(p.window.note.corner.y + 2000, box.height - 10);
    moveTo(x, y);
    p.form.readoutLeft();
    EXPECT_EQ(p.window.note.text, "");
    moveTo(x, y);
    p.form.clickBorrarGrafica();
    EXPECT_EQ(p.window.note.text, "");
    p.form.clickCalcular();
    moveTo(x, y);
    EXPECT_NE(p.window.note.text, "");

    p.form.setExactSolution(false);
    EXPECT_EQ(p.window.note.text, "");
    EXPECT_EQ(p.window.caption(Label::Label2), "55.3");
    EXPECT_EQ(p.window.caption(Label::Label8), "");
    moveTo(x, y);
    EXPECT_EQ(p.window.note.text, "");
}

// exact=1 in a link turns the option on and is written back; another value
// is named and left out.
TEST(ExactOption, TheLinkKeepsIt)
{
    Program p;
    EXPECT_EQ(openAddress(p.form, p.window, "v=1&exact=1&runs=5.4,10,20,50,1000,20000&fin"), "");
    EXPECT_TRUE(p.form.exactSolutionShown());
    EXPECT_EQ(addressOf(p.form, p.window),
              "v=1&V=5.4&Q=10&To=20&Ap=50&q=1000&t=20000&exact=1&runs=5.4,10,20,50,1000,20000&fin");
    Program q;
    const std::string message = openAddress(q.form, q.window, "v=1&exact=2&fin");
    EXPECT_NE(message.find("«exact=2», que solo puede ser 0 o 1"), std::string::npos) << message;
    EXPECT_FALSE(q.form.exactSolutionShown());
    EXPECT_EQ(addressOf(q.form, q.window).find("exact"), std::string::npos);
}
