#pragma once

// Text services: how the program reads numbers out of the boxes and writes
// numbers into captions. Every function that writes a number takes the
// decimal separator of the user's locale ('.' or ','); reading always takes
// '.' as the only separator.

#include <cstdint>
#include <string>
#include <string_view>

namespace calvetra::text {

// Reads the number at the start of a text. Blanks, tabs and line feeds are
// ignored wherever they stand; then an optional sign, digits, one '.', more
// digits and an optional exponent (E or e, optional sign, digits) are read up
// to the first character that cannot continue the number. The rest is
// ignored, so "1,5" reads 1; a text with no number at its start reads 0.
// A magnitude beyond the 64-bit range raises an overflow fault.
double parseLeadingNumber(std::string_view s);

// General number form: at most 15 (double) or 7 (float) significant digits,
// trailing zeros dropped, no thousands separator, exponent form (1E-05,
// 1.234568E+08) where the digits do not reach.
std::string general(double v, char separator);
std::string general(float v, char separator);
// The same form with as many significant digits as asked for (1 to 17).
std::string significant(double v, int digits, char separator);

// The general form with '.' and as many significant digits (15 to 17) as it
// takes to read back as the same double: numbers written for the program
// itself to read again.
std::string exactNumber(double v);

// A number printed on the graph: its general form with a blank before it, in
// the place of a sign, and one after it (" 5000 ", "-2.5 ").
std::string printedNumber(double v, char separator);

// Pattern "0.00" / "0.0": at least one integer digit and exactly that many
// decimals, halves rounded away from zero, a minus sign for a negative value.
std::string fixed(double v, int decimals, char separator);

// Pattern ".0": one decimal, no digit before the separator when the integer
// part is zero (0.5 gives ".5", 0 gives ".0").
std::string pointOne(double v, char separator);

// Rounding with halves to the even neighbour.
double roundToOneDecimal(double v);
std::int32_t roundToInt32(double v);  // faults beyond the 32-bit range

// Every occurrence of ',' turned into '.'.
std::string commasToPoints(std::string s);

}  // namespace calvetra::text
