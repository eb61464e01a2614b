#pragma once

#include <stdexcept>
#include <string>

namespace calvetra {

// The kinds of run-time fault a computation can meet. A fault abandons the
// user action that raised it; the window reports it and the program goes on.
enum class FaultKind {
    Overflow,          // a result beyond the range of its type
    InvalidOperation,  // 0/0, inf - inf and the like
    DivisionByZero,    // a finite non-zero number divided by zero
    IndexOutOfRange,   // an index outside the declared bounds of a table
    IntegerOverflow,   // a 16- or 32-bit integer beyond its range
};

class RuntimeFault : public std::runtime_error {
public:
    explicit RuntimeFault(FaultKind kind);
    FaultKind kind() const noexcept { return kind_; }

private:
    FaultKind kind_;
};

// The Spanish text shown to the user for a fault.
std::string faultMessage(FaultKind kind);

// Out of line so that the checked operations stay small enough to inline.
[[noreturn]] void raiseFault(FaultKind kind);

}  // namespace calvetra
