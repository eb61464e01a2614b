#pragma once

// What a run of a series is: how many the graph holds, what tells each
// apart on the window (its colour, its legend line and legend label, its
// name in the data table), and how many steps its curve has. The program,
// the layout, the writers and the link's codec all count and name the runs
// from here.

#include <iterator>

#include "catalogue_keys.h"
#include "toolkit/display_list.h"
#include "toolkit/window.h"

namespace calvetra {

struct RunKind {
    Rgb colour;                   // its curve and its legend line
    Text name;                    // "Simulación roja", its column in the data table
    Text legendDescription;       // what its legend label adds for assistive technology
    const char* legendLine;       // the layout's line beside its legend
    const char* legendLabelName;  // the layout's name of its legend label
    Label legendLabel;            // the same label as the program writes it
};

// Run 0 red, run 1 green, run 2 blue: the order in which "Calcular" draws
// them.
inline constexpr RunKind kRuns[] = {
    {{255, 0, 0}, Text::RedRun, Text::LegendRedDescription, "Line3(0)", "Label4(0)", Label::Label4_0},
    {{0, 255, 0}, Text::GreenRun, Text::LegendGreenDescription, "Line3(1)", "Label4(1)", Label::Label4_1},
    {{0, 0, 255}, Text::BlueRun, Text::LegendBlueDescription, "Line3(2)", "Label4(2)", Label::Label4_2},
};

// Runs drawn in one series, each with its legend row.
constexpr long kRunCount = static_cast<long>(std::size(kRuns));

// The legend labels follow one another among the labels the program
// writes, one per run in the order of the runs.
constexpr bool legendLabelsInOrder()
{
    for (long k = 0; k < kRunCount; ++k)
        if (kRuns[k].legendLabel != label4(static_cast<int>(k)))
            return false;
    return static_cast<int>(Label::Label4_0) + kRunCount <= kLabelCount;
}
static_assert(legendLabelsInOrder());

// Steps of a curve: "Calcular" integrates the span in kCalculationSteps; an
// instantaneous query integrates its time in kQuerySteps, and the time edits
// after it keep that count.
constexpr short kCalculationSteps = 5000;
constexpr short kQuerySteps = 1000;

}  // namespace calvetra
