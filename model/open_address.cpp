#include "model/open_address.h"

#include <functional>
#include <optional>

#include "model/memory_window.h"
#include "model/messages.h"
#include "toolkit/catalogue.h"
#include "toolkit/fault.h"
#include "toolkit/text.h"

namespace calvetra {

namespace {

using catalogue::format;

std::optional<double> boxNumber(const Window& window, Box box)
{
    try {
        return text::parseLeadingNumber(window.text(box));
    } catch (const RuntimeFault&) {
        return std::nullopt;  // a number beyond any range: nothing to keep
    }
}

}  // namespace

SetUp setUpOf(const Form1& form, const Window& window)
{
    SetUp setUp;
    for (const FigureKind& k : kFigures)
        setUp.boxes[order(k.figure)] = boxNumber(window, k.box);
    // The instantaneous time once a query has run, whatever it holds now.
    if (form.queried())
        setUp.instant = boxNumber(window, Box::Text2);
    const DrawnGraph& graph = form.drawnGraph();
    setUp.queryBeforeTimeEdit = !graph.runs.empty() && graph.stepCount == kQuerySteps;
    setUp.exact = form.exactSolutionShown();
    if (const std::string_view language = catalogue::current().code; language != "es")
        setUp.language = language;
    for (const DrawnRun& run : graph.runs)
        setUp.runs.push_back(run.typed);
    const layout::GraphLook& look = form.graphLook();
    setUp.projector = look.view == layout::GraphView::Projector;
    setUp.marks = look.marks;
    return setUp;
}

std::string addressOf(const Form1& form, const Window& window) { return writeAddress(setUpOf(form, window)); }

namespace {

// A window without a screen for a trial run of an address, starting from
// what the real window holds.
MemoryWindow trialWindowFor(const Window& real)
{
    MemoryWindow trial;
    for (std::size_t b = 0; b < trial.texts.size(); ++b)
        trial.texts[b] = real.text(static_cast<Box>(b));
    trial.size = real.pictureSize();
    return trial;
}

// The pieces of a set-up that are replayed one after the other, and that a
// trial run can refuse one by one.
enum class Step { Run, Span, Instant };
struct Refusal {
    Step step;
    std::size_t run = 0;
    std::string message;
};

// A user typing a figure into a box (forced: even the text it holds).
void type(Form1& form, Box box, double value, bool force = false)
{
    form.userTyped(box, text::exactNumber(value), force);
}

// Replays the set-up; check() is called after each step with that step and
// returns false to stop there.
void replay(Form1& form, const SetUp& s, const std::function<bool(Step, std::size_t)>& check)
{
    form.setExactSolution(s.exact);
    for (std::size_t k = 0; k < s.runs.size(); ++k) {
        for (const FigureKind& figure : kFigures)
            type(form, figure.box, s.runs[k].*figure.member);
        form.clickCalcular();
        if (!check(Step::Run, k))
            return;
    }
    for (const FigureKind& k : kFigures)
        if (k.figure != Figure::Span && s.boxes[order(k.figure)])
            type(form, k.box, *s.boxes[order(k.figure)]);
    const std::optional<double>& span = s.boxes[order(Figure::Span)];
    const Box spanBox = figureKind(Figure::Span).box;
    const bool queryFirst = s.queryBeforeTimeEdit && !s.runs.empty();
    const auto query = [&] {
        if (s.instant)
            type(form, Box::Text2, *s.instant, true);
        return check(Step::Instant, 0);
    };
    if (queryFirst && !query())
        return;
    if (span)
        type(form, spanBox, *span, queryFirst);
    else if (queryFirst)
        form.userChangedText(spanBox);
    if (!check(Step::Span, 0))
        return;
    if (!queryFirst)
        query();
}

// A trial run on a window without a screen: the first step the program
// refuses, with its message. The overflow message is the program's report
// of a run it draws, not a refusal.
std::optional<Refusal> trial(const Form1& form, const Window& window, const SetUp& setUp)
{
    MemoryWindow scratch = trialWindowFor(window);
    Form1 trialForm(scratch, form.separator());
    trialForm.load();
    std::optional<Refusal> refusal;
    replay(trialForm, setUp, [&](Step step, std::size_t run) {
        for (const std::string& m : scratch.messages)
            if (!messages::isOverflow(m)) {
                refusal = Refusal{step, run, m};
                return false;
            }
        scratch.messages.clear();
        return true;
    });
    return refusal;
}

}  // namespace

bool chooseLinkLanguage(Form1& form, std::string_view address)
{
    const std::string language = parseAddress(address).setUp.language;
    if (language.empty() || language == catalogue::current().code)
        return false;
    catalogue::choose(language);
    form.languageChanged();
    return true;
}

std::string openAddress(Form1& form, Window& window, std::string_view address,
                        const std::vector<std::string>& alsoIgnored)
{
    // The link's language first, so that its message is in it too.
    chooseLinkLanguage(form, address);
    ParsedAddress parsed = parseAddress(address);
    parsed.ignored.insert(parsed.ignored.begin(), alsoIgnored.begin(), alsoIgnored.end());
    SetUp& s = parsed.setUp;
    std::optional<double>& span = s.boxes[order(Figure::Span)];
    // Each refusal takes one piece out (a run, the span or the query), so
    // this ends after a few trials; should it not, nothing is replayed.
    int refusals = 0;
    while (const std::optional<Refusal> refused = trial(form, window, s)) {
        if (++refusals > kRunCount + 2) {
            parsed.ignored.push_back(format(Text::IgnoredRestRefused, {refused->message}));
            s = {};
            break;
        }
        const std::string_view why = refused->message;
        // A refused value quoted whole: its figure is never cut short.
        const auto refusedValue = [&](std::string_view key, double value) {
            return format(Text::IgnoredValueRefused,
                          {format(Text::Quoted, {std::string(key) + "=" + text::exactNumber(value)}), why});
        };
        switch (refused->step) {
        case Step::Run:
            parsed.ignored.push_back(
                format(Text::IgnoredRunRefused, {std::to_string(parsed.runNumbers[refused->run]),
                                                 quotedPiece(runRecord(s.runs[refused->run])), why}));
            s.runs.erase(s.runs.begin() + static_cast<long>(refused->run));
            parsed.runNumbers.erase(parsed.runNumbers.begin() + static_cast<long>(refused->run));
            break;
        case Step::Span:
            parsed.ignored.push_back(refusedValue(figureKind(Figure::Span).key, span.value_or(0)));
            span.reset();
            s.queryBeforeTimeEdit = false;
            break;
        case Step::Instant:
            parsed.ignored.push_back(refusedValue("i", s.instant.value_or(0)));
            s.instant.reset();
            break;
        }
    }
    // The look first, so that every curve is drawn in it.
    const layout::GraphView view = s.projector ? layout::GraphView::Projector : layout::GraphView::Window;
    // The system's high contrast is the system's, not the link's: it stays.
    layout::GraphLook look = layout::lookOf(view);
    look.marks = s.marks.value_or(look.marks);
    look.systemContrast = form.graphLook().systemContrast;
    form.chooseGraphLook(look);
    replay(form, s, [](Step, std::size_t) { return true; });
    return addressMessage(parsed);
}

}  // namespace calvetra
