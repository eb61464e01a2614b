#include "web/binding_window.h"

#include "toolkit/layout.h"

namespace calvetra::web {

std::string PageWindow::text(Box box) const { return page_.call<std::string>("text", static_cast<int>(box)); }

void PageWindow::setText(Box box, const std::string& text) { page_.call<void>("setText", static_cast<int>(box), text); }

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
void PageWindow::showMessage(const std::string& message) { page_.call<void>("showMessage", message); }
void PageWindow::close() { page_.call<void>("close"); }

}  // namespace calvetra::web
