#pragma once

// A window with no screen: the boxes start with the layout's texts and the
// graph box has the layout's size; whatever the program writes is kept to be
// read back. The help's worked example runs the program on one, the
// benchmarks measure on one, and the tests' recording window is one that
// also logs each operation.

#include <array>
#include <string>
#include <vector>

#include "model/form1.h"
#include "toolkit/window.h"

namespace calvetra {

class MemoryWindow : public Window {
public:
    MemoryWindow();

    std::string text(Box box) const override { return texts[static_cast<std::size_t>(box)]; }
    void setText(Box box, const std::string& text) override { texts[static_cast<std::size_t>(box)] = text; }
    // Not a write of the program: a recording derived from this logs none.
    void showTyped(Box box, const std::string& text) override { texts[static_cast<std::size_t>(box)] = text; }
    void setCaption(Label label, const std::string& caption) override
    {
        captions[static_cast<std::size_t>(label)] = caption;
    }
    void setLegendLineVisible(int index, bool visible) override
    {
        legendVisible.at(static_cast<std::size_t>(index)) = visible;
    }
    PictureSize pictureSize() const override { return size; }
    DisplayList& picture() override { return pictureOps; }
    void setCrossCursor() override { crossCursor = true; }
    void showReadoutNote(const std::string& text, double left, double top) override
    {
        note = {text, GraphPoint{left, top}};
    }
    void showMessage(const std::string& message) override { messages.push_back(message); }
    void close() override { closed = true; }

    const std::string& caption(Label label) const { return captions[static_cast<std::size_t>(label)]; }

    std::array<std::string, kBoxCount> texts;
    std::array<std::string, kLabelCount> captions;
    std::array<bool, kRunCount> legendVisible{};
    bool crossCursor = false;
    struct Note {
        std::string text;
        GraphPoint corner;
    } note;  // the read-out's note, empty while hidden
    bool closed = false;
    PictureSize size;
    DisplayList pictureOps;
    std::vector<std::string> messages;
};

// The program on an in-memory window, loaded as at start-up.
template <class W = MemoryWindow> struct ProgramOn {
    explicit ProgramOn(char separator = '.') : form(window, separator) { form.load(); }

    RunStore& store() { return form.store(); }

    // A user typing a whole new text into a box: one change.
    void type(Box box, const std::string& text) { form.userTyped(box, text); }

    W window;
    Form1 form;
};

}  // namespace calvetra
