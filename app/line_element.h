#pragma once

// A line element of the layout: a horizontal or vertical rule drawn by a
// widget exactly as large as the line, so it can be shown and hidden.

#include <QColor>
#include <QWidget>
#include <optional>

#include "app/picture_renderer.h"
#include "toolkit/display_list.h"

class LineElement : public QWidget {
    Q_OBJECT
public:
    // A line in the palette's window-text colour.
    explicit LineElement(QWidget* parent);
    // A line in a fixed colour.
    LineElement(const QColor& colour, QWidget* parent);

    QColor colour() const;

    // Draws this picture of the line instead (in twips of the widget, at
    // pixelsPerTwip), or the plain rule again for an empty one: a legend
    // line in another look of the graph, with its run's mark.
    void setSample(const calvetra::DisplayList& sample, double pixelsPerTwip);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QColor> colour_;
    calvetra::DisplayList sample_;
    double pixelsPerTwip_ = 0;
    PictureRenderer renderer_;
};
