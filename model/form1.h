#pragma once

// Form1: the program's one window, seen from its behaviour. It owns the run
// slot store, talks to the real window only through the Window interface and
// holds every event handler and procedure of the program. The handlers live
// in the folders of their subsystem (model/, graph/, editing/); this class
// ties them to one store, as the window's module-level values are shared by
// all of them.

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "graph/drawn_graph.h"
#include "graph/plot_area.h"
#include "model/heat_balance.h"
#include "model/run_store.h"
#include "toolkit/catalogue.h"
#include "toolkit/checked.h"
#include "toolkit/layout.h"
#include "toolkit/window.h"

namespace calvetra {

class Form1;

// The window's buttons and the entry point a click on each runs, with that
// entry point's name as the web page calls it.
struct ButtonHandler {
    const char* button;   // "Command1"
    const char* handler;  // "clickCalcular"
    void (Form1::*click)();
};

class Form1 {
public:
    // separator: the decimal separator of the user's locale.
    Form1(Window& window, char separator);

    // Entry points for the window's events. Each runs its handler inside a
    // guard: a run-time fault anywhere inside, nested handlers included,
    // abandons the action at that point and is reported in one message box;
    // the program goes on.
    void load();                    // before the window is first shown
    void clickCalcular();           // Command1
    void clickBorrarGrafica();      // Command2
    void clickSalir();              // Command3
    void userChangedText(Box box);  // typed, pasted, deleted
    // A user replacing a box's whole text: one change, when it differs from
    // what the box holds, or again, as typing the same text once more would.
    void userTyped(Box box, const std::string& text, bool again = false);
    void mouseMoved(float x, float y);  // over Picture2, in twips
    // The read-out from the keyboard: an arrow key moves the read-out point
    // by a hundredth of the axis (dx, dy in -1, 0, 1; large: a tenth, with
    // Shift), and the read-out shows what the pointer would show there.
    void readoutKey(int dx, int dy, bool large);
    void placeReadoutPoint(double x, double y);  // a click on the graph
    void readoutLeft();                          // the pointer left the graph, or the focus did
    // The read-out's note as the face shows it, in twips of the graph box
    // (layout::kReadoutNoteSize unless the face scales it otherwise), so that
    // it is placed whole on the box.
    void setReadoutNoteSize(PictureSize size) { noteSize_ = size; }
    GraphPoint readoutPoint() const;
    static std::span<const ButtonHandler> buttonHandlers();
    // The one guard of every user action: a fault anywhere inside, or
    // anything else thrown, ends the action with one message box and the
    // program goes on. The entry points above run their handlers in it; the
    // faces run their own actions in it (exports, the data table, a link).
    template <class Action> void guarded(Action&& action) const;
    // What the graph shows now, for copies and exports of it.
    const DrawnGraph& drawnGraph() const { return drawn_; }
    // The figures the boxes hold now, read as the program reads them; a box
    // whose number is beyond any range reads as absent.
    std::optional<RunFigures> typedFigures() const;
    // Whether the instantaneous query has run since start-up: its answer
    // and the outflow it showed stay on the window.
    bool queried() const { return queried_; }
    // How the graph is drawn (the window's look or the projector's, marks or
    // none). Choosing draws the graph again as it stands, in the scale and
    // step count it was drawn with.
    void chooseGraphLook(const layout::GraphLook& look);
    const layout::GraphLook& graphLook() const { return look_; }
    // "Solución exacta": each drawn run's closed-form curve beside it, its
    // exact and error columns in the data, and the exact figure beside
    // Runge-Kutta's in the read-out and the instantaneous answer. Off at
    // start-up; off, every output is what it is without the option.
    void setExactSolution(bool shown);
    bool exactSolutionShown() const { return exactShown_; }

    // The handlers themselves, unguarded (tests call them directly).
    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Text1_Change(std::int16_t Index);
    void Text2_Change();
    void Picture2_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void showExactSolution(bool shown);

    // The heat balance of the slot the handlers work on (RunIndex), and its
    // integration into StepTimes and StepTemps (model/heat_balance.h).
    double f(double t, double y) const;
    void RungeKutta(double a, double b, std::int16_t N, double y0);

    // Procedures shared by the handlers.
    void LoadRunParameters();
    void Integrate();
    void DrawGraphFrame();

    RunStore& store() { return *store_; }
    const RunStore& store() const { return *store_; }
    char separator() const { return separator_; }

    // The legend text of run slot s.
    std::string RunDescription(std::int16_t s) const;
    // After another language is chosen: the texts the program wrote, in it.
    void languageChanged();
    // The legend text with the heater power and the curve's span.
    std::string RunHeading(std::int16_t s) const;
    // The figures of slot s as its legend shows them.
    RunFigures shownFigures(std::int16_t s) const;

private:
    HeatBalance balanceOf(long slot) const;
    void integrateSlot(long slot, double a, double b, std::int16_t N, double y0);
    void integrateDrawnRuns(std::int16_t runs);
    bool integrateSideBySide(std::int16_t runs);
    // Writes a box's text; runs its change handler, nested, only when the
    // text differs from what the box holds.
    void setBoxText(Box box, const std::string& text);
    void dispatchChange(Box box);
    void normaliseCommas(Box box);
    void normaliseAllParameterBoxes();
    void clampValveOpening();
    bool checkSlot();
    void showOutflow();
    void showSimTimeInHours();
    void clearPicture();
    void PlotStoredRuns(long lastRun);
    DrawnRun& startDrawnRun(long run, long steps);
    // The liquid volume of a run at a step of the latest integration,
    // against the run's capacity; asked at every point plotted.
    bool runOverflowsAt(long run, long step) const
    {
        using namespace checked;
        const RunStore& s = store();
        const double t = s.StepTimes[step];
        const double volume = add(sub(mul(s.Inflow[run], t), mul(s.Outflow[run], t)), s.StartVolume[run]);
        return volume > s.TankCapacity[run];
    }
    PlotArea plotArea() const;
    void moveReadoutPoint(int dx, int dy, bool large);
    void hideReadoutNote();

    Window& window_;
    char separator_;
    std::unique_ptr<RunStore> store_;  // large: keep it off the stack
    DrawnGraph drawn_;
    // Per run slot: the figures typed for it at "Calcular", and the span its
    // curve was last integrated over.
    CheckedArray<RunFigures, 0, kLastRun> typed_;
    CheckedArray<double, 0, kLastRun> span_;
    // The curves of the runs integrated side by side, until all have them.
    std::array<std::vector<double>, kRunCount> sideBySide_;
    bool queried_ = false;
    // The instantaneous answer last shown: Runge-Kutta's and the exact ºC.
    std::optional<std::array<double, 2>> answer_;
    bool exactShown_ = false;
    std::size_t exactFrom_ = 0;  // where the exact curves start in the picture
    void showAnswer();
    std::optional<GraphPoint> readout_;  // none until the keyboard or a click places it
    PictureSize noteSize_ = layout::kReadoutNoteSize;
    layout::GraphLook look_;
    // The scale the frame on the graph was last drawn with.
    float frameMaxTemp_ = 0;
    double frameSimTime_ = 0;
};

template <class Action> void Form1::guarded(Action&& action) const
{
    try {
        action();
    } catch (const RuntimeFault& fault) {
        window_.showMessage(fault.what());
    } catch (const std::bad_alloc&) {
        window_.showMessage(std::string(catalogue::text(Text::OutOfMemory)));
    } catch (...) {
        // Nothing may cross the window toolkit's event loop.
        window_.showMessage(std::string(catalogue::text(Text::UnexpectedError)));
    }
}

}  // namespace calvetra
