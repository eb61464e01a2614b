#include "model/form1.h"

#include "graph/exact_curve.h"

#include "toolkit/text.h"

namespace calvetra {

Form1::Form1(Window& window, char separator)
    : window_(window), separator_(separator), store_(std::make_unique<RunStore>())
{
}

void Form1::load()
{
    guarded([&] { Form_Load(); });
}
void Form1::clickCalcular()
{
    guarded([&] { Command1_Click(); });
}
void Form1::clickBorrarGrafica()
{
    guarded([&] { Command2_Click(); });
}
void Form1::clickSalir()
{
    guarded([&] { Command3_Click(); });
}
void Form1::userChangedText(Box box)
{
    guarded([&] { dispatchChange(box); });
}
void Form1::userTyped(Box box, const std::string& text, bool again)
{
    if (window_.text(box) == text && !again)
        return;
    window_.showTyped(box, text);
    userChangedText(box);
}
void Form1::mouseMoved(float x, float y)
{
    guarded([&] { Picture2_MouseMove(0, 0, x, y); });
}
void Form1::readoutKey(int dx, int dy, bool large)
{
    guarded([&] {
        moveReadoutPoint(dx, dy, large);
        const GraphPoint p = readoutPoint();
        Picture2_MouseMove(0, 0, static_cast<float>(p.x), static_cast<float>(p.y));
    });
}

std::span<const ButtonHandler> Form1::buttonHandlers()
{
    static constexpr ButtonHandler kButtons[] = {
        {"Command1", "clickCalcular", &Form1::clickCalcular},
        {"Command2", "clickBorrarGrafica", &Form1::clickBorrarGrafica},
        {"Command3", "clickSalir", &Form1::clickSalir},
    };
    return kButtons;
}

void Form1::dispatchChange(Box box)
{
    if (box == Box::Text2)
        Text2_Change();
    else
        Text1_Change(static_cast<std::int16_t>(box));
}

void Form1::setBoxText(Box box, const std::string& text)
{
    if (window_.text(box) == text)
        return;
    window_.setText(box, text);
    dispatchChange(box);
}

void Form1::normaliseCommas(Box box) { setBoxText(box, text::commasToPoints(window_.text(box))); }

void Form1::normaliseAllParameterBoxes()
{
    for (int k = 0; k < kText1Count; ++k)
        normaliseCommas(text1(k));
}

void Form1::clearPicture()
{
    window_.picture().clear();
    hideReadoutNote();  // its figures are of the curves just cleared
    drawn_ = {};
    drawn_.look = look_;
    exactFrom_ = 0;
}

void Form1::setExactSolution(bool shown)
{
    guarded([&] { showExactSolution(shown); });
}

// The exact curves are the last thing drawn on the graph (PlotStoredRuns
// draws them after the points), so they come and go at the picture's end
// without the runs being drawn again.
void Form1::showExactSolution(bool shown)
{
    if (shown == exactShown_)
        return;
    if (!shown) {
        hideReadoutNote();
        window_.setCaption(Label::Label8, {});
    }
    exactShown_ = shown;
    drawn_.exact = shown;
    DisplayList& pic = window_.picture();
    if (!drawn_.runs.empty()) {
        if (shown) {
            exactFrom_ = pic.size();
            drawExactCurves(drawn_, pic);
        } else {
            pic.truncate(exactFrom_);
        }
    }
    if (answer_)
        showAnswer();
}

// Start-up: the boxes into slot 0, the empty frame, no run drawn.
void Form1::Form_Load()
{
    LoadRunParameters();
    DrawGraphFrame();
    store().RunIndex = 0;
}

// "Salir": the window closes and the program ends; nothing is saved.
void Form1::Command3_Click() { window_.close(); }

}  // namespace calvetra
