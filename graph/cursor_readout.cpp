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

}  // namespace calvetra
