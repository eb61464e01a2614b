#include "web/binding_window.h"

#include "toolkit/layout.h"

namespace calvetra::web {

PageWindow::PageWindow(emscripten::val page) : page_(std::move(page))
{
    for (int box = 0; box < kBoxCount; ++box)
        texts_[static_cast<std::size_t>(box)] = layout::control(static_cast<Box>(box)).text;
}

std::string PageWindow::text(Box box) const { return texts_[static_cast<std::size_t>(box)]; }

void PageWindow::setText(Box box, const std::string& text)
{
    texts_[static_cast<std::size_t>(box)] = text;
    page_.call<void>("setText", static_cast<int>(box), text);
}

void PageWindow::takeText(Box box, std::string text) { texts_[static_cast<std::size_t>(box)] = std::move(text); }

void PageWindow::setCaption(Label label, const std::string& caption)
{
    page_.call<void>("setCaption", static_cast<int>(label), caption);
}

void PageWindow::setLegendLineVisible(int index, bool visible)
{
    page_.call<void>("setLegendLineVisible", index, visible);
}

PictureSize PageWindow::pictureSize() const { return layout::graphSize(); }
void PageWindow::setCrossCursor() { page_.call<void>("setCrossCursor"); }

void PageWindow::showReadoutNote(const std::string& text, double left, double top)
{
    page_.call<void>("showReadoutNote", text, left, top);
}
void PageWindow::showMessage(const std::string& message) { page_.call<void>("showMessage", message); }
void PageWindow::close() { page_.call<void>("close"); }

}  // namespace calvetra::web
