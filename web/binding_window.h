#pragma once

// The Window of the web page: every operation forwarded to an object of the
// page, with the graph box's display list kept here for the page to draw
// after each event. The boxes' texts are kept here too, as the core wrote
// them or the page handed them in: reading one asks the page nothing.

#include <emscripten/val.h>

#include <array>
#include <string>

#include "toolkit/window.h"

namespace calvetra::web {

// The page's side of the window: an object with the methods
// setText(box, text), setCaption(label, caption), setLegendLineVisible(index,
// visible), setCrossCursor(), showReadoutNote(text, left, top),
// showMessage(text) and close(). Boxes and labels
// are passed as the numbers of their enums.
class PageWindow : public Window {
public:
    // The boxes start with the texts the layout gives them, as the page's do.
    explicit PageWindow(emscripten::val page);

    std::string text(Box box) const override;
    void setText(Box box, const std::string& text) override;
    void setCaption(Label label, const std::string& caption) override;
    void setLegendLineVisible(int index, bool visible) override;
    PictureSize pictureSize() const override;
    DisplayList& picture() override { return picture_; }
    void setCrossCursor() override;
    void showReadoutNote(const std::string& text, double left, double top) override;
    void showMessage(const std::string& message) override;
    void close() override;

    const DisplayList& displayList() const { return picture_; }
    // The text the user left in the box, as the page saw it.
    void takeText(Box box, std::string text);

private:
    emscripten::val page_;
    DisplayList picture_;
    std::array<std::string, kBoxCount> texts_;
};

}  // namespace calvetra::web
