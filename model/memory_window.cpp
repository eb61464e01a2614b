#include "model/memory_window.h"

#include "toolkit/layout.h"

namespace calvetra {

MemoryWindow::MemoryWindow() : size(layout::graphSize())
{
    for (std::size_t k = 0; k < texts.size(); ++k)
        texts[k] = layout::control(static_cast<Box>(k)).text;
}

}  // namespace calvetra
