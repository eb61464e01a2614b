#pragma once

// How the error of a fixed-step method shrinks with its step, for one run:
// its end temperature by Euler's method, Heun's and the classic Runge-Kutta
// with N = 10, 20, 40 ... 5120 steps and with the program's 5000, against
// the closed form (model/exact_solution.h). Halving the step divides the
// error of a method of order p by 2^p; log2 of the ratio of successive
// errors is the observed order.
//
// A row ends where the program would end the run: at its last step, or at
// its first step whose volume passes the capacity, the same check with the
// same arithmetic as "Calcular". The rows of a run that overflows end at
// slightly different times, so each is compared with the closed form at its
// own end.
//
// The observed order is the method's only between two limits, and the study
// says which rows lie outside them: a step not small against the run's time
// constant V0 / Q1, where the error does not yet follow h^p, and an error
// down at the rounding of 64-bit numbers, where the ratio is noise.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/heat_balance.h"

namespace calvetra {

enum class StudyMethod { Euler, Heun, RungeKutta };

// Why a row's observed order is not the method's.
enum class OrderCaveat {
    None,
    CoarseStep,  // the coarser step of the pair is not small against V0 / Q1
    Rounding,    // the error is within the rounding of the figures
};

struct StudyRow {
    std::int16_t steps = 0;
    double step = 0;       // h, s
    double end = 0;        // s, where the row ends
    double value = 0;      // ºC by the method
    double exact = 0;      // ºC, the closed form at `end`
    double error = 0;      // value − exact
    bool program = false;  // the program's own 5000 steps, outside the halving sequence
    // Against the row with half the steps (none for the first and the
    // program's row).
    std::optional<double> ratio, order;
    OrderCaveat caveat = OrderCaveat::None;
};

struct MethodStudy {
    StudyMethod method;
    int order;  // the method's own: 1, 2, 4
    std::vector<StudyRow> rows;
};

struct StepStudy {
    double span = 0;                     // s
    double timeConstant = 0;             // V0 / Q1, s
    std::optional<double> overflowTime;  // 9 V0 / (Q1 − Q2) when it falls inside the span, s
    std::array<MethodStudy, 3> methods;  // Runge-Kutta, Heun, Euler
};

// The run of these stored figures over [0, span] (span > 0), overflowing
// above capacity (m³). Arithmetic faults as the program's integration does.
StepStudy studySteps(const HeatBalance& balance, double initialTemp, double span, double capacity);

// The halving sequence 10 .. 5120, and the program's count.
inline constexpr std::array<std::int16_t, 10> kStudySteps = {10, 20, 40, 80, 160, 320, 640, 1280, 2560, 5120};

}  // namespace calvetra
