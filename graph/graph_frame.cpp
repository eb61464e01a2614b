#include "graph/plot_area.h"
#include "model/form1.h"
#include "toolkit/checked.h"
#include "toolkit/layout.h"
#include "toolkit/text.h"

namespace calvetra {

using checked::add;
using checked::div;
using checked::mul;
using checked::sub;
using checked::toSingle;

// The empty graph: axes, a 4 x 4 grey grid, tick values and axis titles,
// scaled to SimTime across and MaxTemp up (the plot area's mapping). It
// draws over whatever the box holds; callers clear it first (except at
// start-up, when it is empty). Axes and grid lines reach 100 past the axes,
// left and below: the ticks.
void Form1::DrawGraphFrame()
{
    RunStore& s = store();
    DisplayList& pic = window_.picture();
    const layout::GraphStyle& style = look_.style();
    const layout::FrameLayout& at = style.frame;
    s.MarginLeft = at.marginLeft;
    s.MarginBottom = at.marginBottom;
    frameMaxTemp_ = s.MaxTemp;
    frameSimTime_ = s.SimTime;
    const PlotArea area = plotArea();
    const double W = area.boxWidth();
    const double H = area.boxHeight();
    const double ml = area.left();
    const double top = area.top();

    const double axisY = area.bottom();
    const double belowAxis = add(axisY, 100);
    const double right = area.right();
    const double plotHeight = area.height();
    const double plotWidth = area.width();

    pic.foregroundLine(toSingle(sub(ml, 100)), toSingle(axisY), toSingle(right), toSingle(axisY), style.axisPixels);
    pic.foregroundLine(toSingle(ml), toSingle(belowAxis), toSingle(ml), toSingle(top), style.axisPixels);
    for (int k = 3; k >= 1; --k) {
        const double yk = add(div(mul(plotHeight, k), 4), top);
        pic.line(toSingle(sub(ml, 100)), toSingle(yk), toSingle(right), toSingle(yk), style.grid);
    }
    pic.line(toSingle(sub(ml, 100)), toSingle(top), toSingle(right), toSingle(top), style.grid);
    for (int k = 1; k <= 4; ++k) {
        const double xk = add(ml, div(mul(plotWidth, k), 4));
        pic.line(toSingle(xk), toSingle(belowAxis), toSingle(xk), toSingle(top), style.grid);
    }

    const auto label = [&](double x, double y, const std::string& text) {
        pic.setTextPosition(toSingle(x), toSingle(y));
        pic.print(text, style.textPixels);
    };
    const auto temperature = [&](double value) { return text::pointOne(toSingle(value), separator_); };
    const auto time = [&](double value) { return text::printedNumber(value, separator_); };
    const double tempX = at.valueX;
    const double timeY = sub(H, at.timeRowFromBottom);
    const double MaxTemp = s.MaxTemp;
    const double SimTime = s.SimTime;
    const double width = sub(W, ml);

    label(tempX, 1, temperature(MaxTemp));
    // The axes' titles are a quantity's symbol and its unit, the same in every language.
    label(1, at.titleY[0], "T");
    label(1, at.titleY[1], "(ºC)");
    // A value's top stands valueRise above its grid line, yk = Hp · k / 4 + 100.
    const double rise = sub(at.valueRise, top);
    label(tempX, sub(div(plotHeight, 4), rise), temperature(div(mul(MaxTemp, 3), 4)));
    label(tempX, sub(div(mul(plotHeight, 2), 4), rise), temperature(div(add(MaxTemp, MaxTemp), 4)));
    label(tempX, sub(div(mul(plotHeight, 3), 4), rise), temperature(div(MaxTemp, 4)));
    label(sub(ml, at.zeroValueX), sub(axisY, at.zeroValueRise), "0");
    label(sub(ml, at.zeroTimeX), timeY, "0");
    label(sub(add(div(width, 4), ml), at.timeShift), timeY, time(div(SimTime, 4)));
    label(sub(add(div(mul(width, 2), 4), ml), at.timeShift), timeY, time(div(add(SimTime, SimTime), 4)));
    label(sub(add(div(mul(width, 3), 4), ml), at.timeShift), timeY, time(div(mul(SimTime, 3), 4)));
    // a symbol and its unit, as "T" and "(ºC)" above
    label(sub(W, at.timeTitleFromRight), sub(H, at.timeTitleFromBottom), "t(s)");
    label(sub(W, at.lastTimeFromRight), timeY, time(SimTime));
}

}  // namespace calvetra
