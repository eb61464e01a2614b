#pragma once

// Turns the graph's display list (twips) into pixels on any QPainter: the
// widget's cached pixmap, or an offscreen image in a benchmark.
//
// The painter's coordinates are logical pixels, origin at the graph's
// top-left corner, with no transform besides the device pixel ratio of its
// device. Lines use a cosmetic one-pixel pen; texts have their top-left
// corner at the given point. The plotted points are many (three runs of 5001
// circles each), so each circle is stamped from a small image rendered once
// per colour, radius and device pixel ratio instead of being stroked anew.

#include <QColor>
#include <QImage>
#include <vector>

#include "toolkit/display_list.h"
#include "toolkit/layout.h"

class QFont;
class QPainter;
class QPalette;

// The colours of a picture's background, border and ink (its axes and
// texts): on the screen the system's, from the palette; in a file the
// layout's own, the same on every desktop and on the web page.
struct PictureColours {
    QColor background, border, ink;
    static PictureColours onScreen(const QPalette& palette);
    static PictureColours inFiles();
    // The same in a look of the graph: the system's where the look and the
    // screen allow it (layout::takesScreenColours), else the look's own.
    static PictureColours onScreen(const QPalette& palette, const calvetra::layout::GraphStyle& style);
    static PictureColours inFiles(const calvetra::layout::GraphStyle& style);
};

class PictureRenderer {
public:
    // Texts use font.
    void render(QPainter& painter, const calvetra::DisplayList& list, double pixelsPerTwip, const QFont& font,
                const PictureColours& colours);

private:
    struct Stamp {
        calvetra::Rgb colour;
        double radius = 0;  // device pixels
        double ratio = 1;
        double stroke = 1;  // device pixels
        QImage image;
    };

    const Stamp& stamp(calvetra::Rgb colour, double radius, double ratio, double stroke);
    static QImage drawStamp(calvetra::Rgb colour, double radius, double ratio, double stroke);

    std::vector<Stamp> stamps_;
};
