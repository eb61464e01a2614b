// The address that keeps the set-up: written after any actions, opened on a
// fresh program it gives the same boxes and the same graph; bad addresses
// give one message and never a half-restored window.

#include <gtest/gtest.h>

#include <string>

#include "model/open_address.h"
#include "tests/support/recording_window.h"

using namespace calvetra;
using calvetra::testing::Program;

namespace {

// What the user sees: the boxes, the captions, the legend and the graph.
void expectSameWindow(const Program& a, const Program& b)
{
    EXPECT_EQ(a.window.texts, b.window.texts);
    EXPECT_EQ(a.window.captions, b.window.captions);
    EXPECT_EQ(a.window.legendVisible, b.window.legendVisible);
    const auto& x = a.window.pictureOps;
    const auto& y = b.window.pictureOps;
    ASSERT_EQ(x.size(), y.size());
    for (std::size_t k = 0; k < x.size(); ++k) {
        const PictureOp& p = x.ops()[k];
        const PictureOp& q = y.ops()[k];
        ASSERT_TRUE(p.kind == q.kind && p.colour == q.colour && p.foreground == q.foreground && p.x1 == q.x1 &&
                    p.y1 == q.y1 && p.x2 == q.x2 && p.y2 == q.y2)
            << "op " << k;
        if (p.kind == PictureOp::Kind::Text) {
            ASSERT_EQ(x.textOf(p), y.textOf(q));
        }
    }
}

// Opens the address of a on a fresh program: no message, the same window,
// and the same address again.
void expectRoundTrip(Program& a)
{
    const std::string link = addressOf(a.form, a.window);
    Program b;
    EXPECT_EQ(openAddress(b.form, b.window, "https://example.org/calvetra/#" + link), "") << link;
    expectSameWindow(a, b);
    EXPECT_EQ(addressOf(b.form, b.window), link);
}

TEST(SetUpAddress, ThreeRunsATimeEditAndAQueryComeBackFigureForFigure)
{
    Program a;
    a.form.clickCalcular();
    a.type(text1(4), "75");
    a.type(text1(7), "3000");
    a.form.clickCalcular();
    a.type(text1(3), "15000");  // redraws both runs over 15000 s
    a.type(text1(4), "0");      // a closed valve and a smaller tank:
    a.type(text1(0), "2.5");    // it overflows
    a.form.clickCalcular();
    a.type(text1(3), "10000");
    a.type(text1(2), "30");  // typed for the query, not yet drawn
    a.type(Box::Text2, "100");
    ASSERT_EQ(a.form.drawnGraph().runs.size(), 3u);
    const std::string link = addressOf(a.form, a.window);
    EXPECT_EQ(link, "v=1&V=2.5&Q=10&To=30&Ap=0&q=3000&t=10000&i=100&runs=5.4,10,20,100,1000,20000;"
                    "5.4,10,20,75,3000,20000;2.5,10,20,0,3000,15000&fin");
    expectRoundTrip(a);

    // A query before the last time edit leaves curves of 1000 steps; the
    // address says so and the query is replayed first.
    a.type(text1(3), "12000");
    EXPECT_EQ(a.form.drawnGraph().stepCount, 1000);
    EXPECT_NE(addressOf(a.form, a.window).find("&n=1000&"), std::string::npos);
    expectRoundTrip(a);

    // The same span typed again after a query: still 1000 steps.
    Program c;
    c.form.clickCalcular();
    c.type(Box::Text2, "250");
    c.type(text1(3), "1");
    c.type(text1(3), "20000");
    expectRoundTrip(c);

    // A query whose box is back at its first text still left its answer.
    Program e;
    e.type(text1(4), "1");
    e.type(Box::Text2, "5");
    e.type(Box::Text2, "0");
    expectRoundTrip(e);

    // Nothing drawn, only the boxes; a fourth run starts a new series.
    Program d;
    d.type(text1(1), "1.5");
    expectRoundTrip(d);
    for (int k = 0; k < 4; ++k)
        d.form.clickCalcular();
    EXPECT_EQ(d.form.drawnGraph().runs.size(), 1u);
    expectRoundTrip(d);
}

struct BadAddress {
    const char* name;
    const char* address;
    const char* says;  // part of the one message
    Box box;           // a box and what it holds afterwards
    const char* holds;
    std::size_t runs;  // runs drawn afterwards
};

TEST(SetUpAddress, BadAddressesGiveOneMessageAndTheRestIsApplied)
{
    const std::string run = "5.4,10,20,100,1000,20000";
    const BadAddress cases[] = {
        {"unknown key", "#v=1&V=3&colour=red&fin", "la clave desconocida «colour»", Box::Text1_0, "3", 0},
        {"letters", "#v=1&V=tres&Q=12&fin", "«V=tres», que no es un número", Box::Text1_1, "12", 0},
        {"inf", "#v=1&V=inf&fin", "no es un número", Box::Text1_0, "5.4", 0},
        {"huge", "#v=1&t=1e300&q=2000&fin", "«t=1e300», que es demasiado grande", Box::Text1_7, "2000", 0},
        {"beyond range", "#v=1&t=1e999&fin", "demasiado grande", Box::Text1_3, "20000", 0},
        {"negative", "#v=1&V=-5&q=-500&fin", "«V=-5», que es negativo", Box::Text1_7, "-500", 0},
        {"four runs",
         "#v=1&runs=1,10,20,100,1000,20000;2,10,20,100,1000,20000;3,10,20,100,1000,20000;"
         "4,10,20,100,1000,20000&fin",
         "a partir de la cuarta", Box::Text1_0, "3", 3},
        {"cut off", "#v=1&V=7&runs=5.4,10,20,100,1000,2", "el enlace está cortado", Box::Text1_0, "7", 0},
        {"cut in a run", "#v=1&runs=5.4,10,20,100,1000,20000;5.4,10", "está cortado", Box::Text1_0, "5.4", 0},
        {"short run", "#v=1&runs=5.4,10,20&fin", "que no tiene seis números", Box::Text1_0, "5.4", 0},
        {"refused run", "#v=1&runs=0,10,20,100,1000,20000;5.4,10,20,100,1000,20000&fin",
         "la simulación 1 («0,10,20,100,1000,20000»), que el programa rechaza (El Volumen", Box::Text1_0, "5.4", 1},
        {"valve above 100", "#v=1&runs=5.4,10,20,150,1000,20000&fin", "no puede ser mayor del 100%", Box::Text1_4,
         "100", 0},
        {"repeated", "#v=1&V=3&V=4&fin", "«V=4», porque «V» ya estaba", Box::Text1_0, "3", 0},
        {"bad n", "#v=1&n=7&fin", "solo puede ser 1000 o 5000", Box::Text1_0, "5.4", 0},
        {"unknown look", "#v=1&view=proyector&V=3&fin", "«view=proyector», que no es una de las opciones", Box::Text1_0,
         "3", 0},
        {"bad marks", "#v=1&marks=2&Q=12&fin", "«marks=2», que no es una de las opciones", Box::Text1_1, "12", 0},
        {"doubly encoded", "#v%253D1%2526V%253D3%2526fin", "codificado dos veces", Box::Text1_0, "5.4", 0},
        {"stray percent", "#v=1&V=3%&fin", "no codifica nada", Box::Text1_0, "5.4", 0},
        {"other version", "#v=2&V=3&fin", "versión «2»", Box::Text1_0, "5.4", 0},
        {"no version", "#V=3&fin", "no empieza por la versión", Box::Text1_0, "5.4", 0},
        {"not a link", "hola", "no es un enlace de CALVETRA", Box::Text1_0, "5.4", 0},
        {"too long", nullptr, "demasiado largo", Box::Text1_0, "5.4", 0},
        {"control bytes", "#v=1&\x01\xff=1&fin", "la clave desconocida «??»", Box::Text1_0, "5.4", 0},
    };
    for (const BadAddress& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string address = c.address ? c.address : "#v=1&V=" + std::string(3000, '1') + "&fin";
        Program p;
        const std::string message = openAddress(p.form, p.window, address);
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        const bool partly = message.rfind("No se ha aplicado todo el enlace; se ha ignorado: ", 0) == 0;
        const bool unread = message.rfind("No se ha aplicado el enlace, porque ", 0) == 0;
        EXPECT_TRUE(partly || unread) << message;
        EXPECT_EQ(message.back(), '.');
        EXPECT_TRUE(p.window.messages.empty()) << "nothing but the one message: " << p.window.messages.front();
        EXPECT_EQ(p.window.text(c.box), c.holds);
        EXPECT_EQ(p.form.drawnGraph().runs.size(), c.runs);
    }

    // Singly encoded, as some programs pass links on: read as it is.
    Program p;
    EXPECT_EQ(openAddress(p.form, p.window, "#v%3D1%26V%3D3%26runs%3D" + run + "%26fin"), "");
    EXPECT_EQ(p.window.text(text1(0)), "3");
    EXPECT_EQ(p.form.drawnGraph().runs.size(), 1u);
    // Nothing at all, or an empty fragment: nothing to do, nothing said.
    EXPECT_EQ(openAddress(p.form, p.window, ""), "");
    EXPECT_EQ(openAddress(p.form, p.window, "https://example.org/#"), "");
    // Several problems: still one message, naming each.
    Program q;
    const std::string several = openAddress(q.form, q.window, "v=1&x=1&V=a&fin");
    EXPECT_NE(several.find("«x» y «V=a»"), std::string::npos) << several;
}

TEST(SetUpAddress, AnOverflowingRunIsReportedAsWhenItWasDrawn)
{
    Program p;
    EXPECT_EQ(openAddress(p.form, p.window, "v=1&runs=5.4,10,20,0,1000,20000&fin"), "");
    EXPECT_EQ(p.window.messages, std::vector<std::string>{"Desbordamniento a t = 17500 (s)"});
    EXPECT_TRUE(p.form.drawnGraph().runs[0].overflowed);

    // With something ignored too, the overflow still comes up as the run is
    // drawn, and the link's own message names what was ignored.
    Program q;
    EXPECT_EQ(openAddress(q.form, q.window, "v=1&colour=red&runs=5.4,10,20,0,1000,20000;5.4,10,20,0,1000,20000&fin"),
              "No se ha aplicado todo el enlace; se ha ignorado: la clave desconocida «colour».");
    EXPECT_EQ(q.window.messages, std::vector<std::string>(2, "Desbordamniento a t = 17500 (s)"));
    EXPECT_EQ(q.form.drawnGraph().runs.size(), 2u);
}

// The codec alone: a set-up written and read back is the same set-up, and
// its fields come in the order of the table of the figures.
TEST(AddressCodec, ASetUpWrittenReadsBackTheSame)
{
    calvetra::SetUp s;
    s.boxes[order(Figure::Volume)] = 2.5;
    s.boxes[order(Figure::Power)] = -300;
    s.boxes[order(Figure::Span)] = 0.1;
    s.instant = 7;
    s.queryBeforeTimeEdit = true;
    s.language = "ca";
    s.runs = {{5.4, 10, 20, 100, 1000, 20000}, {1, 2, 3, 4, -5, 6e-7}};
    const std::string written = writeAddress(s);
    EXPECT_EQ(written, "v=1&V=2.5&q=-300&t=0.1&i=7&n=1000&lang=ca&runs=5.4,10,20,100,1000,20000;1,2,3,4,-5,6E-07&fin");
    const ParsedAddress read = parseAddress(written);
    EXPECT_EQ(addressMessage(read), "");
    EXPECT_EQ(read.setUp.boxes, s.boxes);
    EXPECT_EQ(read.setUp.instant, s.instant);
    EXPECT_TRUE(read.setUp.queryBeforeTimeEdit);
    EXPECT_EQ(read.setUp.language, "ca");
    EXPECT_EQ(read.setUp.runs, s.runs);
    EXPECT_EQ(read.runNumbers, (std::vector<std::size_t>{1, 2}));
    // Only the power may be negative, in the boxes and in a run alike.
    const ParsedAddress negative = parseAddress("v=1&runs=5.4,10,20,-1,1000,20000;5.4,10,20,1,-1,20000&fin");
    EXPECT_EQ(negative.setUp.runs, (std::vector<RunFigures>{{5.4, 10, 20, 1, -1, 20000}}));
    EXPECT_NE(addressMessage(negative).find("la simulación 1, porque «-1»"), std::string::npos)
        << addressMessage(negative);
}

}  // namespace
