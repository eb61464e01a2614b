#pragma once

// The six figures a user types for a run, and what each of them is
// wherever the program handles it: the box it is typed into, its key in a
// link, its place in a run's record (the link's runs, the data table's
// rows, the figure texts), its sign rule and how the legend writes it.

#include <array>
#include <cstddef>
#include <string>

#include "catalogue_keys.h"
#include "toolkit/window.h"

namespace calvetra {

// In the boxes' units: volume (l), feed flow (l/h), initial temperature
// (ºC), valve opening (%), heater power (W) and time span (s).
struct RunFigures {
    double volume = 0, inflow = 0, initialTemp = 0, valve = 0, power = 0, span = 0;
    friend bool operator==(const RunFigures&, const RunFigures&) = default;
};

// The figures in the order of a run's record.
enum class Figure { Volume, Inflow, InitialTemp, Valve, Power, Span };
constexpr std::size_t kFigureCount = 6;
constexpr std::size_t order(Figure figure) { return static_cast<std::size_t>(figure); }

// How the legend and the data table write a figure.
enum class FigureFormat {
    Single,      // the short form of a 32-bit number
    OneDecimal,  // one decimal
    Full,        // every digit of the number
};

struct FigureKind {
    Figure figure;
    double RunFigures::*member;
    Box box;               // the box it is typed into
    const char* key;       // its key in a link
    Text row;              // its row in the data table
    bool negativeAllowed;  // only the heater power: a negative one cools the tank
    FigureFormat format;
};

// In the order of a run's record.
inline constexpr std::array<FigureKind, kFigureCount> kFigures = {{
    {Figure::Volume, &RunFigures::volume, text1(kVolumeIndex), "V", Text::VolumeRow, false, FigureFormat::Single},
    {Figure::Inflow, &RunFigures::inflow, text1(kFeedFlowIndex), "Q", Text::FeedRow, false, FigureFormat::Single},
    {Figure::InitialTemp, &RunFigures::initialTemp, text1(kInitialTempIndex), "To", Text::InitialTempRow, false,
     FigureFormat::OneDecimal},
    {Figure::Valve, &RunFigures::valve, text1(kValveIndex), "Ap", Text::ValveRow, false, FigureFormat::Single},
    {Figure::Power, &RunFigures::power, text1(kPowerIndex), "q", Text::PowerRow, true, FigureFormat::Single},
    {Figure::Span, &RunFigures::span, text1(kSimTimeIndex), "t", Text::SpanRow, false, FigureFormat::Full},
}};

constexpr bool figuresInOrder()
{
    for (std::size_t k = 0; k < kFigureCount; ++k)
        if (order(kFigures[k].figure) != k)
            return false;
    return true;
}
static_assert(figuresInOrder());

constexpr const FigureKind& figureKind(Figure figure) { return kFigures[order(figure)]; }
constexpr double figureOf(const RunFigures& figures, Figure figure) { return figures.*figureKind(figure).member; }

// The six figures as the legend writes them, in the record's order, with
// that decimal separator.
std::array<std::string, kFigureCount> figureTexts(const RunFigures& figures, char separator);

}  // namespace calvetra
