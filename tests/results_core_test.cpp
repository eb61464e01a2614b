// The results both faces write from the core: the column headings that
// tell every run apart, the data table and the SVG drawing of the graph.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph/graph_svg.h"
#include "graph/run_table.h"
#include "graph/runs_csv.h"
#include "graph/whole_graph.h"
#include "tests/support/recording_window.h"
#include "toolkit/text.h"

using namespace calvetra;
using calvetra::testing::Program;

namespace {

std::size_t count(const std::string& s, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = s.find(what); at != std::string::npos; at = s.find(what, at + what.size()))
        ++n;
    return n;
}

// Two runs that differ only in the heater power, then a shorter span.
void twoPowers(Program& p)
{
    p.form.clickCalcular();
    p.type(text1(7), "3000");
    p.form.clickCalcular();
    p.type(text1(3), "10000");
}

TEST(RunHeadings, EveryColumnNamesAllSixFiguresSoNoTwoReadAlike)
{
    Program p(',');
    twoPowers(p);
    const auto& runs = p.form.drawnGraph().runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].legend, runs[0].heading.substr(0, runs[0].legend.size())) << "the legend stays as it is";
    EXPECT_EQ(p.window.caption(label4(0)), runs[0].legend);
    EXPECT_EQ(runs[0].heading, "V = 5,4 (l) -- Q = 10 (l/h) -- To = 20,0 (ºC) -- Ap.Valv = 100 (%) -- q = 1000 (W) -- "
                               "t máximo = 10000 (s)");
    EXPECT_NE(runs[1].heading.find("q = 3000 (W) -- t máximo = 10000 (s)"), std::string::npos);
    const std::string csv = drawnRunsCsv(p.form.drawnGraph(), ',');
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")), "\xEF\xBB\xBFt (s);" + runs[0].heading + ";" + runs[1].heading);
}

TEST(RunTable, FollowsTheDrawnRunsTwentiethsOfTheSpanAndStopsAtAnOverflow)
{
    Program p;
    const RunTables empty = drawnRunTables(p.form.drawnGraph(), '.');
    EXPECT_EQ(empty.runs.columns.size(), 1u);
    EXPECT_TRUE(empty.temperatures.rows.empty());

    p.type(text1(4), "0");  // overflows at 17500 s
    p.form.clickCalcular();
    p.type(text1(4), "100");
    p.type(text1(7), "3000");
    p.form.clickCalcular();
    const DrawnGraph& graph = p.form.drawnGraph();
    RunTables t = drawnRunTables(graph, '.');
    EXPECT_EQ(t.runs.columns, (std::vector<std::string>{"Figura", "Curva roja", "Curva verde"}));
    ASSERT_EQ(t.runs.rows.size(), 8u);
    for (const auto& row : t.runs.rows)
        EXPECT_EQ(row.size(), 3u);
    const auto figures = figureTexts(graph.runs[1].shown, '.');
    for (std::size_t f = 0; f < 6; ++f)
        EXPECT_EQ(t.runs.rows[f][2], figures[f]) << t.runs.rows[f][0];
    EXPECT_EQ(t.runs.rows[4][2], "3000");
    EXPECT_EQ(t.runs.rows[6][2], text::fixed(p.store().RunTemps.at(1, 5000), 2, '.'));
    EXPECT_EQ(t.runs.rows[7][1], "17500") << "the closed valve's overflow";
    EXPECT_EQ(t.runs.rows[7][2], "") << "no overflow";

    ASSERT_EQ(t.temperatures.rows.size(), 21u);
    for (long k = 0; k <= 20; ++k) {
        const auto& row = t.temperatures.rows[static_cast<std::size_t>(k)];
        EXPECT_EQ(row[0], text::general(1000.0 * static_cast<double>(k), '.'));
        EXPECT_EQ(row[2], text::fixed(p.store().RunTemps.at(1, 250 * k), 2, '.'));
        // 17500 s is step 4375, between the 17th and 18th twentieth.
        EXPECT_EQ(row[1].empty(), k > 17) << k;
    }

    // A time edit redraws and the table follows; a comma locale shows commas.
    p.type(text1(3), "1000");
    t = drawnRunTables(graph, ',');
    EXPECT_EQ(t.temperatures.rows[1][0], "50");
    EXPECT_NE(t.temperatures.rows[20][1].find(','), std::string::npos);
    EXPECT_EQ(t.runs.rows[5][1], "1000");
    p.form.clickBorrarGrafica();
    EXPECT_TRUE(drawnRunTables(graph, '.').temperatures.rows.empty());
}

