#pragma once

// The graph box Picture2: a drawing surface whose content is the display
// list the program draws on, in twips. The list is rendered to a cached
// pixmap at the screen's device pixel ratio only when it has changed, so a
// repaint is a copy and a handler that redraws many times costs one render.

#include <QPixmap>
#include <QWidget>
#include <cstdint>

#include "app/picture_renderer.h"
#include "toolkit/display_list.h"

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(double pixelsPerTwip, QWidget* parent);

    calvetra::DisplayList& displayList() { return list_; }
    const calvetra::DisplayList& displayList() const { return list_; }

    // Schedules a repaint if the drawing changed since it was last rendered.
    void refresh();
    void showCrossCursor();

    // What the last paint copied to the screen.
    const QPixmap& renderedPixmap() const { return cache_; }

signals:
    // The pointer moved over the box; its position in twips.
    void pointerMoved(float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool cacheIsCurrent(double ratio) const;
    void renderCache(double ratio);

    double pixelsPerTwip_;
    calvetra::DisplayList list_;
    PictureRenderer renderer_;
    QPixmap cache_;
    std::uint64_t cachedRevision_ = 0;
    bool cacheValid_ = false;
};
