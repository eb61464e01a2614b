// libFuzzer target: Form1 on a recording window, driven through the guarded
// entry points the real window calls, by a small script of user actions.
// After every action it checks what must hold whatever the user typed, and
// traps (keeping the input) when something does not.
//
// The input is text, one action per line, so that seeds and crashes read as
// what a user did:
//
//   L,          the user's locale writes numbers with a decimal comma
//               (first line only; the default is a point)
//   I3 abc      the text Text1(3) holds when the window opens (before any
//               other action; the boxes are loaded when the first other
//               action comes); boxes are 0..7 for Text1(0..7), 8 for Text2
//   T4 150      the user replaces the whole text of Text1(4): one change
//   K3 5,5      the user types these characters at the end of Text1(3),
//               one change per character
//   X3 2        the user deletes the last 2 characters, one change each
//   C  B  S     "Calcular", "Borrar Gráfica", "Salir"
//   M 812 4000  the mouse moves over the graph, in twips
//
// Unknown lines are skipped; at most kMaxActions changes and clicks are run.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "model/messages.h"
#include "tests/support/drawing.h"
#include "tests/support/recording_window.h"
#include "toolkit/fault.h"
#include "toolkit/text.h"

namespace {

using namespace calvetra;
using calvetra::testing::isFaultMessage;
using calvetra::testing::RecordingWindow;

constexpr int kMaxActions = 40;
constexpr std::size_t kMaxKeystrokes = 24;

enum class Action { Load, Calcular, Borrar, Salir, Edit, Mouse };

struct Run {
    RecordingWindow window;
    Form1 form;
    std::vector<std::string> trace;  // the actions so far, for the report
    explicit Run(char separator) : form(window, separator) {}
};

[[noreturn]] void fail(const Run& run, const char* what, const std::string& detail)
{
    std::fprintf(stderr, "\n*** invariant failed: %s\n", what);
    if (!detail.empty())
        std::fprintf(stderr, "    %s\n", detail.c_str());
    std::fprintf(stderr, "    after these actions:\n");
    for (const std::string& step : run.trace)
        std::fprintf(stderr, "      %s\n", step.c_str());
    std::fprintf(stderr, "    messages shown:\n");
    for (const std::string& m : run.window.messages)
        std::fprintf(stderr, "      <%s>\n", m.c_str());
    std::fflush(stderr);
    __builtin_trap();
}

#define FUZZ_CHECK(run, condition, detail)                                                                             \
    do {                                                                                                               \
        if (!(condition))                                                                                              \
            fail(run, #condition, detail);                                                                             \
    } while (0)

bool isOverflowMessage(const std::string& m) { return messages::isOverflow(m); }

// Every message a user can see: the program's own, or a run-time fault.
// The guard's texts for other exceptions ("Error inesperado...", no memory)
// mean something threw that should not have.
bool isKnownMessage(const std::string& m)
{
    return m == messages::valveAbove100() || m == messages::checkParameters() || m == messages::negativeTime() ||
           isOverflowMessage(m) || isFaultMessage(m);
}

std::size_t circlesOf(const RecordingWindow& w, int run)
{
    return calvetra::testing::circleCount(w.pictureOps, calvetra::testing::kRunColours[run]);
}

std::size_t allCircles(const RecordingWindow& w) { return calvetra::testing::countOps(w.pictureOps).circles; }

struct Snapshot {
    std::int16_t runIndex;
    float maxTemp;
    double simTime;
    std::size_t messages;
    std::uint64_t revision;
    std::string label6;
};

Snapshot snapshot(Run& run)
{
    const RunStore& s = run.form.store();
    return {s.RunIndex,
            s.MaxTemp,
            s.SimTime,
            run.window.messages.size(),
            run.window.pictureOps.revision(),
            run.window.caption(Label::Label6_0)};
}

std::string num(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

// Runs 0..RunIndex-1 are on the graph, each with its legend describing its
// slot, and nothing else is. Holds after every redraw that ended normally.
void checkDrawnRuns(Run& run)
{
    const RunStore& s = run.form.store();
    const RecordingWindow& w = run.window;
    std::size_t total = 0;
    for (int k = 0; k < 3; ++k) {
        const std::size_t n = circlesOf(w, k);
        total += n;
        if (k < s.RunIndex) {
            FUZZ_CHECK(run, n >= 1 && n <= static_cast<std::size_t>(s.StepCount) + 1,
                       "run " + std::to_string(k) + " has " + std::to_string(n) + " circles");
            FUZZ_CHECK(run, w.legendVisible[static_cast<std::size_t>(k)], "run " + std::to_string(k));
            std::string description;
            try {
                description = run.form.RunDescription(static_cast<std::int16_t>(k));
            } catch (const RuntimeFault&) {
                fail(run, "the legend of a drawn run cannot be written", "run " + std::to_string(k));
            }
            FUZZ_CHECK(run, w.caption(label4(k)) == description, "run " + std::to_string(k));
        } else {
            FUZZ_CHECK(run, n == 0, "run " + std::to_string(k) + " is drawn beyond RunIndex");
        }
    }
    FUZZ_CHECK(run, total == allCircles(w), "circles in a colour that is no run's");
}

// MaxTemp after a "Calcular" that drew run `slot` whose curve kept `kept`
// steps: the larger of what it started from and the float-rounded
// temperatures of those steps (step 0 is the initial temperature the load
// compared).
void checkMaxTempAfterRun(Run& run, float startedFrom, int slot, std::size_t kept)
{
    const RunStore& s = run.form.store();
    float expected = startedFrom;
    for (std::size_t i = 0; i < kept; ++i)
        expected = std::max(expected, static_cast<float>(s.RunTemps.at(slot, static_cast<long>(i))));
    FUZZ_CHECK(run, s.MaxTemp == expected, "MaxTemp " + num(s.MaxTemp) + ", expected " + num(expected));
}

void checkCalcular(Run& run, const Snapshot& before, const std::vector<std::string>& shown, bool faulted)
{
    const RunStore& s = run.form.store();
    const bool newSeries = before.runIndex > 2;
    const int slot = newSeries ? 0 : before.runIndex;
    const float startedFrom = newSeries ? 0.0f : before.maxTemp;
    if (faulted) {
        // Abandoned where it faulted: no run was added.
        FUZZ_CHECK(run, s.RunIndex <= before.runIndex, "RunIndex " + std::to_string(s.RunIndex));
        return;
    }
    // [valve] then either [check] or [overflow]: nothing else, in that order.
    std::size_t i = 0;
    const bool clamped = i < shown.size() && shown[i] == std::string(messages::valveAbove100());
    if (clamped)
        ++i;
    const bool refused = i < shown.size() && shown[i] == std::string(messages::checkParameters());
    const bool overflowed = !refused && i < shown.size() && isOverflowMessage(shown[i]);
    if (refused || overflowed)
        ++i;
    FUZZ_CHECK(run, i == shown.size(), "unexpected messages from Calcular");
    if (clamped)
        FUZZ_CHECK(run, run.window.text(Box::Text1_4) == "100", "valve box after the clamp");
    // Every decimal comma became a point; Text1(6) is written afterwards by
    // the load, in the locale's form.
    for (int k = 0; k < kText1Count; ++k) {
        const bool hasComma = run.window.text(text1(k)).find(',') != std::string::npos;
        FUZZ_CHECK(run, k == 6 || !hasComma, "a comma left in Text1(" + std::to_string(k) + ")");
    }

    if (refused) {
        FUZZ_CHECK(run, s.RunIndex == slot, "RunIndex " + std::to_string(s.RunIndex));
        const float initial = s.InitialTemp[slot];
        const float expected = initial > startedFrom ? initial : startedFrom;
        FUZZ_CHECK(run, s.MaxTemp == expected, "MaxTemp after a refused press " + num(s.MaxTemp));
        return;
    }
    FUZZ_CHECK(run, s.RunIndex == slot + 1,
               "RunIndex " + std::to_string(s.RunIndex) + " after drawing slot " + std::to_string(slot));
    FUZZ_CHECK(run, s.StepCount == 5000, "StepCount " + std::to_string(s.StepCount));
    checkDrawnRuns(run);
    if (newSeries)
        FUZZ_CHECK(run, !run.window.legendVisible[1] && !run.window.legendVisible[2], "legend of the old series");
    // The curve stops at the first step beyond the capacity, which the
    // message names; without the message every step is drawn.
    const std::size_t kept = circlesOf(run.window, slot);
    if (overflowed) {
        const std::string at = text::general(s.StepTimes[static_cast<long>(kept) - 1], run.form.separator());
        FUZZ_CHECK(run, shown.back() == messages::overflow(at), "overflow message vs the last drawn step, " + at);
    } else {
        FUZZ_CHECK(run, kept == 5001, std::to_string(kept) + " circles without an overflow message");
    }
    checkMaxTempAfterRun(run, startedFrom, slot, kept);
}

// The checks after one action. `box` is the edited box for Action::Edit.
void checkAfter(Run& run, Action action, Box box, const Snapshot& before)
{
    const RunStore& s = run.form.store();
    const RecordingWindow& w = run.window;
    const std::vector<std::string> shown(w.messages.begin() + static_cast<std::ptrdiff_t>(before.messages),
                                         w.messages.end());

    for (const std::string& m : shown)
        FUZZ_CHECK(run, isKnownMessage(m), "message <" + m + ">");
    const auto faults = std::count_if(shown.begin(), shown.end(), isFaultMessage);
    FUZZ_CHECK(run, faults <= 1, std::to_string(faults) + " fault messages for one action");
    const bool faulted = faults == 1;
    if (faulted)
        FUZZ_CHECK(run, isFaultMessage(shown.back()), "the action went on after its fault");

    FUZZ_CHECK(run, s.RunIndex >= 0 && s.RunIndex <= 3, "RunIndex " + std::to_string(s.RunIndex));
    FUZZ_CHECK(run, std::isfinite(s.MaxTemp) && s.MaxTemp >= 0, "MaxTemp " + num(s.MaxTemp));
    FUZZ_CHECK(run, std::isfinite(s.SimTime), "SimTime " + num(s.SimTime));
    for (const PictureOp& op : w.pictureOps.ops())
        FUZZ_CHECK(run, std::isfinite(op.x1) && std::isfinite(op.y1) && std::isfinite(op.x2) && std::isfinite(op.y2),
                   "a non-finite coordinate on the graph");

    // MaxTemp is written in three places only: the load raises it to the
    // initial temperature read (when strictly greater), "Calcular" raises it
    // to the float-rounded temperatures of the steps it keeps, and
    // "Calcular" pressed with three runs drawn (RunIndex 3 before the press)
    // sets it to 0 to start a new series, before loading. So no action
    // lowers it except such a press; that press leaves it at 0, at the
    // initial temperature it loaded or at the hottest kept step of the new
    // run 0, whichever it got to (a fault in its first redraw comes before
    // the reset and leaves it as it was). checkCalcular checks the exact
    // value after every press that was not abandoned.
    if (s.MaxTemp < before.maxTemp)
        FUZZ_CHECK(run, action == Action::Calcular && before.runIndex > 2,
                   "MaxTemp fell from " + num(before.maxTemp) + " to " + num(s.MaxTemp));

    switch (action) {
    case Action::Load:
        FUZZ_CHECK(run, s.RunIndex == 0, "RunIndex after start-up");
        FUZZ_CHECK(run, faulted || shown.empty(), "start-up showed a message");
        break;
    case Action::Calcular:
        checkCalcular(run, before, shown, faulted);
        break;
    case Action::Borrar:
        if (faulted) {
            FUZZ_CHECK(run, s.RunIndex == before.runIndex, "RunIndex after a faulted clear");
            break;
        }
        FUZZ_CHECK(run, shown.empty(), "Borrar Gráfica showed a message");
        FUZZ_CHECK(run, s.RunIndex == 0 && s.MaxTemp == before.maxTemp, "store after Borrar Gráfica");
        for (int k = 0; k < 3; ++k)
            FUZZ_CHECK(run, !w.legendVisible[static_cast<std::size_t>(k)] && w.caption(label4(k)).empty(),
                       "legend " + std::to_string(k) + " after Borrar Gráfica");
        checkDrawnRuns(run);
        break;
    case Action::Salir:
        FUZZ_CHECK(run, w.closed && shown.empty(), "Salir");
        FUZZ_CHECK(run, s.RunIndex == before.runIndex && s.MaxTemp == before.maxTemp, "store after Salir");
        break;
    case Action::Mouse:
        FUZZ_CHECK(run, faulted || shown.empty(), "the read-out showed a message");
        FUZZ_CHECK(run, s.RunIndex == before.runIndex && s.MaxTemp == before.maxTemp && s.SimTime == before.simTime,
                   "the read-out changed the store");
        FUZZ_CHECK(run, w.pictureOps.revision() == before.revision, "the read-out drew on the graph");
        FUZZ_CHECK(run, w.crossCursor, "no cross-hair over the graph");
        if (!faulted)
            FUZZ_CHECK(run, w.caption(Label::Label6_0).find(" , ") != std::string::npos, "read-out caption");
        break;
    case Action::Edit:
        if (box == Box::Text2) {
            // The query: the checks and messages of "Calcular", in the slot
            // the next press fills; a comma in Text2 runs it twice.
            for (const std::string& m : shown)
                FUZZ_CHECK(run,
                           faulted || m == std::string(messages::valveAbove100()) ||
                               m == std::string(messages::checkParameters()) ||
                               m == std::string(messages::negativeTime()),
                           "the query showed <" + m + ">");
            if (!faulted)
                FUZZ_CHECK(run, s.RunIndex == before.runIndex && s.StepCount == 1000, "store after the query");
        } else if (box == Box::Text1_3) {
            // The time edit: every drawn run again over the new span, no
            // message, MaxTemp and RunIndex as they were.
            if (faulted)
                break;
            FUZZ_CHECK(run, shown.empty(), "the time edit showed a message");
            FUZZ_CHECK(run, s.RunIndex == before.runIndex && s.MaxTemp == before.maxTemp, "store after the time edit");
            FUZZ_CHECK(run, s.SimTime > 0, "SimTime " + num(s.SimTime));
            checkDrawnRuns(run);
        } else {
            // Any other box: nothing happens until the next load.
            FUZZ_CHECK(run, shown.empty() && w.pictureOps.revision() == before.revision, "an edit had an effect");
            FUZZ_CHECK(run, s.RunIndex == before.runIndex && s.MaxTemp == before.maxTemp && s.SimTime == before.simTime,
                       "an edit changed the store");
        }
        break;
    }
}

// One action through the guarded entry point, then the checks.
template <class Body> void perform(Run& run, Action action, Box box, std::string description, Body&& body)
{
    run.trace.push_back(std::move(description));
    const Snapshot before = snapshot(run);
    try {
        body();
    } catch (const std::exception& e) {
        fail(run, "an exception escaped a handler", e.what());
    } catch (...) {
        fail(run, "an exception escaped a handler", "");
    }
    checkAfter(run, action, box, before);
}

// A change of a box's text as the window reports it: only when it differs.
void edit(Run& run, Box box, const std::string& text, std::string description)
{
    if (run.window.text(box) == text)
        return;
    perform(run, Action::Edit, box, std::move(description), [&] { run.form.userTyped(box, text); });
}

bool parseBox(std::string_view line, Box& box)
{
    if (line.size() < 2 || line[1] < '0' || line[1] > '8')
        return false;
    box = static_cast<Box>(line[1] - '0');
    return true;
}

// The argument after "T4 ": everything after the box digit and one blank.
std::string argument(std::string_view line) { return std::string(line.size() > 3 ? line.substr(3) : ""); }

float coordinate(const char*& p)
{
    char* end = nullptr;
    float v = std::strtof(p, &end);
    p = end;
    if (std::isnan(v))
        return 0;
    return std::clamp(v, -FLT_MAX, FLT_MAX);  // the window only reports finite positions
}

std::string printable(std::string_view s)
{
    std::string out;
    for (unsigned char c : s.substr(0, 60)) {
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return s.size() > 60 ? out + "... (" + std::to_string(s.size()) + " bytes)" : out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string_view> lines;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        lines.push_back(input.substr(start, end - start));
        start = end + 1;
    }

    std::size_t next = 0;
    char separator = '.';
    if (!lines.empty() && lines[0] == "L,") {
        separator = ',';
        ++next;
    }
    Run run(separator);
    run.trace.push_back(std::string("locale separator ") + separator);

    for (; next < lines.size() && !lines[next].empty() && lines[next][0] == 'I'; ++next) {
        Box box;
        if (parseBox(lines[next], box)) {
            run.window.texts[static_cast<std::size_t>(box)] = argument(lines[next]);
            run.trace.push_back("initial text " + printable(lines[next]));
        }
    }
    perform(run, Action::Load, Box::Text1_0, "start-up", [&] { run.form.load(); });

    int actions = 0;
    for (; next < lines.size() && actions < kMaxActions; ++next) {
        const std::string_view line = lines[next];
        if (line.empty())
            continue;
        const std::string description = printable(line);
        Box box;
        switch (line[0]) {
        case 'C':
            perform(run, Action::Calcular, Box::Text1_0, description, [&] { run.form.clickCalcular(); });
            ++actions;
            break;
        case 'B':
            perform(run, Action::Borrar, Box::Text1_0, description, [&] { run.form.clickBorrarGrafica(); });
            ++actions;
            break;
        case 'S':
            perform(run, Action::Salir, Box::Text1_0, description, [&] { run.form.clickSalir(); });
            ++actions;
            break;
        case 'T':
            if (parseBox(line, box)) {
                edit(run, box, argument(line), description);
                ++actions;
            }
            break;
        case 'K':
            if (parseBox(line, box)) {
                const std::string typed = argument(line).substr(0, kMaxKeystrokes);
                for (char c : typed) {
                    if (actions >= kMaxActions)
                        break;
                    edit(run, box, run.window.text(box) + c, description + " [" + printable(std::string(1, c)) + "]");
                    ++actions;
                }
            }
            break;
        case 'X':
            if (parseBox(line, box)) {
                const int count = std::clamp(std::atoi(argument(line).c_str()), 0, static_cast<int>(kMaxKeystrokes));
                for (int k = 0; k < count && actions < kMaxActions; ++k) {
                    std::string text = run.window.text(box);
                    if (text.empty())
                        break;
                    text.pop_back();
                    edit(run, box, text, description);
                    ++actions;
                }
            }
            break;
        case 'M': {
            const std::string args(line.substr(1));
            const char* p = args.c_str();
            const float x = coordinate(p);
            const float y = coordinate(p);
            perform(run, Action::Mouse, Box::Text1_0, description, [&] { run.form.mouseMoved(x, y); });
            ++actions;
            break;
        }
        default:
            break;
        }
    }
    return 0;
}
