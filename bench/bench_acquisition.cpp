// Continuous acquisition at 8192 samples on the simulated board in instant mode, in the
// whole main window offscreen: upload, volts, waveform, spectrum with metrics, histogram,
// status line and one event pass per block, as the continuous loop runs them. One run is
// 5000 blocks; the rates over the first and the last 500 show whether a block's cost
// grows with the length of the run. Goals: at least 250 blocks/s, and the last 500 within
// 10 % of the first 500.
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
    frmMainScreen& window = *rig.window;

    double first = 0, last = 0, firstCpu = 0, lastCpu = 0, all = 0;
    for (auto _ : state) {
        QElapsedTimer run;
        run.start();
        double windowStart = 0, cpuStart = CpuSeconds();
        for (int block = 0; block < Blocks; ++block) {
            if (window.TakeSamples() != 0) {
                state.SkipWithError("upload failed");
                return;
            }
            QCoreApplication::processEvents();
            if (block + 1 == Window || block + 1 == Blocks) {
                const double now = double(run.nsecsElapsed()) * 1e-9, cpu = CpuSeconds();
                (block + 1 == Window ? first : last) = Window / (now - windowStart);
                (block + 1 == Window ? firstCpu : lastCpu) = Window / (cpu - cpuStart);
            }
            if (block + 1 == Blocks - Window) {
                windowStart = double(run.nsecsElapsed()) * 1e-9;
                cpuStart = CpuSeconds();
            }
        }
        all = Blocks / (double(run.nsecsElapsed()) * 1e-9);
    }
    state.counters["blocks_per_s"] = all;
    state.counters["first500_per_s"] = first;
    state.counters["last500_per_s"] = last;
    state.counters["last_over_first"] = last / first;
    // Per second of this process's own processor time: the rate an unshared machine gives.
    state.counters["first500_per_cpu_s"] = firstCpu;
    state.counters["last500_per_cpu_s"] = lastCpu;
}
BENCHMARK(BM_ContinuousRun8192)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
