#include "graph/whole_graph.h"

#include <algorithm>

#include "model/run_store.h"
#include "toolkit/layout.h"

namespace calvetra {

namespace {

std::size_t legendRows(std::size_t legends) { return std::min<std::size_t>(legends, kRunCount); }

void framed(const DisplayList& drawing, std::size_t rows, DisplayList& picture)
{
    const BoxFrame frame = boxFrame(rows);
    picture.clear();
    picture.append(frame.under);
    picture.append(drawing);
    picture.append(frame.over);
}

}  // namespace

BoxFrame boxFrame(std::size_t rows)
{
    const PictureSize box = layout::graphSize();
    const PictureSize whole = wholeGraphSize(rows);
    BoxFrame frame;
    frame.under.fill(0, 0, static_cast<float>(whole.width), static_cast<float>(whole.height));
    frame.over.border(0, 0, static_cast<float>(box.width), static_cast<float>(box.height));
    return frame;
}

PictureSize wholeGraphSize(std::size_t rows)
{
    return {layout::graphSize().width, layout::graphWithLegendHeight(static_cast<int>(legendRows(rows)))};
}

void shownBox(const DisplayList& drawing, DisplayList& picture) { framed(drawing, 0, picture); }

void drawRunMark(DisplayList& list, long run, float x, float y, const layout::GraphStyle& style)
{
    const Rgb colour = style.runs[run];
    const auto r = static_cast<float>(style.markRadius);
    const std::uint8_t w = style.markPixels;
    switch (layout::markShape(run)) {
    case layout::MarkShape::Circle:
        list.circle(x, y, r * 0.9F, colour, w);
        break;
    case layout::MarkShape::Square: {
        // Lines end flat at their end points: the horizontal sides reach
        // half a stroke further, so that the corners are closed.
        const float h = r * 0.8F;
        const float half = static_cast<float>(w * layout::kTwipsPerPixel / 2);
        list.line(x - h - half, y - h, x + h + half, y - h, colour, w);
        list.line(x - h - half, y + h, x + h + half, y + h, colour, w);
        list.line(x - h, y - h, x - h, y + h, colour, w);
        list.line(x + h, y - h, x + h, y + h, colour, w);
        break;
    }
    case layout::MarkShape::Triangle: {
        const float dx = r * 0.866F, dy = r * 0.5F;
        list.line(x, y - r, x + dx, y + dy, colour, w);
        list.line(x + dx, y + dy, x - dx, y + dy, colour, w);
        list.line(x - dx, y + dy, x, y - r, colour, w);
        break;
    }
    }
}

double legendSampleHalfHeight(const layout::GraphStyle& style)
{
    return style.markRadius + std::max(style.markPixels, style.legendPixels) * layout::kTwipsPerPixel;
}

bool carriesMark(long run, long j, long steps, const layout::GraphStyle& style, bool exactCurve)
{
    const long every = std::max(1L, steps / style.marksPerCurve);
    const long first = every * run / kRunCount + (exactCurve ? every / 2 : 0);
    return j >= first && (j - first) % every == 0;
}

void drawLegendSample(DisplayList& list, long run, float x1, float y, float x2, const layout::GraphLook& look)
{
    const layout::GraphStyle& style = look.style();
    list.line(x1, y, x2, y, style.runs[run], style.legendPixels);
    if (look.showsMarks())
        drawRunMark(list, run, (x1 + x2) / 2, y, style);
}

DisplayList wholeGraph(const DisplayList& drawing, const std::vector<std::string>& legends,
                       const layout::GraphLook& look)
{
    const std::size_t rows = legendRows(legends.size());
    DisplayList picture;
    framed(drawing, rows, picture);
    // The legend's controls lie in the window; the picture's origin is the
    // graph box's top-left corner. A line's rectangle holds its end points.
    const layout::Control& box = layout::control("Picture2");
    const auto x = [&](int twips) { return static_cast<float>(twips - box.left); };
    const auto y = [&](int twips) { return static_cast<float>(twips - box.top); };
    for (std::size_t k = 0; k < rows; ++k) {
        const layout::Control& line = layout::legendLine(static_cast<int>(k));
        const layout::Control& label = layout::control(label4(static_cast<int>(k)));
        drawLegendSample(picture, static_cast<long>(k), x(line.left), y(line.top), x(line.width), look);
        picture.setTextPosition(x(label.left), y(label.top));
        picture.print(legends[k]);
    }
    return picture;
}

}  // namespace calvetra
