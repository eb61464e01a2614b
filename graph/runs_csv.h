#pragma once

// The drawn runs as a table for spreadsheets: one row per step with its
// time and every drawn run's temperature, exactly the numbers on the graph.

#include <string>

#include "graph/drawn_graph.h"

namespace calvetra {

// UTF-8 with a byte order mark and CRLF line ends. In a locale whose
// decimal separator is the comma, fields are separated by ";"; otherwise by
// ",". The header is "t (s)" and each run's heading (its legend with the
// heater power and the span, so that no two columns read alike); a run that stopped at an
// overflow has empty cells after its last drawn step. Numbers carry 15
// significant digits and no thousands separator. With the exact solution
// shown, each run's column is followed by its closed form and the error of
// Runge-Kutta against it (model/exact_solution.h).
std::string drawnRunsCsv(const DrawnGraph& graph, char decimalSeparator);

// The field separator of a CSV in a locale with that decimal separator, a
// field as a CSV holds it (quoted where it must be), and what opens a CSV.
char csvSeparator(char decimalSeparator);
std::string csvField(const std::string& s, char separator);
inline constexpr const char* kCsvStart = "\xEF\xBB\xBF";  // byte order mark

}  // namespace calvetra
