#pragma once

// The graph as it leaves the window (copied, saved, printed): the graph
// box's drawing, rendered from its display list by the same renderer as the
// screen, with the legend of the drawn runs beneath it as the window shows
// it (coloured sample line and description, each where the window's layout
// puts it). Never a grab of the screen.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "toolkit/display_list.h"

class QIODevice;
class QPagedPaintDevice;
class QPainter;

struct LegendEntry {
    QColor colour;
    QString text;
};

class GraphPicture {
public:
    GraphPicture(const calvetra::DisplayList& list, std::vector<LegendEntry> legend, const QFont& font,
                 const QPalette& palette);

    // Where the window shows legend row index (0 to 2), in twips from the
    // graph box's top-left corner: the sample line's end points and pen
    // width in pixels, the description's top-left corner and its bottom.
    struct LegendRow {
        QPointF lineFrom, lineTo;
        int lineWidth;
        QPointF text;
        double bottom;
    };
    static LegendRow legendRow(int index);

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
    const calvetra::DisplayList& list_;
    std::vector<LegendEntry> legend_;
    QFont font_;
    QPalette palette_;
};
