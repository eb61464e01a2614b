#include "app/graph_picture.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "app/picture_renderer.h"
#include "toolkit/layout.h"

namespace {

using calvetra::layout::kPixelsPerTwip;

QSizeF graphTwips()
{
    const calvetra::PictureSize size = calvetra::layout::graphSize();
    return {size.width, size.height};
}

// A point of the window's client area, in twips from the graph box's
// top-left corner (the legend and the graph both lie in the window itself).
QPointF fromGraph(double x, double y)
{
    const calvetra::layout::Control& graph = calvetra::layout::control("Picture2");
    return {x - graph.left, y - graph.top};
}

}  // namespace

GraphPicture::GraphPicture(const calvetra::DisplayList& list, std::vector<LegendEntry> legend, const QFont& font,
                           const QPalette& palette)
    : list_(list), legend_(std::move(legend)), font_(font), palette_(palette)
{
    // Vector files name the face really used, so other programs find it.
    font_.setFamily(QFontInfo(font).family());
}

GraphPicture::LegendRow GraphPicture::legendRow(int index)
{
    const calvetra::layout::Control& line = calvetra::layout::legendLine(index);
    const calvetra::layout::Control& label = calvetra::layout::control(calvetra::label4(index));
    // A line's rectangle holds its end points X1, Y1, X2, Y2.
    return {fromGraph(line.left, line.top), fromGraph(line.width, line.height), line.lineWidth,
            fromGraph(label.left, label.top), fromGraph(label.left, label.top + label.height).y()};
}

QSizeF GraphPicture::sizeInTwips() const
{
    const QSizeF graph = graphTwips();
    return {graph.width(), calvetra::layout::graphWithLegendHeight(static_cast<int>(legend_.size()))};
}

QSize GraphPicture::designSize() const
{
    const QSizeF twips = sizeInTwips();
    return {calvetra::layout::pixels(twips.width(), kPixelsPerTwip),
            calvetra::layout::pixels(twips.height(), kPixelsPerTwip)};
}

void GraphPicture::paint(QPainter& painter) const
{
    const QSizeF graph = graphTwips() * kPixelsPerTwip;
    painter.save();
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(designSize())), palette_.color(QPalette::Button));
    PictureRenderer renderer;
    renderer.render(painter, list_, kPixelsPerTwip, font_, palette_);
    QPen border(palette_.color(QPalette::Dark), 1);
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, graph.width() - 1, graph.height() - 1));

    painter.setFont(font_);
    const double ascent = QFontMetricsF(font_, painter.device()).ascent();
    for (std::size_t k = 0; k < legend_.size(); ++k) {
        const LegendRow row = legendRow(static_cast<int>(k));
        painter.setPen(QPen(legend_[k].colour, row.lineWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(row.lineFrom * kPixelsPerTwip, row.lineTo * kPixelsPerTwip);
        painter.setPen(palette_.color(QPalette::WindowText));
        painter.drawText(row.text * kPixelsPerTwip + QPointF(0, ascent), legend_[k].text);
    }
    painter.restore();
}

QImage GraphPicture::image(double ratio) const
{
    QImage image(designSize() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(palette_.color(QPalette::Button));
    QPainter painter(&image);
    paint(painter);
    return image;
}

bool GraphPicture::writePng(QIODevice& device) const { return image(2).save(&device, "PNG"); }

bool GraphPicture::writePdf(QIODevice& device) const
{
    QPdfWriter pdf(&device);
    pdf.setResolution(96);
    pdf.setCreator(QStringLiteral("CALVETRA"));
    pdf.setTitle(QStringLiteral("CALVETRA"));
    const QSizeF points = sizeInTwips() / 20.0;  // 20 twips a point
    pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    paint(painter);
    return painter.end();
}

void GraphPicture::print(QPagedPaintDevice& printer) const
{
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter(&printer);
    const QRectF page = painter.viewport();
    const QSizeF size = QSizeF(designSize());
    const double scale = std::min(page.width() / size.width(), page.height() / size.height());
    painter.translate((page.width() - size.width() * scale) / 2, (page.height() - size.height() * scale) / 2);
    painter.scale(scale, scale);
    paint(painter);
}
