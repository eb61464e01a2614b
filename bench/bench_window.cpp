#include "bench/bench_window.h"

namespace calvetra::bench {

void BenchProgram::calcular(int times)
{
    for (int i = 0; i < times; ++i)
        form.clickCalcular();
}

}  // namespace calvetra::bench
