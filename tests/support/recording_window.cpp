#include "tests/support/recording_window.h"

#include "toolkit/layout.h"

namespace calvetra::testing {

std::array<std::string, kBoxCount> initialTexts() { return MemoryWindow().texts; }

std::string labelName(Label label) { return layout::control(label).name; }

void RecordingWindow::setText(Box box, const std::string& text)
{
    MemoryWindow::setText(box, text);
    const int index = static_cast<int>(box);
    log.push_back((box == Box::Text2 ? std::string("text Text2") : "text " + std::to_string(index)) + " = " + text);
}

void RecordingWindow::setCaption(Label label, const std::string& caption)
{
    MemoryWindow::setCaption(label, caption);
    log.push_back("caption " + labelName(label) + " = " + caption);
}

void RecordingWindow::setLegendLineVisible(int index, bool visible)
{
    MemoryWindow::setLegendLineVisible(index, visible);
    log.push_back("legend " + std::to_string(index) + (visible ? " shown" : " hidden"));
}

void RecordingWindow::setCrossCursor()
{
    MemoryWindow::setCrossCursor();
    log.push_back("cursor cross");
}

void RecordingWindow::showMessage(const std::string& message)
{
    MemoryWindow::showMessage(message);
    log.push_back("message " + message);
    if (onMessage)
        onMessage(message);
}

void RecordingWindow::close()
{
    MemoryWindow::close();
    log.push_back("close");
}

}  // namespace calvetra::testing