TEST(GraphSvg, TheDisplayListAsShapesAndTextsWithTheLegendBelow)
{
    Program p;
    EXPECT_EQ(count(graphSvg(p.window.pictureOps, p.form.drawnGraph()), "<circle"), 0u);
    twoPowers(p);
    p.form.clickCalcular();
    const DisplayList& list = p.window.pictureOps;
    const std::string svg = graphSvg(list, p.form.drawnGraph());

    ASSERT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    std::size_t circles = 0, lines = 0;
    for (const PictureOp& op : list.ops()) {
        circles += op.kind == PictureOp::Kind::Circle;
        lines += op.kind == PictureOp::Kind::Line;
        if (op.kind == PictureOp::Kind::Text) {
            EXPECT_NE(svg.find(">" + list.textOf(op) + "</text>"), std::string::npos) << list.textOf(op);
        }
    }
    EXPECT_EQ(circles, 3u * 5001u);
    EXPECT_EQ(count(svg, "<circle"), circles);
    // The frame's lines, the three legend samples; every circle group has
    // its run's colour.
    EXPECT_EQ(count(svg, "<line"), lines + 3);
    EXPECT_EQ(count(svg, "<g fill=\"none\" stroke=\"#ff0000\""), 1u);
    EXPECT_EQ(count(svg, "<g fill=\"none\" stroke=\"#0000ff\""), 1u);
    // Every circle at its twips, in the list's order.
    std::vector<std::string> expected, written;
    for (const PictureOp& op : list.ops())
        if (op.kind == PictureOp::Kind::Circle)
            expected.push_back("<circle cx=\"" + text::general(op.x1, '.') + "\" cy=\"" + text::general(op.y1, '.') +
                               "\" r=\"10\"/>");
    for (auto at = svg.find("<circle"); at != std::string::npos; at = svg.find("<circle", at + 1))
        written.push_back(svg.substr(at, svg.find('\n', at) - at));
    ASSERT_EQ(written.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k)
        ASSERT_EQ(written[k], expected[k]) << "circle " << k;
    for (const DrawnRun& run : p.form.drawnGraph().runs)
        EXPECT_NE(svg.find(">" + run.legend + "</text>"), std::string::npos);
    // Design size: the graph and three legend rows, in pixels at 96 dpi.
    EXPECT_NE(svg.find("width=\"457\" height=\"416\" viewBox=\"0 0 6855 6240\""), std::string::npos);
    // The same actions give the same bytes.
    Program again;
    twoPowers(again);
    again.form.clickCalcular();
    EXPECT_EQ(graphSvg(again.window.pictureOps, again.form.drawnGraph()), svg);
}

// The drawing is the whole picture of the graph, one element an operation
// in its order: a run of one kind and colour shares a group, one alone
// carries its attributes.
TEST(GraphSvg, EveryOperationOfTheWholePictureIsOneElementInOrder)
{
    Program p;
    twoPowers(p);
    const std::vector<std::string> legends = {p.form.drawnGraph().runs[0].legend, p.form.drawnGraph().runs[1].legend};
    const DisplayList whole = wholeGraph(p.window.pictureOps, legends);
    const std::string svg = graphSvg(p.window.pictureOps, p.form.drawnGraph());
    std::string kinds;
    for (const PictureOp& op : whole.ops())
        kinds += "lctrr"[static_cast<int>(op.kind)];
    std::string written;
    for (std::size_t at = svg.find("</desc>"); (at = svg.find('<', at + 1)) != std::string::npos;)
        if (const char c = svg[at + 1]; c == 'l' || c == 'c' || c == 't' || c == 'r')
            written += c;
    EXPECT_EQ(written, kinds);
    // The background under the graph and the legend, the border round the
    // box only, the legend's samples two pixels wide, each alone.
    EXPECT_NE(svg.find("<rect width=\"6855\" height=\"5880\" fill=\"#f0f0f0\"/>"), std::string::npos);
    EXPECT_NE(svg.find("<rect x=\"7.5\" y=\"7.5\" width=\"6840\" height=\"5040\" fill=\"none\" stroke=\"#a0a0a0\" "
                       "stroke-width=\"15\"/>"),
              std::string::npos);
    EXPECT_EQ(count(svg, "stroke-width=\"30\"/>"), 2u);
    EXPECT_EQ(count(svg, "<text x=\"960\""), 2u);
}

TEST(GraphSvg, TextsAreEscaped)
{
    DisplayList list;
    list.setTextPosition(10, 20);
    list.print("a<b & \"c\">");
    const std::string svg = graphSvg(list, {});
    EXPECT_NE(svg.find(">a&lt;b &amp; &quot;c&quot;&gt;</text>"), std::string::npos);
}

}  // namespace
