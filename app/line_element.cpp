#include "app/line_element.h"

#include <QPainter>

LineElement::LineElement(QWidget* parent) : QWidget(parent)
{
    // A rule is decoration: clicks and moves go to what lies beneath.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

LineElement::LineElement(const QColor& colour, QWidget* parent) : LineElement(parent) { colour_ = colour; }

QColor LineElement::colour() const { return colour_.value_or(palette().color(QPalette::WindowText)); }

void LineElement::setSample(const calvetra::DisplayList& sample, double pixelsPerTwip)
{
    sample_ = sample;
    pixelsPerTwip_ = pixelsPerTwip;
    update();
}

void LineElement::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (sample_.size() == 0) {
        painter.fillRect(rect(), colour());
        return;
    }
    renderer_.render(painter, sample_, pixelsPerTwip_, font(), PictureColours::onScreen(palette()));
}
