#include "toolkit/fault.h"

namespace calvetra {

std::string faultMessage(FaultKind kind)
{
    switch (kind) {
    case FaultKind::Overflow:
        return "Error de cálculo: desbordamiento";
    case FaultKind::InvalidOperation:
        return "Error de cálculo: operación no válida";
    case FaultKind::DivisionByZero:
        return "Error de cálculo: división por cero";
    case FaultKind::IndexOutOfRange:
        return "Error de cálculo: índice fuera de rango";
    case FaultKind::IntegerOverflow:
        return "Error de cálculo: desbordamiento de entero";
    }
    return "Error de cálculo";
}

RuntimeFault::RuntimeFault(FaultKind kind) : std::runtime_error(faultMessage(kind)), kind_(kind) {}

void raiseFault(FaultKind kind) { throw RuntimeFault(kind); }

}  // namespace calvetra
