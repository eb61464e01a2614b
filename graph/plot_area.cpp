#include "graph/plot_area.h"

#include "toolkit/checked.h"
#include "toolkit/text.h"

namespace calvetra {

using checked::add;
using checked::div;
using checked::mul;
using checked::sub;

namespace {
// A whole number of twips taken through its decimal text and back.
double throughText(double v) { return text::parseLeadingNumber(text::printedNumber(v, '.')); }
}  // namespace

PlotArea::PlotArea(const PlotScale& scale, PictureSize box)
    : box_(box), marginLeft_(scale.marginLeft), marginBottom_(scale.marginBottom), simTime_(scale.simTime),
      maxTemp_(scale.maxTemp), plotWidthText_(throughText(width())), plotHeightText_(throughText(height())),
      heightText_(throughText(box.height)), xOrigin_(sub(marginLeft_, kInset)),
      yBase_(add(sub(marginBottom_, kInset), plotHeightText_)), yScale_(sub(sub(heightText_, marginBottom_), kInset))
{
}

double PlotArea::right() const { return sub(box_.width, kInset); }
double PlotArea::bottom() const { return sub(box_.height, marginBottom_); }
double PlotArea::width() const { return sub(sub(box_.width, marginLeft_), kInset); }
double PlotArea::height() const { return sub(sub(box_.height, marginBottom_), kInset); }

// The share j / steps of the span. An export of the drawn data never
// faults, so this one figure is plain arithmetic.
double PlotArea::timeOfStep(long j, long steps) const
{
    return static_cast<double>(j) * simTime_ / static_cast<double>(steps);
}

// t = x · SimTime / Wp − MarginLeft · SimTime / Wp.
double PlotArea::timeAt(double x) const
{
    const double w = width();
    return sub(div(mul(x, simTime_), w), div(mul(marginLeft_, simTime_), w));
}

// T = −MaxTemp / Hp · y + MaxTemp + MaxTemp · 100 / Hp.
double PlotArea::temperatureAt(double y) const
{
    const double h = height();
    return add(add(mul(div(-maxTemp_, h), y), maxTemp_), div(mul(maxTemp_, kInset), h));
}

GraphPoint PlotArea::centre() const
{
    return {(marginLeft_ + box_.width - kInset) / 2, (kInset + box_.height - marginBottom_) / 2};
}

}  // namespace calvetra
