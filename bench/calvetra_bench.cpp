// The program's user actions, timed end to end through the real handlers on
// a window without a screen, and (when the Qt window is built) the rendering
// of the graph box and the start-up of the real window.
//
//   calvetra_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
//
// Every benchmark checks, outside or beside its timing, that the action did
// the whole of its work (steps integrated, circles plotted, no message), and
// reports an error instead of a time when it did not.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_window.h"
#include "model/form1.h"
#include "model/run_store.h"

#ifdef CALVETRA_BENCH_QT
#include "bench/qt_benchmarks.h"
#endif

namespace calvetra::bench {
namespace {

// ---------------------------------------------------------------------------
// The integrator alone.

constexpr std::int16_t kCalcularSteps = 5000;

// The slot fields the heat balance reads, reached without index checks.
struct SlotView {
    const std::int16_t* runIndex;
    const std::int16_t* inletTemp;
    const float* inflow;
    const float* heaterPower;
    const float* outflow;
    const float* startVolume;
    double* stepTimes;
    double* stepTemps;
};

SlotView viewOf(RunStore& s)
{
    return {&s.RunIndex,   &s.InletTemp,      &s.Inflow[0],    &s.HeaterPower[0],
            &s.Outflow[0], &s.StartVolume[0], &s.StepTimes[0], &s.StepTemps[0]};
}

// The heat balance with the program's operations in the program's order, and
// no checks: no finiteness test, no division-by-zero test, no index test.
inline double bareF(const SlotView& v, double t, double y)
{
    const long r = *v.runIndex;
    const double q1 = v.inflow[r];
    const double d = *v.inletTemp - y;
    const double p = q1 * d;
    const double heat = v.heaterPower[r] / double{4100000.0f};
    const double numerator = p + heat;
    const double u = q1 * t;
    const double w = v.outflow[r] * t;
    const double denominator = (u - w) + v.startVolume[r];
    return numerator / denominator;
}

// Runge-Kutta as the program runs it, unchecked, into the same step tables.
[[gnu::noinline]] void bareRungeKutta(const SlotView& v, double a, double b, std::int16_t N, double y0)
{
    const double h = (b - a) / static_cast<double>(N);
    const double halfH = h / 2;
    double t = a;
    double y = y0;
    v.stepTimes[0] = t;
    v.stepTemps[0] = y0;
    for (long i = 1; i <= N; ++i) {
        const double k1 = h * bareF(v, t, y);
        const double tMid = t + halfH;
        const double k2 = h * bareF(v, tMid, y + k1 / 2);
        const double k3 = h * bareF(v, tMid, y + k2 / 2);
        const double k4 = h * bareF(v, t + h, y + k3);
        const double c = 1.0 / 6.0;
        y = y + c * (((k1 + 2 * k2) + 2 * k3) + k4);
        t = t + h;
        v.stepTimes[i] = t;
        v.stepTemps[i] = y;
    }
}

void BM_RungeKutta(benchmark::State& state)
{
    BenchProgram p;  // loaded: slot 0 holds the initial boxes
    RunStore& s = p.store();
    for (auto _ : state) {
        p.form.RungeKutta(0, s.SimTime, kCalcularSteps, s.InitialTemp[0]);
        benchmark::DoNotOptimize(s.StepTemps[kCalcularSteps]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCalcularSteps);
}
BENCHMARK(BM_RungeKutta)->Unit(benchmark::kMicrosecond);

void BM_RungeKuttaBare(benchmark::State& state)
{
    BenchProgram p;
    RunStore& s = p.store();
    const SlotView v = viewOf(s);

    // The bare loop must compute what the program computes, bit for bit.
    p.form.RungeKutta(0, s.SimTime, kCalcularSteps, s.InitialTemp[0]);
    const double checkedEnd = s.StepTemps[kCalcularSteps];
    const double checkedTime = s.StepTimes[kCalcularSteps];
    s.StepTemps[kCalcularSteps] = 0;
    bareRungeKutta(v, 0, s.SimTime, kCalcularSteps, s.InitialTemp[0]);
    if (std::memcmp(&checkedEnd, &s.StepTemps[kCalcularSteps], sizeof(double)) != 0 ||
        std::memcmp(&checkedTime, &s.StepTimes[kCalcularSteps], sizeof(double)) != 0) {
        state.SkipWithError("the bare loop does not reproduce the program's integration");
        return;
    }

    for (auto _ : state) {
        bareRungeKutta(v, 0, s.SimTime, kCalcularSteps, s.InitialTemp[0]);
        benchmark::DoNotOptimize(s.StepTemps[kCalcularSteps]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCalcularSteps);
}
BENCHMARK(BM_RungeKuttaBare)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------
// User actions on the core.

constexpr std::size_t kThreeRunOps = kFrameOps + 3 * kCirclesPerRun;

// "Calcular" with two runs drawn: loads slot 2, integrates 5000 steps, keeps
// the curve, redraws the frame and plots all three runs (15 003 circles).
// Each iteration puts the run index back to 2, which is all that a third
// press changes in the state it starts from.
void BM_CalcularThirdPress(benchmark::State& state)
{
    BenchProgram p;
    p.calcular(2);
    RunStore& s = p.store();
    if (s.RunIndex != 2 || !p.window.messages.empty()) {
        state.SkipWithError("two runs could not be drawn");
        return;
    }
    for (auto _ : state) {
        s.RunIndex = 2;
        p.form.clickCalcular();
        if (s.RunIndex != 3 || p.window.pictureOps.size() != kThreeRunOps) [[unlikely]] {
            state.SkipWithError("the third press did not draw three runs");
            break;
        }
    }
    if (!p.window.messages.empty())
        state.SkipWithError(("a message was shown: " + p.window.messages.back()).c_str());
}
BENCHMARK(BM_CalcularThirdPress)->Unit(benchmark::kMicrosecond);

// A keystroke in the time box with three runs drawn: the three runs are
// integrated again over the new span and the graph is redrawn. The text
// alternates, so every keystroke is a real change.
void BM_TimeKeystrokeThreeRuns(benchmark::State& state)
{
    BenchProgram p;
    p.calcular(3);
    RunStore& s = p.store();
    bool longer = true;
    for (auto _ : state) {
        p.type(Box::Text1_3, longer ? "20001" : "20000");
        longer = !longer;
        if (s.RunIndex != 3 || p.window.pictureOps.size() != kThreeRunOps) [[unlikely]] {
            state.SkipWithError("the keystroke did not redraw three runs");
            break;
        }
    }
    if (!p.window.messages.empty())
        state.SkipWithError(("a message was shown: " + p.window.messages.back()).c_str());
}
BENCHMARK(BM_TimeKeystrokeThreeRuns)->Unit(benchmark::kMicrosecond);

// Typing into the "Instantáneo" box: the temperature at t, 1000 steps.
void BM_InstantQuery(benchmark::State& state)
{
    BenchProgram p;
    RunStore& s = p.store();
    const std::string& answer = p.window.captions[static_cast<std::size_t>(Label::Label2)];
    bool later = true;
    for (auto _ : state) {
        const double t = later ? 101 : 100;
        p.type(Box::Text2, later ? "101" : "100");
        later = !later;
        if (s.EndTime != t || s.StepCount != 1000 || answer.empty()) [[unlikely]] {
            state.SkipWithError("the query did not integrate to the time typed");
            break;
        }
    }
    if (!p.window.messages.empty())
        state.SkipWithError(("a message was shown: " + p.window.messages.back()).c_str());
}
BENCHMARK(BM_InstantQuery)->Unit(benchmark::kMicrosecond);

// The reporter chosen on the command line, counting the benchmarks that
// reported an error, so that a run with one fails (the smoke test in the
// test suite relies on it).
class ErrorCountingReporter : public benchmark::BenchmarkReporter {
public:
    explicit ErrorCountingReporter(benchmark::BenchmarkReporter* shown) : shown_(shown) {}
    bool ReportContext(const Context& context) override { return shown_->ReportContext(context); }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.error_occurred)
                ++errors;
        shown_->ReportRuns(runs);
    }
    void Finalize() override { shown_->Finalize(); }
    int errors = 0;

private:
    std::unique_ptr<benchmark::BenchmarkReporter> shown_;
};

}  // namespace
}  // namespace calvetra::bench

int main(int argc, char** argv)
{
#ifdef CALVETRA_BENCH_QT
    // The window benchmarks need one application object for the whole run.
    calvetra::bench::QtSession qt(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    calvetra::bench::ErrorCountingReporter reporter(benchmark::CreateDefaultDisplayReporter());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.errors == 0 ? 0 : 1;
}
