#pragma once

// Twips (1/1440 inch) to pixels. Every position and size of the
// window is given in twips; at 96 dots per inch fifteen twips make one pixel.

#include <QRect>

#include "toolkit/layout.h"

class TwipScale {
public:
    // dpi: logical dots per inch of the screen the window is on.
    explicit TwipScale(double dpi) : pixelsPerTwip_(dpi / 1440.0) {}

    double pixelsPerTwip() const { return pixelsPerTwip_; }
    int pixels(double twips) const { return calvetra::layout::pixels(twips, pixelsPerTwip_); }

    // Rounds the edges rather than the size, so controls that meet in twips
    // still meet in pixels.
    QRect rect(double left, double top, double width, double height) const
    {
        const int x = pixels(left);
        const int y = pixels(top);
        return {x, y, pixels(left + width) - x, pixels(top + height) - y};
    }

private:
    double pixelsPerTwip_;
};
