#pragma once

// The program for the benchmarks: on the in-memory window, which keeps what
// the real window keeps but logs nothing, so a measured action costs what
// the program's own handlers cost and no more. A benchmark that meets a
// message has not measured the action it meant to.

#include <cstddef>

#include "model/memory_window.h"

namespace calvetra::bench {

// The program on the in-memory window, loaded as at start-up.
struct BenchProgram : ProgramOn<MemoryWindow> {
    // "Calcular" pressed n times.
    void calcular(int times);
};

// Display-list sizes the benchmarks check their work against.
constexpr std::size_t kFrameOps = 23;         // ten lines and thirteen labels
constexpr std::size_t kCirclesPerRun = 5001;  // steps 0 to 5000

}  // namespace calvetra::bench
