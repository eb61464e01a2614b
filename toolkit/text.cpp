#include "toolkit/text.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

#include "toolkit/fault.h"

namespace calvetra::text {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Collects the characters of the leading number, blanks removed, in a form
// std::from_chars accepts. Also tracks whether any mantissa digit is non-zero
// and the decimal exponent of the number's magnitude, which tells an overflow
// from an underflow when from_chars reports the value out of range.
struct NumberText {
    std::string chars;
    bool nonZero = false;
    long magnitude = 0;  // about log10 of the value
};

NumberText collect(std::string_view s)
{
    NumberText out;
    enum { Sign, Integer, Fraction, ExpSign, ExpDigits } state = Sign;
    std::string exponent;
    long intDigits = 0;
    long leadingFractionZeros = 0;
    bool seenNonZero = false;
    for (char c : s) {
        if (isBlank(c))
            continue;
        if (state == Sign && (c == '+' || c == '-')) {
            if (c == '-')
                out.chars += '-';
            state = Integer;
        } else if ((state == Sign || state == Integer) && isDigit(c)) {
            state = Integer;
            if (c != '0' || seenNonZero) {
                seenNonZero = true;
                ++intDigits;
            }
            out.chars += c;
        } else if ((state == Sign || state == Integer) && c == '.') {
            state = Fraction;
            out.chars += c;
        } else if (state == Fraction && isDigit(c)) {
            if (c != '0')
                seenNonZero = true;
            else if (!seenNonZero)
                ++leadingFractionZeros;
            out.chars += c;
        } else if ((state == Integer || state == Fraction) && (c == 'e' || c == 'E')) {
            state = ExpSign;
        } else if (state == ExpSign && (c == '+' || c == '-')) {
            if (c == '-')
                exponent += '-';
            state = ExpDigits;
        } else if ((state == ExpSign || state == ExpDigits) && isDigit(c)) {
            state = ExpDigits;
            exponent += c;
        } else {
            break;
        }
    }
    out.nonZero = seenNonZero;
    long exp10 = 0;
    if (!exponent.empty() && exponent != "-") {
        // Clamp absurd exponents; only their sign and size matter here.
        const bool negative = exponent[0] == '-';
        std::string_view digits(exponent);
        if (negative)
            digits.remove_prefix(1);
        long value = 0;
        for (char d : digits) {
            value = value * 10 + (d - '0');
            if (value > 100000000) {
                value = 100000000;
                break;
            }
        }
        exp10 = negative ? -value : value;
        out.chars += 'e';
        out.chars += std::to_string(exp10);
    }
    out.magnitude = (intDigits > 0 ? intDigits : -leadingFractionZeros) + exp10;
    return out;
}

// Rounds a non-negative decimal digit string "ddd.ddd" (exact expansion) to
// the given number of decimals, halves away from zero.
std::string roundDecimalText(const std::string& exact, int decimals)
{
    const auto point = exact.find('.');
    std::string intPart = exact.substr(0, point);
    std::string frac = point == std::string::npos ? std::string() : exact.substr(point + 1);
    frac.resize(static_cast<std::size_t>(decimals) + 1, '0');
    const bool roundUp = frac.back() >= '5';
    frac.pop_back();
    std::string digits = intPart + frac;
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
            digits[static_cast<std::size_t>(i--)] = '0';
        if (i < 0)
            digits.insert(digits.begin(), '1');
        else
            ++digits[static_cast<std::size_t>(i)];
    }
    const std::size_t intLen = digits.size() - static_cast<std::size_t>(decimals);
    return digits.substr(0, intLen) + '.' + digits.substr(intLen);
}

std::string withSeparator(std::string s, char separator)
{
    for (char& c : s)
        if (c == '.')
            c = separator;
    return s;
}

// The three floating-point conversions the text services make. The C++
// library's own where it has them; otherwise (the WebAssembly build's C++
// library has neither std::from_chars nor std::to_chars for doubles) the C
// library's strtod and snprintf, which are exact as well.
#if defined(__cpp_lib_to_chars) && !defined(CALVETRA_C_NUMBER_CONVERSIONS)

std::errc readDouble(const std::string& chars, double& value)
{
    const auto res = std::from_chars(chars.data(), chars.data() + chars.size(), value);
    return res.ptr == chars.data() ? std::errc::invalid_argument : res.ec;
}

template <class T> std::string printGeneral(T v, int digits)
{
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::general, digits);
    return std::string(buf.data(), res.ptr);
}

