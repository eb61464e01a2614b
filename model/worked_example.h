#pragma once

// The figures the help quotes, worked out by the program itself: the
// initial boxes run through "Calcular", the instantaneous query and an
// overflow, on a window that exists only in memory. The help text holds
// placeholders such as {{temperatura_final}}; fillHelp puts the figures in.

#include <string>

namespace calvetra {

struct WorkedExample {
    std::string outflow;    // Text1(6) after start-up: "10.00"
    std::string hours;      // Label5 after start-up: "= 5.56 h"
    std::string finalTemp;  // run 0 at the end of the span, "0.0": "107.8"
    std::string legend;     // Label4(0) after the first press
    std::string query100;   // Label2 for t = 100 s: "24.4"
    std::string query1000;  // Label2 for t = 1000 s: "55.3"
    std::string overflow;   // the message with the valve closed
    std::string simTime;    // Text1(3) as the window opens: "20000"
};

WorkedExample workedExample(char separator);

// The help text with every placeholder replaced by its figure.
std::string fillHelp(std::string html, char separator);

}  // namespace calvetra
