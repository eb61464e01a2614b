#pragma once

// A window without a screen: it holds the boxes' texts, the captions, the
// legend lines and the graph's display list, and logs every operation in
// order, so tests can assert what a user would see and in what order.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "model/form1.h"
#include "toolkit/window.h"

namespace calvetra::testing {

// The texts the boxes hold when the window opens.
std::array<std::string, 9> initialTexts();

class RecordingWindow : public Window {
public:
    RecordingWindow();

    std::string text(Box box) const override;
    void setText(Box box, const std::string& text) override;
    void setCaption(Label label, const std::string& caption) override;
    void setLegendLineVisible(int index, bool visible) override;
    PictureSize pictureSize() const override { return size; }
    DisplayList& picture() override { return pictureOps; }
    void setCrossCursor() override;
    void showMessage(const std::string& message) override;
    void close() override;

    const std::string& caption(Label label) const { return captions[static_cast<std::size_t>(label)]; }

    std::array<std::string, 9> texts;
    std::array<std::string, 6> captions;
    std::array<bool, 3> legendVisible{};
    bool crossCursor = false;
    bool closed = false;
    PictureSize size{6855, 5055};
    DisplayList pictureOps;
    std::vector<std::string> messages;
    // Every operation but the drawing itself: "text 6 = 10.00",
    // "caption Label5 = = 5.56 h", "legend 0 shown", "message ...",
    // "clear" (the picture), "close", "cursor cross".
    std::vector<std::string> log;
    // Called after a message is logged, as a user pressing OK would.
    std::function<void(const std::string&)> onMessage;
};

// The program on a recording window, loaded as at start-up.
struct Program {
    explicit Program(char separator = '.');
    RecordingWindow window;
    Form1 form;
    RunStore& store() { return form.store(); }
    // A user typing a whole new text into a box (one change).
    void type(Box box, const std::string& text);
};

std::string labelName(Label label);

}  // namespace calvetra::testing
