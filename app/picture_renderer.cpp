#include "app/picture_renderer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPalette>
#include <cmath>

#include "toolkit/layout.h"

using calvetra::DisplayList;
using calvetra::PictureOp;
using calvetra::Rgb;

namespace {

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// Files and printers keep shapes as shapes: there a circle is drawn as a
// circle and lines keep their width when the page is scaled.
bool isVector(const QPaintEngine* engine)
{
    const QPaintEngine::Type type = engine->type();
    return type == QPaintEngine::SVG || type == QPaintEngine::Pdf || type == QPaintEngine::Picture;
}

}  // namespace

PictureColours PictureColours::onScreen(const QPalette& palette)
{
    return {palette.color(QPalette::Button), palette.color(QPalette::Dark), palette.color(QPalette::WindowText)};
}

PictureColours PictureColours::inFiles()
{
    const calvetra::layout::GraphColours& c = calvetra::layout::kGraphColours;
    return {toQColor(c.background), toQColor(c.border), toQColor(c.ink)};
}

PictureColours PictureColours::onScreen(const QPalette& palette, const calvetra::layout::GraphStyle& style)
{
    const auto rgb = [&](QPalette::ColorRole role) {
        const QColor c = palette.color(role);
        return calvetra::Rgb{static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                             static_cast<std::uint8_t>(c.blue())};
    };
    return calvetra::layout::takesScreenColours(style, rgb(QPalette::Window), rgb(QPalette::WindowText))
               ? onScreen(palette)
               : inFiles(style);
}

PictureColours PictureColours::inFiles(const calvetra::layout::GraphStyle& style)
{
    const calvetra::layout::GraphColours& c = style.colours;
    return {toQColor(c.background), toQColor(c.border), toQColor(c.ink)};
}

void PictureRenderer::render(QPainter& painter, const DisplayList& list, double pixelsPerTwip, const QFont& font,
                             const PictureColours& colours)
{
    const QColor& foreground = colours.ink;
    // The device really painted on, also when painting is redirected.
    QPaintDevice* device = painter.paintEngine()->paintDevice();
    const double ratio = device->devicePixelRatioF();
    const bool vector = isVector(painter.paintEngine());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font);
    const double ascent = QFontMetricsF(font, device).ascent();
    QPen pen(foreground, 1);
    pen.setCosmetic(!vector);

    const auto at = [pixelsPerTwip](float x, float y) { return QPointF(x * pixelsPerTwip, y * pixelsPerTwip); };
    const Stamp* last = nullptr;
    for (const PictureOp& op : list.ops()) {
        switch (op.kind) {
        case PictureOp::Kind::Line:
            if (op.width == 0) {
                pen.setColor(op.foreground ? foreground : toQColor(op.colour));
                painter.setPen(pen);
            } else {
                // Wider lines (the legend's samples) end square at their end points.
                painter.setPen(
                    QPen(op.foreground ? foreground : toQColor(op.colour), op.width, Qt::SolidLine, Qt::FlatCap));
            }
            painter.drawLine(at(op.x1, op.y1), at(op.x2, op.y2));
            break;
        case PictureOp::Kind::Fill:
            painter.fillRect(QRectF(at(op.x1, op.y1), at(op.x2, op.y2)), colours.background);
            break;
        case PictureOp::Kind::Border: {
            // One pixel just inside the rectangle, at any pixel ratio.
            painter.setPen(QPen(colours.border, 1));
            painter.setBrush(Qt::NoBrush);
            const QRectF outer(at(op.x1, op.y1), at(op.x2, op.y2));
            painter.drawRect(outer.adjusted(0.5, 0.5, -0.5, -0.5));
            break;
        }
        case PictureOp::Kind::Circle: {
            if (vector) {
                QPen circlePen = pen;
                if (op.width > 0) {
                    circlePen.setWidthF(op.width);
                    circlePen.setCosmetic(false);
                }
                circlePen.setColor(toQColor(op.colour));
                painter.setPen(circlePen);
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(QPointF(op.x1 * pixelsPerTwip, op.y1 * pixelsPerTwip), op.x2 * pixelsPerTwip,
                                    op.x2 * pixelsPerTwip);
                break;
            }
            const double radius = op.x2 * pixelsPerTwip * ratio;
            const double stroke = op.width > 0 ? op.width * ratio : 1;
            if (!last || last->colour != op.colour || last->radius != radius || last->stroke != stroke)
                last = &stamp(op.colour, radius, ratio, stroke);
            // Whole device pixels: the stamp is copied, never resampled.
            const double half = last->image.width() / 2.0;
            const double left = std::round(op.x1 * pixelsPerTwip * ratio - half);
            const double top = std::round(op.y1 * pixelsPerTwip * ratio - half);
            painter.drawImage(QPointF(left / ratio, top / ratio), last->image);
            break;
        }
        case PictureOp::Kind::Text: {
            painter.setPen(foreground);
            double top = ascent;
            if (op.size) {
                // A text of its own size, in the same face.
                QFont sized = font;
                sized.setPixelSize(op.size);
                painter.setFont(sized);
                top = QFontMetricsF(sized, device).ascent();
            }
            painter.drawText(QPointF(op.x1 * pixelsPerTwip, op.y1 * pixelsPerTwip + top),
                             QString::fromStdString(list.textOf(op)));
            if (op.size)
                painter.setFont(font);
            break;
        }
        }
    }
    painter.restore();
}

const PictureRenderer::Stamp& PictureRenderer::stamp(Rgb colour, double radius, double ratio, double stroke)
{
    for (const Stamp& s : stamps_)
        if (s.colour == colour && s.radius == radius && s.ratio == ratio && s.stroke == stroke)
            return s;
    // Only a moved window or a changed theme makes new stamps; start afresh
    // rather than keep every stamp ever made.
    if (stamps_.size() >= 16)
        stamps_.clear();
    stamps_.push_back({colour, radius, ratio, stroke, drawStamp(colour, radius, ratio, stroke)});
    return stamps_.back();
}

// An antialiased outline of stroke device pixels, centred in an odd-sized
// square so that its centre falls on the middle of a pixel.
QImage PictureRenderer::drawStamp(Rgb colour, double radius, double ratio, double stroke)
{
    const int size = 2 * static_cast<int>(std::ceil(radius + stroke / 2 + 0.5)) + 1;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(toQColor(colour), stroke));
        painter.drawEllipse(QPointF(size / 2.0, size / 2.0), radius, radius);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}
