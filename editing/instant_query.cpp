#include "model/exact_solution.h"
#include "model/form1.h"
#include "model/messages.h"
#include "toolkit/text.h"

namespace calvetra {

// "Instantáneo T = f(t)": the temperature at time t (whole seconds) for the
// parameters now in the boxes, with the checks and messages of "Calcular",
// integrated in kQuerySteps into the slot the next "Calcular" would fill.
// A comma in Text2 is rewritten as a point, which runs this handler once
// more, nested, before the outer run goes on.
void Form1::Text2_Change()
{
    queried_ = true;
    normaliseAllParameterBoxes();
    normaliseCommas(Box::Text2);
    LoadRunParameters();
    clampValveOpening();

    RunStore& s = store();
    const std::int32_t t = text::roundToInt32(text::parseLeadingNumber(window_.text(Box::Text2)));
    s.StartTime = 0;
    s.EndTime = t;
    s.StartValue = s.InitialTemp[s.RunIndex];
    s.StepCount = kQuerySteps;
    if (!checkSlot())
        return;
    RungeKutta(s.StartTime, s.EndTime, s.StepCount, s.InitialTemp[s.RunIndex]);
    for (long j = 0; j <= s.StepCount; ++j)
        s.RunTemps.set(s.RunIndex, j, s.StepTemps[j]);
    if (t < 0) {
        window_.showMessage(std::string(messages::negativeTime()));
        return;
    }
    answer_ = {s.RunTemps.at(s.RunIndex, s.StepCount),
               ExactSolution(balanceOf(s.RunIndex), s.InitialTemp[s.RunIndex])(t)};
    showAnswer();
}

// Label2: Runge-Kutta's temperature with one decimal; with the exact
// solution shown, Label8 under it gives the exact one and their difference.
void Form1::showAnswer()
{
    const auto [rk4, exact] = *answer_;
    window_.setCaption(Label::Label2, text::fixed(rk4, 1, separator_));
    if (exactShown_)
        window_.setCaption(Label::Label8,
                           catalogue::format(Text::InstantWithExact, {text::fixed(exact, 1, separator_),
                                                                      text::significant(rk4 - exact, 3, separator_)}));
}

}  // namespace calvetra
