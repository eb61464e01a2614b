#include "app/graph_picture.h"

#include <QFontInfo>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "graph/whole_graph.h"
#include "toolkit/layout.h"

using calvetra::layout::kPixelsPerTwip;

GraphPicture::GraphPicture(const calvetra::DisplayList& drawing, const std::vector<std::string>& legends,
                           const QFont& font, const PictureColours& colours, const calvetra::layout::GraphLook& look)
    : list_(calvetra::wholeGraph(drawing, legends, look)), font_(font), colours_(colours)
{
    const calvetra::PictureSize size = calvetra::wholeGraphSize(legends.size());
    twips_ = {size.width, size.height};
    // Vector files name the face really used, so other programs find it.
    font_.setFamily(QFontInfo(font).family());
}

QSizeF GraphPicture::sizeInTwips() const { return twips_; }

QSize GraphPicture::designSize() const
{
    return {calvetra::layout::pixels(twips_.width(), kPixelsPerTwip),
            calvetra::layout::pixels(twips_.height(), kPixelsPerTwip)};
}

void GraphPicture::paint(QPainter& painter) const
{
    PictureRenderer renderer;
    renderer.render(painter, list_, kPixelsPerTwip, font_, colours_);
}

QImage GraphPicture::image(double ratio) const
{
    QImage image(designSize() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(colours_.background);
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
