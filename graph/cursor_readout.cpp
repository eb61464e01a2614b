#include <algorithm>

#include "model/form1.h"
#include "toolkit/checked.h"
#include "toolkit/text.h"

namespace calvetra {

using checked::add;
using checked::div;
using checked::mul;
using checked::sub;

// The pointer position over the graph read back as "t , T", the inverse of
// the plotting map, each rounded to one decimal. Buttons and shift keys do
// not matter.
void Form1::Picture2_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X, float Y)
{
    window_.setCrossCursor();
    const RunStore& s = store();
    const PictureSize size = window_.pictureSize();
    const double ml = s.MarginLeft;
    const double mb = s.MarginBottom;
    const double simTime = s.SimTime;
    const double maxTemp = s.MaxTemp;
    const double plotWidth = sub(sub(size.width, ml), 100);
    const double plotHeight = sub(sub(size.height, mb), 100);

    const double tx = sub(div(mul(X, simTime), plotWidth), div(mul(ml, simTime), plotWidth));
    const double ty = add(add(mul(div(-maxTemp, plotHeight), Y), maxTemp), div(mul(maxTemp, 100), plotHeight));

    window_.setCaption(Label::Label6_0, text::general(text::roundToOneDecimal(tx), separator_) + " , " +
                                            text::general(text::roundToOneDecimal(ty), separator_));
}

// The keyboard's read-out point starts at the centre of the plot and moves
// by a hundredth of an axis a step (a tenth with Shift). It stays on the
// graph box, where the pointer could be too; the plot itself is the frame
// DrawGraphFrame draws: MarginLeft .. W − 100 across, 100 .. H − MarginBottom
// down.
GraphPoint Form1::readoutPoint() const
{
    if (readout_)
        return *readout_;
    const RunStore& s = store();
    const PictureSize size = window_.pictureSize();
    return {(s.MarginLeft + size.width - 100) / 2, (100 + size.height - s.MarginBottom) / 2};
}

void Form1::placeReadoutPoint(double x, double y) { readout_ = GraphPoint{x, y}; }

void Form1::moveReadoutPoint(int dx, int dy, bool large)
{
    const RunStore& s = store();
    const PictureSize size = window_.pictureSize();
    const double fraction = large ? 0.1 : 0.01;
    const double stepX = (size.width - s.MarginLeft - 100) * fraction;
    const double stepY = (size.height - s.MarginBottom - 100) * fraction;
    const GraphPoint p = readoutPoint();
    readout_ =
        GraphPoint{std::clamp(p.x + dx * stepX, 0.0, size.width), std::clamp(p.y + dy * stepY, 0.0, size.height)};
}

}  // namespace calvetra
