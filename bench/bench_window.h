#pragma once

// A window without a screen for the benchmarks: it keeps the boxes' texts,
// the captions, the legend lines and the graph's display list, as the real
// window does, but logs nothing, so a measured action costs what the
// program's own handlers cost and no more. Messages are only counted: a
// benchmark that meets one has not measured the action it meant to.

#include <array>
#include <cstddef>
#include <string>

#include "model/form1.h"
#include "toolkit/window.h"

namespace calvetra::bench {

class BenchWindow : public Window {
public:
    BenchWindow();

    std::string text(Box box) const override { return texts[static_cast<std::size_t>(box)]; }
    void setText(Box box, const std::string& text) override { texts[static_cast<std::size_t>(box)] = text; }
    void setCaption(Label label, const std::string& caption) override
    {
        captions[static_cast<std::size_t>(label)] = caption;
    }
    void setLegendLineVisible(int index, bool visible) override
    {
        legendVisible[static_cast<std::size_t>(index)] = visible;
    }
    PictureSize pictureSize() const override { return size; }
    DisplayList& picture() override { return pictureOps; }
    void setCrossCursor() override {}
    void showMessage(const std::string& message) override
    {
        ++messageCount;
        lastMessage = message;
    }
    void close() override {}

    std::array<std::string, 9> texts;
    std::array<std::string, 6> captions;
    std::array<bool, 3> legendVisible{};
    PictureSize size{6855, 5055};  // Picture2 as laid out in the window
    DisplayList pictureOps;
    std::size_t messageCount = 0;
    std::string lastMessage;
};

// The program on a bench window, loaded as at start-up.
struct BenchProgram {
    BenchProgram();
    BenchWindow window;
    Form1 form;
    RunStore& store() { return form.store(); }
    // A user typing a whole new text into a box (one change).
    void type(Box box, const std::string& text);
    // "Calcular" pressed n times.
    void calcular(int times);
};

// Display-list sizes the benchmarks check their work against.
constexpr std::size_t kFrameOps = 23;         // ten lines and thirteen labels
constexpr std::size_t kCirclesPerRun = 5001;  // steps 0 to 5000

}  // namespace calvetra::bench
