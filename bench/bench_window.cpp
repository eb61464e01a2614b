#include "bench/bench_window.h"

namespace calvetra::bench {

// The texts the boxes hold when the window opens.
BenchWindow::BenchWindow() : texts{"5.4", "10", "20", "20000", "100", "20", "10", "1000", "0"} {}

BenchProgram::BenchProgram() : form(window, '.') { form.load(); }

void BenchProgram::type(Box box, const std::string& text)
{
    std::string& current = window.texts[static_cast<std::size_t>(box)];
    if (current == text)
        return;
    current = text;
    form.userChangedText(box);
}

void BenchProgram::calcular(int times)
{
    for (int i = 0; i < times; ++i)
        form.clickCalcular();
}

}  // namespace calvetra::bench
