#include "app/picture_box.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>

#include "graph/whole_graph.h"

PictureBox::PictureBox(double pixelsPerTwip, QWidget* parent) : QWidget(parent), pixelsPerTwip_(pixelsPerTwip)
{
    // The read-out follows the pointer without any button held.
    setMouseTracking(true);
    // Every pixel comes from the cache: Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Reached by Tab in the window's order and by a click, for the read-out
    // from the keyboard and the graph's menu.
    setFocusPolicy(Qt::StrongFocus);
    // The graph's menu opens over the read-out's note: the note goes first.
    connect(this, &QWidget::customContextMenuRequested, this, &PictureBox::readoutLeft);
}

void PictureBox::setReadoutPoint(QPointF twips)
{
    if (twips == readoutPoint_)
        return;
    readoutPoint_ = twips;
    if (hasFocus())
        update();
}

// A label over the picture, never drawn into it, like the cross. The pointer
// passes through it to the box, so that the read-out goes on beneath it.
void PictureBox::showReadoutNote(const QString& text, QPointF corner)
{
    if (!note_) {
        if (text.isEmpty())
            return;
        note_ = new QLabel(this);
        note_->setObjectName(QStringLiteral("ReadoutNote"));
        note_->setTextFormat(Qt::PlainText);
        note_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        note_->setFrameStyle(QFrame::Box | QFrame::Plain);
        note_->setMargin(2);
        note_->setAutoFillBackground(true);
        note_->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    note_->setVisible(!text.isEmpty());
    if (text.isEmpty())
        return;
    const calvetra::PictureSize size = calvetra::layout::kReadoutNoteSize;
    note_->setGeometry(QRectF(corner * pixelsPerTwip_, QSizeF(size.width, size.height) * pixelsPerTwip_).toRect());
    note_->setText(text);
}

void PictureBox::setGraphStyle(const calvetra::layout::GraphStyle& style)
{
    if (&style == style_)
        return;
    style_ = &style;
    cacheValid_ = false;
    update();
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
    if (hasFocus())
        paintReadoutCross(painter);
}

// Drawn over the cached picture, never into it: the graph's drawing stays
// what the program drew.
void PictureBox::paintReadoutCross(QPainter& painter) const
{
    const QPointF centre = readoutPoint_ * pixelsPerTwip_;
    constexpr double arm = 5;
    QPen pen(palette().color(QPalette::WindowText), 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
    painter.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit pointerMoved(static_cast<float>(p.x() / pixelsPerTwip_), static_cast<float>(p.y() / pixelsPerTwip_));
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    emit pressed(static_cast<float>(p.x() / pixelsPerTwip_), static_cast<float>(p.y() / pixelsPerTwip_));
    QWidget::mousePressEvent(event);
}

void PictureBox::keyPressEvent(QKeyEvent* event)
{
    const bool large = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        emit readoutKey(-1, 0, large);
        break;
    case Qt::Key_Right:
        emit readoutKey(1, 0, large);
        break;
    case Qt::Key_Up:
        emit readoutKey(0, -1, large);
        break;
    case Qt::Key_Down:
        emit readoutKey(0, 1, large);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PictureBox::focusInEvent(QFocusEvent* event)
{
    // Arriving by keyboard, the read-out shows the point at once, so that
    // it is read out; a click shows what lies under the pointer instead.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        emit readoutKey(0, 0, false);
    update();
    QWidget::focusInEvent(event);
}

void PictureBox::focusOutEvent(QFocusEvent* event)
{
    if (!underMouse())
        emit readoutLeft();
    update();
    QWidget::focusOutEvent(event);
}

void PictureBox::leaveEvent(QEvent* event)
{
    if (!hasFocus())
        emit readoutLeft();
    QWidget::leaveEvent(event);
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
    const PictureColours colours = PictureColours::onScreen(palette(), *style_);
    cache_.fill(colours.background);
    QPainter painter(&cache_);
    calvetra::shownBox(list_, shown_);
    renderer_.render(painter, shown_, pixelsPerTwip_, font(), colours);
    cachedRevision_ = list_.revision();
    cacheValid_ = true;
}
