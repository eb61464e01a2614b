#pragma once

// The graph as it leaves the window (copied, saved, printed): the core's
// whole picture of the graph (graph/whole_graph.h), the box's drawing with
// the legend of the drawn runs beneath it, rendered by the same renderer as
// the screen, in the colours files have. Never a grab of the screen.

#include <QFont>
#include <QImage>
#include <QSizeF>
#include <string>
#include <vector>

#include "app/picture_renderer.h"
#include "toolkit/display_list.h"

class QIODevice;
class QPagedPaintDevice;
class QPainter;

class GraphPicture {
public:
    // drawing: the graph box's display list; legends: the drawn runs'
    // descriptions, in order.
    GraphPicture(const calvetra::DisplayList& drawing, const std::vector<std::string>& legends, const QFont& font,
                 const PictureColours& colours = PictureColours::inFiles(),
                 const calvetra::layout::GraphLook& look = {});

    // The picture's size in twips, and in pixels at 96 dots per inch (the
    // size the graph has on a standard screen).
    QSizeF sizeInTwips() const;
    QSize designSize() const;

    // Paints the picture with its top-left corner at the painter's origin,
    // one logical unit a pixel at 96 dots per inch. On a vector device
    // (SVG, PDF, a printer) circles are circles and texts are texts.
    void paint(QPainter& painter) const;

    // A raster image of the design size times ratio, crisp at that ratio.
    QImage image(double ratio) const;

    // The picture as a PNG (at twice the design size) or a PDF drawing of
    // the design size. False when the device would not take it.
    bool writePng(QIODevice& device) const;
    bool writePdf(QIODevice& device) const;

    // One landscape page, the picture scaled to fit it and centred.
    void print(QPagedPaintDevice& printer) const;

private:
    calvetra::DisplayList list_;
    QSizeF twips_;
    QFont font_;
    PictureColours colours_;
};