// Every decimal of a non-negative double (at most 1074 after the point).
std::string printExact(double v)
{
    static thread_local std::array<char, 1500> buf;
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed, 1074);
    return std::string(buf.data(), res.ptr);
}

#else

std::errc readDouble(const std::string& chars, double& value)
{
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(chars.c_str(), &end);
    if (end == chars.c_str())
        return std::errc::invalid_argument;
    // strtod also reports a subnormal result; only zero and infinity are out
    // of range, as for std::from_chars.
    if (errno == ERANGE && (v == 0 || std::isinf(v)))
        return std::errc::result_out_of_range;
    value = v;
    return {};
}

// A float is widened exactly, so its digits are those of its own value.
template <class T> std::string printGeneral(T v, int digits)
{
    std::array<char, 64> buf{};
    const int n = std::snprintf(buf.data(), buf.size(), "%.*g", digits, static_cast<double>(v));
    return std::string(buf.data(), static_cast<std::size_t>(n));
}

std::string printExact(double v)
{
    static thread_local std::array<char, 1500> buf;
    const int n = std::snprintf(buf.data(), buf.size(), "%.1074f", v);
    return std::string(buf.data(), static_cast<std::size_t>(n));
}

#endif

template <class T> std::string generalForm(T v, int digits, char separator)
{
    if (v == 0)
        return "0";  // also for -0
    std::string s = printGeneral(v, digits);
    const auto e = s.find('e');
    if (e != std::string::npos)
        s[e] = 'E';
    return withSeparator(std::move(s), separator);
}

}  // namespace

double parseLeadingNumber(std::string_view s)
{
    const NumberText n = collect(s);
    double value = 0.0;
    const std::errc ec = readDouble(n.chars, value);
    if (ec == std::errc::invalid_argument)
        return 0.0;  // no number at the start ("", "-", ".", "abc")
    if (ec == std::errc::result_out_of_range) {
        if (n.nonZero && n.magnitude > 0)
            raiseFault(FaultKind::Overflow);
        return 0.0;  // underflow: the value is as good as zero
    }
    if (!std::isfinite(value))
        raiseFault(FaultKind::Overflow);
    return value;
}

std::string general(double v, char separator) { return generalForm(v, 15, separator); }
std::string general(float v, char separator) { return generalForm(v, 7, separator); }
std::string significant(double v, int digits, char separator) { return generalForm(v, digits, separator); }

std::string exactNumber(double v)
{
    std::string s;
    for (int digits = 15; digits <= 17; ++digits) {
        s = generalForm(v, digits, '.');
        if (parseLeadingNumber(s) == v)
            break;
    }
    return s;
}

std::string printedNumber(double v, char separator)
{
    std::string s = general(v, separator);
    if (s[0] != '-')
        s.insert(s.begin(), ' ');
    return s + ' ';
}

std::string fixed(double v, int decimals, char separator)
{
    // The exact decimal expansion of the double (at most 1074 decimals), so
    // that halves are found exactly and rounded away from zero.
    std::string rounded = roundDecimalText(printExact(std::fabs(v)), decimals);
    const bool allZero = rounded.find_first_not_of("0.") == std::string::npos;
    if (v < 0 && !allZero)
        rounded.insert(rounded.begin(), '-');
    return withSeparator(std::move(rounded), separator);
}

std::string pointOne(double v, char separator)
{
    std::string s = fixed(v, 1, separator);
    // "0.5" -> ".5", "-0.5" -> "-.5"
    const std::size_t zero = s[0] == '-' ? 1 : 0;
    if (s.size() > zero + 1 && s[zero] == '0' && s[zero + 1] == separator)
        s.erase(zero, 1);
    return s;
}

double roundToOneDecimal(double v)
{
    // Beyond 1e15 a double has no digit after the decimal point to round.
    if (std::fabs(v) >= 1e15)
        return v;
    return std::nearbyint(v * 10.0) / 10.0;
}

std::int32_t roundToInt32(double v)
{
    const double r = std::nearbyint(v);
    if (!(r >= std::numeric_limits<std::int32_t>::min() && r <= std::numeric_limits<std::int32_t>::max()))
        raiseFault(FaultKind::IntegerOverflow);
    return static_cast<std::int32_t>(r);
}

std::string commasToPoints(std::string s)
{
    for (char& c : s)
        if (c == ',')
            c = '.';
    return s;
}

}  // namespace calvetra::text
