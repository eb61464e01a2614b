#include "tests/support/drawing.h"

#include "toolkit/fault.h"

namespace calvetra::testing {

OpCount countOps(const DisplayList& list)
{
    OpCount n;
    for (const PictureOp& op : list.ops()) {
        n.lines += op.kind == PictureOp::Kind::Line;
        n.circles += op.kind == PictureOp::Kind::Circle;
        n.texts += op.kind == PictureOp::Kind::Text;
    }
    return n;
}

std::vector<PictureOp> circles(const DisplayList& list, Rgb colour)
{
    std::vector<PictureOp> out;
    for (const PictureOp& op : list.ops())
        if (op.kind == PictureOp::Kind::Circle && op.colour == colour)
            out.push_back(op);
    return out;
}

std::size_t circleCount(const DisplayList& list, Rgb colour)
{
    std::size_t n = 0;
    for (const PictureOp& op : list.ops())
        n += op.kind == PictureOp::Kind::Circle && op.colour == colour;
    return n;
}

bool isFaultMessage(const std::string& message)
{
    for (FaultKind kind : {FaultKind::Overflow, FaultKind::InvalidOperation, FaultKind::DivisionByZero,
                           FaultKind::IndexOutOfRange, FaultKind::IntegerOverflow})
        if (message == faultMessage(kind))
            return true;
    return false;
}

bool isGuardMessage(const std::string& message) { return message.rfind("Error", 0) == 0; }

}  // namespace calvetra::testing
