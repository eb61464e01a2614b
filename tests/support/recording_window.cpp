#include "tests/support/recording_window.h"

namespace calvetra::testing {

std::array<std::string, 9> initialTexts() { return {"5.4", "10", "20", "20000", "100", "20", "10", "1000", "0"}; }

std::string labelName(Label label)
{
    static const char* const names[] = {"Label2", "Label5", "Label6(0)", "Label4(0)", "Label4(1)", "Label4(2)"};
    return names[static_cast<int>(label)];
}

RecordingWindow::RecordingWindow() : texts(initialTexts()) {}

std::string RecordingWindow::text(Box box) const { return texts[static_cast<std::size_t>(box)]; }

void RecordingWindow::setText(Box box, const std::string& text)
{
    texts[static_cast<std::size_t>(box)] = text;
    const int index = static_cast<int>(box);
    log.push_back((box == Box::Text2 ? std::string("text Text2") : "text " + std::to_string(index)) + " = " + text);
}

void RecordingWindow::setCaption(Label label, const std::string& caption)
{
    captions[static_cast<std::size_t>(label)] = caption;
    log.push_back("caption " + labelName(label) + " = " + caption);
}

void RecordingWindow::setLegendLineVisible(int index, bool visible)
{
    legendVisible.at(static_cast<std::size_t>(index)) = visible;
    log.push_back("legend " + std::to_string(index) + (visible ? " shown" : " hidden"));
}

void RecordingWindow::setCrossCursor()
{
    crossCursor = true;
    log.push_back("cursor cross");
}

void RecordingWindow::showMessage(const std::string& message)
{
    messages.push_back(message);
    log.push_back("message " + message);
    if (onMessage)
        onMessage(message);
}

void RecordingWindow::close()
{
    closed = true;
    log.push_back("close");
}

Program::Program(char separator) : form(window, separator) { form.load(); }

void Program::type(Box box, const std::string& text)
{
    if (window.text(box) == text)
        return;
    window.texts[static_cast<std::size_t>(box)] = text;
    form.userChangedText(box);
}

}  // namespace calvetra::testing
