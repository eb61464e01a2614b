#include "toolkit/fault.h"

#include "toolkit/catalogue.h"

namespace calvetra {

std::string faultMessage(FaultKind kind)
{
    switch (kind) {
    case FaultKind::Overflow:
        return std::string(catalogue::text(Text::FaultOverflow));
    case FaultKind::InvalidOperation:
        return std::string(catalogue::text(Text::FaultInvalidOperation));
    case FaultKind::DivisionByZero:
        return std::string(catalogue::text(Text::FaultDivisionByZero));
    case FaultKind::IndexOutOfRange:
        return std::string(catalogue::text(Text::FaultIndexOutOfRange));
    case FaultKind::IntegerOverflow:
        return std::string(catalogue::text(Text::FaultIntegerOverflow));
    }
    return std::string(catalogue::text(Text::Fault));
}

RuntimeFault::RuntimeFault(FaultKind kind) : std::runtime_error(faultMessage(kind)), kind_(kind) {}

void raiseFault(FaultKind kind) { throw RuntimeFault(kind); }

}  // namespace calvetra
