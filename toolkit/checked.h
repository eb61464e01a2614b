#pragma once

// Checked arithmetic. Every floating-point operation of the model goes through
// these helpers: a result that overflows, an invalid operation (0/0, inf - inf)
// or a division by zero raises a RuntimeFault instead of letting an infinity
// or a NaN flow on into the tables and the picture.
//
// All inputs reaching these helpers are finite (texts are parsed into finite
// numbers and every result is checked), so a non-finite result always means
// the operation itself faulted.

#include <cmath>
#include <cstdint>
#include <limits>

#include "toolkit/fault.h"

namespace calvetra::checked {

inline double finite(double r)
{
    if (!std::isfinite(r)) [[unlikely]]
        raiseFault(std::isnan(r) ? FaultKind::InvalidOperation : FaultKind::Overflow);
    return r;
}

inline double add(double a, double b) { return finite(a + b); }
inline double sub(double a, double b) { return finite(a - b); }
inline double mul(double a, double b) { return finite(a * b); }

inline double div(double a, double b)
{
    if (b == 0.0) [[unlikely]]
        raiseFault(a == 0.0 ? FaultKind::InvalidOperation : FaultKind::DivisionByZero);
    return finite(a / b);
}

// Rounds a 64-bit value into a 32-bit field; beyond the float range it faults.
inline float toSingle(double v)
{
    const float f = static_cast<float>(v);
    if (!std::isfinite(f)) [[unlikely]]
        raiseFault(std::isnan(f) ? FaultKind::InvalidOperation : FaultKind::Overflow);
    return f;
}

// 16-bit counters (run index, step count) add with an overflow check.
inline std::int16_t add16(std::int16_t a, std::int16_t b)
{
    const int r = int{a} + int{b};
    if (r > std::numeric_limits<std::int16_t>::max() || r < std::numeric_limits<std::int16_t>::min()) [[unlikely]]
        raiseFault(FaultKind::IntegerOverflow);
    return static_cast<std::int16_t>(r);
}

}  // namespace calvetra::checked
