// Continuous acquisition at 8192 samples on the simulated board in instant mode, in the
// whole main window offscreen, as Cont Samp runs it: uploads on the session's thread;
// volts, spectrum with metrics, histogram and status line per block on the window's
// thread, and the charts drawn at the screen's pace. One run is 5000 blocks; the rates
// over the first and the last 500 show whether a block's cost grows with the length of
// the run. Goal: the last 500 within 10 % of the first 500 (processor time per block).
#include "MainWindowRig.h"
#include "OffscreenBenchmarkMain.h"

#include <QElapsedTimer>

#include <ctime>

namespace {

constexpr int Blocks = 5000;
constexpr int Window = 500;

double CpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

void BM_ContinuousRun8192(benchmark::State& state)
{
    MainWindowRig rig;
    if (!rig.ready) {
        state.SkipWithError("board program did not start");
        return;
    }
    double first = 0, last = 0, firstCpu = 0, lastCpu = 0, all = 0;
    for (auto _ : state) {
        QElapsedTimer run;
        run.start();
        double windowStart = 0, cpuStart = CpuSeconds();
        const bool ok = rig.ContinuousRun(Blocks, [&](int block) {
            if (block == Window || block == Blocks) {
                const double now = double(run.nsecsElapsed()) * 1e-9, cpu = CpuSeconds();
                (block == Window ? first : last) = Window / (now - windowStart);
                (block == Window ? firstCpu : lastCpu) = Window / (cpu - cpuStart);
            }
            if (block == Blocks - Window) {
                windowStart = double(run.nsecsElapsed()) * 1e-9;
                cpuStart = CpuSeconds();
            }
        });
        if (!ok) {
            state.SkipWithError("upload failed");
            return;
        }
        all = Blocks / (double(run.nsecsElapsed()) * 1e-9);
    }
    state.counters["blocks_per_s"] = all;
    state.counters["first500_per_s"] = first;
    state.counters["last500_per_s"] = last;
    state.counters["last_over_first"] = last / first;
    // Per second of this process's own processor time: the rate an unshared machine gives,
    // and the figure the goal is on.
    state.counters["first500_per_cpu_s"] = firstCpu;
    state.counters["last500_per_cpu_s"] = lastCpu;
    state.counters["last_over_first_cpu"] = lastCpu / firstCpu;
}
BENCHMARK(BM_ContinuousRun8192)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
