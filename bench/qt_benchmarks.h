#pragma once

// The benchmarks that need the Qt window: the graph box rendered to pixels
// and the window's start-up. They share one application object, made before
// the benchmarks run and kept until they are done.

#include <memory>

class QApplication;

namespace calvetra::bench {

class QtSession {
public:
    // Without a platform chosen, the window is made offscreen: the
    // benchmarks need no display and measure no compositor.
    QtSession(int& argc, char** argv);
    ~QtSession();

private:
    std::unique_ptr<QApplication> app_;
};

}  // namespace calvetra::bench
