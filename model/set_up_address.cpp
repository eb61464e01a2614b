#include "model/set_up_address.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "model/memory_window.h"
#include "model/messages.h"
#include "toolkit/fault.h"
#include "toolkit/text.h"

namespace calvetra {

namespace {

constexpr std::size_t kMaxAddress = 2000;  // three runs need about 200
constexpr std::size_t kMaxNumber = 24;
constexpr double kHuge = 1e9;
constexpr std::size_t kMaxRuns = 3;

// The keys of the boxes, in the order the address writes them.
struct BoxKey {
    const char* key;
    Box box;
    std::optional<double> SetUp::*field;
    bool negativeAllowed;  // a negative heater power cools the tank
};
constexpr std::array<BoxKey, 6> kBoxKeys = {{
    {"V", text1(kVolumeIndex), &SetUp::volume, false},
    {"Q", text1(kFeedFlowIndex), &SetUp::inflow, false},
    {"To", text1(kInitialTempIndex), &SetUp::initialTemp, false},
    {"Ap", text1(kValveIndex), &SetUp::valve, false},
    {"q", text1(kPowerIndex), &SetUp::power, true},
    {"t", text1(kSimTimeIndex), &SetUp::span, false},
}};

std::optional<double> boxNumber(const Window& window, Box box)
{
    try {
        return text::parseLeadingNumber(window.text(box));
    } catch (const RuntimeFault&) {
        return std::nullopt;  // a number beyond any range: nothing to keep
    }
}

std::string runText(const RunFigures& f)
{
    std::string s;
    for (const double v : {f.volume, f.inflow, f.initialTemp, f.valve, f.power, f.span}) {
        if (!s.empty())
            s += ',';
        s += text::exactNumber(v);
    }
    return s;
}

using catalogue::format;

// A piece of the address as the message quotes it: printable ASCII only,
// and short.
std::string quoted(std::string_view s)
{
    std::string out;
    for (char c : s.substr(0, 30))
        out += (c >= 0x20 && c < 0x7f) ? c : '?';
    return format(Text::Quoted, {out + (s.size() > 30 ? "…" : "")});
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// -d[.d][e[+-]d], digits one or more each: nothing else is a number here
// (no blanks, no "inf", no comma, no leading "+").
bool numberSyntax(std::string_view s)
{
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        return i > start;
    };
    if (i < s.size() && s[i] == '-')
        ++i;
    if (!digits())
        return false;
    if (i < s.size() && s[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (!digits())
            return false;
    }
    return i == s.size();
}

// The number, or why it cannot be taken.
struct Number {
    double value = 0;
    std::string_view problem;  // empty when the number is good
};

Number readNumber(std::string_view s, bool negativeAllowed)
{
    if (s.empty())
        return {0, catalogue::text(Text::NumberEmpty)};
    if (s.size() > kMaxNumber || !numberSyntax(s))
        return {0, catalogue::text(Text::NumberNotANumber)};
    double v = 0;
    try {
        v = text::parseLeadingNumber(s);
    } catch (const RuntimeFault&) {
        return {0, catalogue::text(Text::NumberTooLarge)};
    }
    if (!(std::fabs(v) <= kHuge))
        return {0, catalogue::text(Text::NumberTooLarge)};
    if (v < 0 && !negativeAllowed)
        return {0, catalogue::text(Text::NumberNegative)};
    return {v, {}};
}

std::vector<std::string_view> split(std::string_view s, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t end = s.find(separator); end != std::string_view::npos; end = s.find(separator, start)) {
        parts.push_back(s.substr(start, end - start));
        start = end + 1;
    }
    parts.push_back(s.substr(start));
    return parts;
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One layer of percent-encoding taken off; nothing when a "%" is not
// followed by two hexadecimal digits.
std::optional<std::string> percentDecoded(std::string_view s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        const int hi = i + 2 < s.size() ? hexValue(s[i + 1]) : -1;
        const int lo = i + 2 < s.size() ? hexValue(s[i + 2]) : -1;
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

std::string_view trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

ParsedAddress unread(std::string_view why) { return {{}, {}, {}, std::string(why)}; }

void readRuns(std::string_view value, ParsedAddress& out)
{
    const std::vector<std::string_view> runs = split(value, ';');
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const std::string number = std::to_string(k + 1);
        if (k == kMaxRuns) {
            out.ignored.emplace_back(catalogue::text(Text::IgnoredRunsBeyondThree));
            return;
        }
        const std::vector<std::string_view> figures = split(runs[k], ',');
        if (figures.size() != 6) {
            out.ignored.push_back(format(Text::IgnoredRunNotSix, {number, quoted(runs[k])}));
            continue;
        }
        std::array<double, 6> v{};
        std::string problem;
        for (std::size_t f = 0; f < 6 && problem.empty(); ++f) {
            const Number n = readNumber(figures[f], f == 4);
            v[f] = n.value;
            if (!n.problem.empty())
                problem = format(Text::IgnoredRunFigure, {number, quoted(figures[f]), n.problem});
        }
        if (!problem.empty())
            out.ignored.push_back(problem);
        else {
            out.setUp.runs.push_back({v[0], v[1], v[2], v[3], v[4], v[5]});
            out.runNumbers.push_back(k + 1);
        }
    }
}

void readField(std::string_view key, std::string_view value, ParsedAddress& out)
{
    SetUp& s = out.setUp;
    for (const BoxKey& k : kBoxKeys) {
        if (key != k.key)
            continue;
        const Number n = readNumber(value, k.negativeAllowed);
        if (!n.problem.empty())
            out.ignored.push_back(
                format(Text::IgnoredValue, {quoted(std::string(key) + "=" + std::string(value)), n.problem}));
        else
            s.*k.field = n.value;
        return;
    }
    if (key == "i") {
        const Number n = readNumber(value, false);
        if (!n.problem.empty())
            out.ignored.push_back(format(Text::IgnoredValue, {quoted("i=" + std::string(value)), n.problem}));
        else
            s.instant = n.value;
    } else if (key == "n") {
        if (value == "1000" || value == "5000")
            s.queryBeforeTimeEdit = value == "1000";
        else
            out.ignored.push_back(format(Text::IgnoredStepCount, {quoted("n=" + std::string(value))}));
    } else if (key == "runs") {
        readRuns(value, out);
    } else if (key == "lang") {
        // An unknown language: Spanish, and the message names it.
        s.language = catalogue::language(value) ? std::string(value) : "es";
        if (!catalogue::language(value))
            out.ignored.push_back(format(Text::AddressUnknownLanguage, {quoted(value)}));
    } else if (key != "fin") {
        out.ignored.push_back(format(Text::IgnoredUnknownKey, {quoted(key)}));
    }
}

}  // namespace

std::string addressOf(const Form1& form, const Window& window)
{
    std::string out = "v=1";
    for (const BoxKey& k : kBoxKeys)
        if (const auto v = boxNumber(window, k.box))
            out += std::string("&") + k.key + "=" + text::exactNumber(*v);
    // The instantaneous time once a query has run, whatever it holds now.
    if (form.queried())
        if (const auto v = boxNumber(window, Box::Text2))
            out += "&i=" + text::exactNumber(*v);
    const DrawnGraph& graph = form.drawnGraph();
    if (!graph.runs.empty() && graph.stepCount == 1000)
        out += "&n=1000";
    if (const std::string_view language = catalogue::current().code; language != "es")
        out += "&lang=" + std::string(language);
    if (!graph.runs.empty()) {
        out += "&runs=";
        for (std::size_t k = 0; k < graph.runs.size(); ++k) {
            if (k > 0)
                out += ';';
            out += runText(graph.runs[k].typed);
        }
    }
    return out + "&fin";
}

ParsedAddress parseAddress(std::string_view address)
{
    std::string_view text = trimmed(address);
    const std::size_t hash = text.find('#');
    if (hash != std::string_view::npos)
        text.remove_prefix(hash + 1);
    else if (!text.empty() && text.substr(0, 2) != "v=")
        return unread(catalogue::text(Text::AddressWhyNotALink));
    if (text.empty())
        return {};
    if (text.size() > kMaxAddress)
        return unread(catalogue::text(Text::AddressWhyTooLong));
    const std::optional<std::string> decoded = percentDecoded(text);
    if (!decoded)
        return unread(catalogue::text(Text::AddressWhyBadPercent));
    if (decoded->find('%') != std::string::npos)
        return unread(catalogue::text(Text::AddressWhyDoublyEncoded));

    std::vector<std::string_view> fields = split(*decoded, '&');
    const std::string_view version = fields.front();
    if (version.substr(0, 2) != "v=")
        return unread(catalogue::text(Text::AddressWhyNoVersion));
    if (version != "v=1")
        return unread(format(Text::AddressWhyOtherVersion, {quoted(version.substr(2))}));

    ParsedAddress out;
    if (fields.back() != "fin") {
        // The last field may have lost its end: nothing of it is trusted.
        if (fields.size() > 1)
            out.ignored.push_back(format(Text::IgnoredCutField, {quoted(fields.back())}));
        else
            out.ignored.emplace_back(catalogue::text(Text::IgnoredCutNothing));
        fields.pop_back();
    }
    std::vector<std::string_view> seen;
    for (std::size_t f = 1; f < fields.size(); ++f) {
        const std::size_t eq = fields[f].find('=');
        const std::string_view key = fields[f].substr(0, eq);
        const std::string_view value = eq == std::string_view::npos ? std::string_view() : fields[f].substr(eq + 1);
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
            out.ignored.push_back(format(Text::IgnoredRepeatedKey, {quoted(fields[f]), quoted(key)}));
            continue;
        }
        seen.push_back(key);
        readField(key, value, out);
    }
    return out;
}

namespace {

std::string listed(const std::vector<std::string>& items)
{
    std::string out = items.empty() ? std::string() : items.front();
    for (std::size_t k = 1; k < items.size(); ++k)
        out = format(k + 1 == items.size() ? Text::ListLast : Text::ListNext, {out, items[k]});
    return out;
}

}  // namespace

std::string addressMessage(const ParsedAddress& parsed)
{
    if (!parsed.unread.empty())
        return parsed.ignored.empty() ? format(Text::AddressUnread, {parsed.unread})
                                      : format(Text::AddressUnreadAndIgnored, {parsed.unread, listed(parsed.ignored)});
    if (parsed.ignored.empty())
        return {};
    return format(Text::AddressIgnored, {listed(parsed.ignored)});
}

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
    for (std::size_t k = 0; k < s.runs.size(); ++k) {
        const RunFigures& r = s.runs[k];
        for (const auto& [box, v] : {std::pair{text1(kVolumeIndex), r.volume},
                                     {text1(kFeedFlowIndex), r.inflow},
                                     {text1(kInitialTempIndex), r.initialTemp},
                                     {text1(kValveIndex), r.valve},
                                     {text1(kPowerIndex), r.power},
                                     {text1(kSimTimeIndex), r.span}})
            type(form, box, v);
        form.clickCalcular();
        if (!check(Step::Run, k))
            return;
    }
    for (const BoxKey& k : kBoxKeys)
        if (k.box != text1(kSimTimeIndex) && s.*k.field)
            type(form, k.box, *(s.*k.field));
    const bool queryFirst = s.queryBeforeTimeEdit && !s.runs.empty();
    const auto query = [&] {
        if (s.instant)
            type(form, Box::Text2, *s.instant, true);
        return check(Step::Instant, 0);
    };
    if (queryFirst && !query())
        return;
    if (s.span)
        type(form, text1(kSimTimeIndex), *s.span, queryFirst);
    else if (queryFirst)
        form.userChangedText(text1(kSimTimeIndex));
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
    // Each refusal takes one piece out (a run, the span or the query), so
    // this ends after a few trials; should it not, nothing is replayed.
    int refusals = 0;
    while (const std::optional<Refusal> refused = trial(form, window, s)) {
        if (++refusals > static_cast<int>(kMaxRuns) + 2) {
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
            parsed.ignored.push_back(format(Text::IgnoredRunRefused, {std::to_string(parsed.runNumbers[refused->run]),
                                                                      quoted(runText(s.runs[refused->run])), why}));
            s.runs.erase(s.runs.begin() + static_cast<long>(refused->run));
            parsed.runNumbers.erase(parsed.runNumbers.begin() + static_cast<long>(refused->run));
            break;
        case Step::Span:
            parsed.ignored.push_back(refusedValue("t", s.span.value_or(0)));
            s.span.reset();
            s.queryBeforeTimeEdit = false;
            break;
        case Step::Instant:
            parsed.ignored.push_back(refusedValue("i", s.instant.value_or(0)));
            s.instant.reset();
            break;
        }
    }
    replay(form, s, [](Step, std::size_t) { return true; });
    return addressMessage(parsed);
}

}  // namespace calvetra
