#include "model/address_codec.h"

#include <algorithm>
#include <cmath>

#include "toolkit/catalogue.h"
#include "toolkit/fault.h"
#include "toolkit/runs.h"
#include "toolkit/text.h"

namespace calvetra {

namespace {

constexpr std::size_t kMaxAddress = 2000;  // three runs need about 200
constexpr std::size_t kMaxNumber = 24;
constexpr double kHuge = 1e9;

using catalogue::format;

std::string quoted(std::string_view s) { return quotedPiece(s); }

// The step counts n= may give.
const std::string kQueryStepsText = std::to_string(kQuerySteps);
const std::string kCalculationStepsText = std::to_string(kCalculationSteps);

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
        if (k == static_cast<std::size_t>(kRunCount)) {
            out.ignored.emplace_back(catalogue::text(Text::IgnoredRunsBeyondThree));
            return;
        }
        const std::vector<std::string_view> figures = split(runs[k], ',');
        if (figures.size() != kFigureCount) {
            out.ignored.push_back(format(Text::IgnoredRunNotSix, {number, quoted(runs[k])}));
            continue;
        }
        RunFigures run;
        std::string problem;
        for (std::size_t f = 0; f < kFigureCount && problem.empty(); ++f) {
            const Number n = readNumber(figures[f], kFigures[f].negativeAllowed);
            run.*kFigures[f].member = n.value;
            if (!n.problem.empty())
                problem = format(Text::IgnoredRunFigure, {number, quoted(figures[f]), n.problem});
        }
        if (!problem.empty())
            out.ignored.push_back(problem);
        else {
            out.setUp.runs.push_back(run);
            out.runNumbers.push_back(k + 1);
        }
    }
}

void readField(std::string_view key, std::string_view value, ParsedAddress& out)
{
    SetUp& s = out.setUp;
    for (const FigureKind& k : kFigures) {
        if (key != k.key)
            continue;
        const Number n = readNumber(value, k.negativeAllowed);
        if (!n.problem.empty())
            out.ignored.push_back(
                format(Text::IgnoredValue, {quoted(std::string(key) + "=" + std::string(value)), n.problem}));
        else
            s.boxes[order(k.figure)] = n.value;
        return;
    }
    if (key == "i") {
        const Number n = readNumber(value, false);
        if (!n.problem.empty())
            out.ignored.push_back(format(Text::IgnoredValue, {quoted("i=" + std::string(value)), n.problem}));
        else
            s.instant = n.value;
    } else if (key == "n") {
        if (value == kQueryStepsText || value == kCalculationStepsText)
            s.queryBeforeTimeEdit = value == kQueryStepsText;
        else
            out.ignored.push_back(format(Text::IgnoredStepCount, {quoted("n=" + std::string(value))}));
    } else if (key == "exact") {
        if (value == "0" || value == "1")
            s.exact = value == "1";
        else
            out.ignored.push_back(format(Text::IgnoredExactValue, {quoted("exact=" + std::string(value))}));
    } else if (key == "runs") {
        readRuns(value, out);
    } else if (key == "lang") {
        // An unknown language: Spanish, and the message names it.
        s.language = catalogue::language(value) ? std::string(value) : "es";
        if (!catalogue::language(value))
            out.ignored.push_back(format(Text::AddressUnknownLanguage, {quoted(value)}));
    } else if (key == "view" && (value == "projector" || value == "window")) {
        s.projector = value == "projector";
    } else if (key == "marks" && (value == "0" || value == "1")) {
        s.marks = value == "1";
    } else if (key == "view" || key == "marks") {
        out.ignored.push_back(format(Text::IgnoredValue, {quoted(std::string(key) + "=" + std::string(value)),
                                                          catalogue::text(Text::NotAChoice)}));
    } else if (key != "fin") {
        out.ignored.push_back(format(Text::IgnoredUnknownKey, {quoted(key)}));
    }
}

}  // namespace

std::string quotedPiece(std::string_view s)
{
    std::string out;
    for (char c : s.substr(0, 30))
        out += (c >= 0x20 && c < 0x7f) ? c : '?';
    return format(Text::Quoted, {out + (s.size() > 30 ? "…" : "")});
}

std::string runRecord(const RunFigures& run)
{
    std::string s;
    for (const FigureKind& k : kFigures) {
        if (!s.empty())
            s += ',';
        s += text::exactNumber(run.*k.member);
    }
    return s;
}

std::string writeAddress(const SetUp& setUp)
{
    std::string out = "v=1";
    for (const FigureKind& k : kFigures)
        if (const std::optional<double> v = setUp.boxes[order(k.figure)])
            out += std::string("&") + k.key + "=" + text::exactNumber(*v);
    if (setUp.instant)
        out += "&i=" + text::exactNumber(*setUp.instant);
    if (setUp.queryBeforeTimeEdit)
        out += "&n=" + kQueryStepsText;
    if (setUp.exact)
        out += "&exact=1";
    if (!setUp.language.empty())
        out += "&lang=" + setUp.language;
    if (setUp.projector)
        out += "&view=projector";
    if (setUp.marks && *setUp.marks != setUp.projector)
        out += std::string("&marks=") + (*setUp.marks ? "1" : "0");
    if (!setUp.runs.empty()) {
        out += "&runs=";
        for (std::size_t k = 0; k < setUp.runs.size(); ++k) {
            if (k > 0)
                out += ';';
            out += runRecord(setUp.runs[k]);
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

}  // namespace calvetra
