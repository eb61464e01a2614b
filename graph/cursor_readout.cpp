#include <algorithm>

#include "graph/exact_curve.h"
#include "graph/plot_area.h"
#include "model/form1.h"
#include "toolkit/text.h"

namespace calvetra {

// The pointer position over the graph read back as "t , T", the inverse of
// the plotting map, each rounded to one decimal. Buttons and shift keys do
// not matter. The spaced comma between the two figures is the same in every
// language: its spaces keep it apart from a decimal comma. With the exact
// solution shown, a note beside the point compares the nearest run with it.
void Form1::Picture2_MouseMove(std::int16_t /*Button*/, std::int16_t /*Shift*/, float X, float Y)
{
    window_.setCrossCursor();
    const PlotArea area = plotArea();
    const double tx = area.timeAt(X);
    const double ty = area.temperatureAt(Y);
    window_.setCaption(Label::Label6_0, text::general(text::roundToOneDecimal(tx), separator_) + " , " +
                                            text::general(text::roundToOneDecimal(ty), separator_));
    if (exactShown_) {
        const GraphPoint corner = readoutNoteCorner({X, Y}, noteSize_, window_.pictureSize());
        window_.showReadoutNote(readoutNote(drawn_, tx, ty, separator_), corner.x, corner.y);
    }
}

// The pointer off the graph, or the keyboard's point gone with the focus.
void Form1::readoutLeft()
{
    guarded([&] { hideReadoutNote(); });
}

void Form1::hideReadoutNote()
{
    if (exactShown_)
        window_.showReadoutNote({}, 0, 0);
}

// The keyboard's read-out point starts at the centre of the plot and moves
// by a hundredth of an axis a step (a tenth with Shift). It stays on the
// graph box, where the pointer could be too.
GraphPoint Form1::readoutPoint() const { return readout_ ? *readout_ : plotArea().centre(); }

void Form1::placeReadoutPoint(double x, double y) { readout_ = GraphPoint{x, y}; }

void Form1::moveReadoutPoint(int dx, int dy, bool large)
{
    const PlotArea area = plotArea();
    const double fraction = large ? 0.1 : 0.01;
    const double stepX = area.width() * fraction;
    const double stepY = area.height() * fraction;
    const GraphPoint p = readoutPoint();
    readout_ = GraphPoint{std::clamp(p.x + dx * stepX, 0.0, area.boxWidth()),
                          std::clamp(p.y + dy * stepY, 0.0, area.boxHeight())};
}

PlotArea Form1::plotArea() const { return PlotArea(plotScale(store()), window_.pictureSize()); }

}  // namespace calvetra
