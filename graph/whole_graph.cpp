#include "graph/whole_graph.h"

#include <algorithm>

#include "model/run_store.h"
#include "toolkit/layout.h"

namespace calvetra {

namespace {

std::size_t legendRows(std::size_t legends) { return std::min<std::size_t>(legends, kRunCount); }

// The box's background (down to the legend's end, when there is one), the
// drawing over it, then the box's border over the drawing.
void framed(const DisplayList& drawing, std::size_t rows, DisplayList& picture)
{
    const PictureSize box = layout::graphSize();
    const PictureSize whole = wholeGraphSize(rows);
    picture.clear();
    picture.fill(0, 0, static_cast<float>(whole.width), static_cast<float>(whole.height));
    picture.append(drawing);
    picture.border(0, 0, static_cast<float>(box.width), static_cast<float>(box.height));
}

}  // namespace

PictureSize wholeGraphSize(std::size_t rows)
{
    return {layout::graphSize().width, layout::graphWithLegendHeight(static_cast<int>(legendRows(rows)))};
}

void shownBox(const DisplayList& drawing, DisplayList& picture) { framed(drawing, 0, picture); }

DisplayList wholeGraph(const DisplayList& drawing, const std::vector<std::string>& legends)
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
        picture.line(x(line.left), y(line.top), x(line.width), y(line.height), line.lineColour.rgb,
                     static_cast<std::uint8_t>(line.lineWidth));
        picture.setTextPosition(x(label.left), y(label.top));
        picture.print(legends[k]);
    }
    return picture;
}

}  // namespace calvetra
