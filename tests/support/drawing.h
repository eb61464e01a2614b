#pragma once

// What the tests look for on the graph and among the messages. The figures
// are written out here, as a user would see them, not taken from the
// program, so that a change to the program's own tables shows up.

#include <cstddef>
#include <string>
#include <vector>

#include "toolkit/display_list.h"

namespace calvetra::testing {

// The runs' colours: red, green and blue.
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};
constexpr Rgb kRunColours[] = {kRed, kGreen, kBlue};

// The empty frame: ten lines and thirteen labels.
constexpr std::size_t kFrameLines = 10, kFrameTexts = 13;
constexpr std::size_t kFrameOps = kFrameLines + kFrameTexts;

// The legend of a run of the initial boxes.
constexpr const char* kInitialDescription = "V = 5.4 (l) -- Q = 10 (l/h) -- To = 20.0 (ºC) -- Ap.Valv = 100 (%)";

// The operations of the graph by kind.
struct OpCount {
    std::size_t lines = 0, circles = 0, texts = 0;
};
OpCount countOps(const DisplayList& list);

// The circles in one colour, in drawing order, and how many there are.
std::vector<PictureOp> circles(const DisplayList& list, Rgb colour);
std::size_t circleCount(const DisplayList& list, Rgb colour);

// One of the run-time faults' messages.
bool isFaultMessage(const std::string& message);
// The guard's message for an exception that is not a run-time fault (no
// memory left, or anything unexpected): "Error ...".
bool isGuardMessage(const std::string& message);

}  // namespace calvetra::testing
