// What leaves the program as text: the drawn runs as CSV, and the figures
// the help quotes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graph/runs_csv.h"
#include "model/worked_example.h"
#include "tests/support/recording_window.h"

using namespace calvetra;
using calvetra::testing::Program;

namespace {

std::vector<std::string> lines(const std::string& csv)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (auto end = csv.find("\r\n"); end != std::string::npos; end = csv.find("\r\n", start)) {
        out.push_back(csv.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, csv.size()) << "every line ends in CRLF";
    return out;
}

// Two runs: the first with the valve closed, which overflows at 17500 s,
// then the initial boxes. A query afterwards leaves 1000 steps in the
// store, but the graph still shows 5001 points a run.
std::string twoRunsCsv(char separator)
{
    Program p(separator);
    p.type(text1(4), "0");
    p.form.clickCalcular();
    p.type(text1(4), "100");
    p.form.clickCalcular();
    p.type(Box::Text2, "100");
    EXPECT_EQ(p.store().StepCount, 1000);
    return drawnRunsCsv(p.form.drawnGraph(), separator);
}

TEST(RunsCsv, TwoRunsOneStoppedByAnOverflowInBothSeparators)
{
    const std::string csv = twoRunsCsv('.');
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u) << "byte order mark";
    const std::vector<std::string> rows = lines(csv.substr(3));
    ASSERT_EQ(rows.size(), 1u + 5001u);
    EXPECT_EQ(rows[0], "t (s),V = 5.4 (l) -- Q = 10 (l/h) -- To = 20.0 (ºC) -- Ap.Valv = 0 (%) -- q = 1000 (W) -- "
                       "t máximo = 20000 (s),"
                       "V = 5.4 (l) -- Q = 10 (l/h) -- To = 20.0 (ºC) -- Ap.Valv = 100 (%) -- q = 1000 (W) -- "
                       "t máximo = 20000 (s)");
    EXPECT_EQ(rows[1], "0,20,20");
    EXPECT_EQ(rows[2].rfind("4,20.180", 0), 0u) << rows[2];
    // The closed valve's run stops at the overflow, then its cells are empty.
    EXPECT_EQ(rows[1 + 4375].rfind("17500,", 0), 0u);
    EXPECT_EQ(rows[1 + 4375].find(",,"), std::string::npos);
    EXPECT_EQ(rows[1 + 4376].rfind("17504,,", 0), 0u);
    EXPECT_EQ(rows[1 + 5000].rfind("20000,,107.8018884", 0), 0u) << rows[1 + 5000];
    // Times are those of the steps, at 4 s each.
    for (const std::size_t j : {1u, 500u, 4375u, 5000u})
        EXPECT_DOUBLE_EQ(std::stod(rows[1 + j]), 4.0 * j);
    EXPECT_NE(rows[1 + 500].find(",76.42049"), std::string::npos) << rows[1 + 500];

    // In a comma locale: ";" between fields, "," in the numbers, and
    // otherwise the same bytes.
    std::string comma = twoRunsCsv(',');
    EXPECT_NE(comma.find("\r\n0;20;20\r\n"), std::string::npos);
    EXPECT_NE(comma.find("To = 20,0 (ºC)"), std::string::npos);
    for (char& c : comma)
        c = c == ',' ? '.' : c == ';' ? ',' : c;
    EXPECT_EQ(comma, csv);
}

TEST(RunsCsv, NothingDrawnNothingButTheHeader)
{
    Program p;
    EXPECT_EQ(drawnRunsCsv(p.form.drawnGraph(), '.'), "\xEF\xBB\xBFt (s)\r\n");
    p.form.clickCalcular();
    p.form.clickBorrarGrafica();
    EXPECT_TRUE(p.form.drawnGraph().runs.empty());
}

TEST(WorkedExample, TheHelpQuotesTheProgramsOwnFigures)
{
    const WorkedExample point = workedExample('.');
    EXPECT_EQ(point.outflow, "10.00");
    EXPECT_EQ(point.hours, "= 5.56 h");
    EXPECT_EQ(point.finalTemp, "107.8");
    EXPECT_EQ(point.query100, "24.4");
    EXPECT_EQ(point.query1000, "55.3");
    EXPECT_EQ(point.overflow, "Desbordamniento a t = 17500 (s)");
    EXPECT_EQ(workedExample(',').finalTemp, "107,8");

    const std::string help = fillHelp("{{temperatura_final}} ºC a {{tiempo_simulado}} s; {{consulta_100}}; "
                                      "{{mensaje_tiempo}}; v{{version}}; {{nada}}",
                                      ',');
    EXPECT_EQ(help, "107,8 ºC a 20000 s; 24,4; El tiempo debe ser mayor que 0; v1.00; {{nada}}");
}

TEST(KeyboardReadout, StepsAHundredthOfAnAxisAndStaysOnTheGraph)
{
    Program p;
    // The centre of the plot reads half the span and half the scale.
    p.form.readoutKey(0, 0, false);
    EXPECT_EQ(p.window.caption(Label::Label6_0), "10000 , 10");
    p.form.readoutKey(1, 0, false);
    EXPECT_EQ(p.window.caption(Label::Label6_0), "10200 , 10");
    p.form.readoutKey(0, -1, true);
    EXPECT_EQ(p.window.caption(Label::Label6_0), "10200 , 12");
    // A click puts the point where the pointer is.
    p.form.placeReadoutPoint(800, 4755);
    p.form.readoutKey(0, 0, false);
    EXPECT_EQ(p.window.caption(Label::Label6_0), "0 , 0");
    for (int k = 0; k < 20; ++k)
        p.form.readoutKey(-1, 1, true);
    EXPECT_EQ(p.form.readoutPoint().x, 0);
    EXPECT_EQ(p.form.readoutPoint().y, 5055);
}

}  // namespace
