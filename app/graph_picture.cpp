#include "app/graph_picture.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "app/picture_renderer.h"
#include "toolkit/layout.h"

namespace {

constexpr double kPixelsPerTwip = 96.0 / 1440.0;

// The legend's rows below the graph, in twips from the graph's top-left
// corner: the window places each sample line and description 360 twips
// apart, the line 120 twips in from the graph's left edge and the text
// 960 in; the first row starts 120 below the graph.
constexpr double kLegendGap = 120;
constexpr double kLegendRow = 360;
constexpr double kSampleLeft = 120, kSampleRight = 720, kSampleDrop = 120;
constexpr double kTextLeft = 960;

QSizeF graphTwips()
{
    const calvetra::PictureSize size = calvetra::layout::graphSize();
    return {size.width, size.height};
}

}  // namespace

GraphPicture::GraphPicture(const calvetra::DisplayList& list, std::vector<LegendEntry> legend, const QFont& font,
                           const QPalette& palette)
    : list_(list), legend_(std::move(legend)), font_(font), palette_(palette)
{
    // Vector files name the face really used, so other programs find it.
    font_.setFamily(QFontInfo(font).family());
}

QSizeF GraphPicture::sizeInTwips() const
{
    const QSizeF graph = graphTwips();
    const double legend = legend_.empty() ? 0 : kLegendGap + kLegendRow * static_cast<double>(legend_.size());
    return {graph.width(), graph.height() + legend};
}

QSize GraphPicture::designSize() const { return (sizeInTwips() * kPixelsPerTwip).toSize(); }

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
        const double top = (graphTwips().height() + kLegendGap + kLegendRow * static_cast<double>(k)) * kPixelsPerTwip;
        const double lineY = top + kSampleDrop * kPixelsPerTwip;
        painter.setPen(QPen(legend_[k].colour, 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(kSampleLeft * kPixelsPerTwip, lineY), QPointF(kSampleRight * kPixelsPerTwip, lineY));
        painter.setPen(palette_.color(QPalette::WindowText));
        painter.drawText(QPointF(kTextLeft * kPixelsPerTwip, top + ascent), legend_[k].text);
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

bool GraphPicture::writeSvg(QIODevice& device) const
{
    QSvgGenerator svg;
    svg.setOutputDevice(&device);
    svg.setSize(designSize());
    svg.setViewBox(QRect(QPoint(0, 0), designSize()));
    svg.setResolution(96);
    svg.setTitle(QStringLiteral("CALVETRA"));
    svg.setDescription(QStringLiteral("Temperatura del tanque frente al tiempo"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    paint(painter);
    return painter.end();
}

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
