#pragma once

// The graph box Picture2: a drawing surface whose content is the display
// list the program draws on, in twips. The list is rendered to a cached
// pixmap at the screen's device pixel ratio only when it has changed, so a
// repaint is a copy and a handler that redraws many times costs one render.

#include <QPixmap>
#include <QWidget>

class QLabel;
#include <cstdint>

#include "app/picture_renderer.h"
#include "toolkit/display_list.h"
#include "toolkit/layout.h"

class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(double pixelsPerTwip, QWidget* parent);

    calvetra::DisplayList& displayList() { return list_; }
    const calvetra::DisplayList& displayList() const { return list_; }

    // Schedules a repaint if the drawing changed since it was last rendered.
    void refresh();
    void showCrossCursor();

    // The keyboard's read-out point, in twips; a small cross marks it over
    // the picture while the box has the focus.
    void setReadoutPoint(QPointF twips);

    // The read-out's note over the box, its top-left corner in twips; an
    // empty text hides it.
    void showReadoutNote(const QString& text, QPointF corner);
    const QLabel* readoutNote() const { return note_; }

    // The look whose colours the box is drawn in (the window's by default).
    void setGraphStyle(const calvetra::layout::GraphStyle& style);

    // What the last paint copied to the screen.
    const QPixmap& renderedPixmap() const { return cache_; }

signals:
    // The pointer moved over the box; its position in twips.
    void pointerMoved(float x, float y);
    // A mouse button went down on the box, at this position in twips.
    void pressed(float x, float y);
    // An arrow key: move the read-out point (dx, dy in -1, 0, 1; large with
    // Shift). (0, 0) when the focus arrives from the keyboard.
    void readoutKey(int dx, int dy, bool large);
    // The pointer left the box, or the focus did while the pointer was away;
    // or the graph's menu or another window came over the box.
    void readoutLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool cacheIsCurrent(double ratio) const;
    void renderCache(double ratio);
    void paintReadoutCross(QPainter& painter) const;

    double pixelsPerTwip_;
    calvetra::DisplayList list_;
    calvetra::DisplayList shown_;  // the core's picture of the box, as last rendered
    PictureRenderer renderer_;
    QPixmap cache_;
    std::uint64_t cachedRevision_ = 0;
    bool cacheValid_ = false;
    QPointF readoutPoint_;
    QLabel* note_ = nullptr;  // made at its first showing
    const calvetra::layout::GraphStyle* style_ = &calvetra::layout::graphStyle(calvetra::layout::GraphView::Window);
};
