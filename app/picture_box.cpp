#include "app/picture_box.h"

#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>

PictureBox::PictureBox(double pixelsPerTwip, QWidget* parent) : QWidget(parent), pixelsPerTwip_(pixelsPerTwip)
{
    // The read-out follows the pointer without any button held.
    setMouseTracking(true);
    // Every pixel comes from the cache: Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::refresh()
{
    if (!cacheValid_ || list_.revision() != cachedRevision_)
        update();
}

void PictureBox::showCrossCursor()
{
    if (cursor().shape() != Qt::CrossCursor)
        setCursor(Qt::CrossCursor);
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The ratio of the device really painted on (the window's backing store,
    // or a pixmap the widget is rendered into), not the widget's own.
    const double ratio = painter.paintEngine()->paintDevice()->devicePixelRatioF();
    if (!cacheIsCurrent(ratio))
        renderCache(ratio);
    painter.drawPixmap(0, 0, cache_);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit pointerMoved(static_cast<float>(p.x() / pixelsPerTwip_), static_cast<float>(p.y() / pixelsPerTwip_));
}

void PictureBox::changeEvent(QEvent* event)
{
    // Colours and font are part of the rendered image.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        cacheValid_ = false;
        update();
    }
    QWidget::changeEvent(event);
}

bool PictureBox::cacheIsCurrent(double ratio) const
{
    return cacheValid_ && list_.revision() == cachedRevision_ && cache_.devicePixelRatio() == ratio &&
           cache_.size() == size() * ratio;
}

void PictureBox::renderCache(double ratio)
{
    cache_ = QPixmap(size() * ratio);
    cache_.setDevicePixelRatio(ratio);
    cache_.fill(palette().color(QPalette::Button));
    QPainter painter(&cache_);
    renderer_.render(painter, list_, pixelsPerTwip_, font(), palette());
    // A flat one-pixel border; the graph keeps 100 twips clear of the edges.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    cachedRevision_ = list_.revision();
    cacheValid_ = true;
}
