#pragma once

// A window without a screen that logs every operation in order, so tests
// can assert what a user would see and in what order. It keeps what it is
// given as the in-memory window does.

#include <functional>
#include <string>
#include <vector>

#include "model/memory_window.h"

namespace calvetra::testing {

// The texts the boxes hold when the window opens.
std::array<std::string, kBoxCount> initialTexts();

class RecordingWindow : public MemoryWindow {
public:
    void setText(Box box, const std::string& text) override;
    void setCaption(Label label, const std::string& caption) override;
    void setLegendLineVisible(int index, bool visible) override;
    void setCrossCursor() override;
    void showMessage(const std::string& message) override;
    void close() override;

    // Every operation but the drawing itself: "text 6 = 10.00",
    // "caption Label5 = = 5.56 h", "legend 0 shown", "message ...",
    // "clear" (the picture), "close", "cursor cross".
    std::vector<std::string> log;
    // Called after a message is logged, as a user pressing OK would.
    std::function<void(const std::string&)> onMessage;
};

// The program on a recording window, loaded as at start-up.
using Program = ProgramOn<RecordingWindow>;

std::string labelName(Label label);

}  // namespace calvetra::testing
