#pragma once

// The plot: the part of the graph box the curves are drawn in, and the one
// mapping between graph quantities and twips of the box that the frame, the
// plotting, the read-out and the data export share.
//
// Twips of the box (W x H, y downwards):
//   t = 0 .. SimTime   ->  x = MarginLeft (800) .. W − 100
//   T = 0 .. MaxTemp   ->  y = H − MarginBottom (H − 300) .. 100
// Each figure is worked out in the order the program has always used, with
// checked arithmetic, so the points and read-outs keep their last digit.

#include "toolkit/checked.h"
#include "toolkit/window.h"

namespace calvetra {

// Where the axes stand and what they span, as the program keeps them.
struct PlotScale {
    double marginLeft = 0;    // x of the temperature axis
    double marginBottom = 0;  // height of the time axis above the box's bottom
    double simTime = 0;       // s, the end of the time axis
    double maxTemp = 0;       // ºC, the top of the temperature axis
};

// A point on the graph, in twips of the box.
struct GraphPoint {
    double x = 0, y = 0;
};

class PlotArea {
public:
    // The plot stays this far from the box's top and right edges.
    static constexpr double kInset = 100;

    PlotArea() = default;  // a box of no size: nothing is drawn on it
    PlotArea(const PlotScale& scale, PictureSize box);

    double boxWidth() const { return box_.width; }
    double boxHeight() const { return box_.height; }
    double left() const { return marginLeft_; }  // the temperature axis
    double right() const;                        // W − 100
    double top() const { return kInset; }        // the line of MaxTemp
    double bottom() const;                       // the time axis, H − MarginBottom
    double width() const;                        // W − MarginLeft − 100
    double height() const;                       // H − MarginBottom − 100

    // Step j of a curve of `steps` steps: its time, and where it is drawn.
    // The two below are worked out for every point of every curve drawn, so
    // they are defined here, for the plotting loop to take them in.
    double timeOfStep(long j, long steps) const;
    double xOfStep(long j, long steps) const
    {
        // x = (j · Wp) / steps + (MarginLeft − 100) + 100: every curve spans
        // the whole width, whatever its span.
        using namespace checked;
        return add(add(div(mul(static_cast<double>(j), plotWidthText_), static_cast<double>(steps)), xOrigin_), kInset);
    }
    double yOfTemperature(double temperature) const
    {
        // y = ((MarginBottom − 100) + Hp) − ((Hs − MarginBottom − 100) · T) / MaxTemp − 100.
        using namespace checked;
        return sub(sub(yBase_, div(mul(yScale_, temperature), maxTemp_)), kInset);
    }

    // The inverse: what the pointer at x or y reads.
    double timeAt(double x) const;
    double temperatureAt(double y) const;

    GraphPoint centre() const;

private:
    PictureSize box_;
    double marginLeft_ = 0, marginBottom_ = 0;
    double simTime_ = 0, maxTemp_ = 0;
    // The plotting has always taken W − MarginLeft − 100, H − MarginBottom −
    // 100 and H through their decimal text; for the whole numbers that occur
    // that leaves them unchanged.
    double plotWidthText_ = 0, plotHeightText_ = 0, heightText_ = 0;
    // Terms of the point mapping that do not depend on the point.
    double xOrigin_ = 0, yBase_ = 0, yScale_ = 0;
};

}  // namespace calvetra
