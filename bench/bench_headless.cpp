// Headless acquisition (the command-line tool's path: engine only, no widgets) against the
// window's continuous cycle, both at 8192 samples with metrics on the instant simulated
// board, in the same run. Goal: headless at least 1.5 times the window's rate.
#include "MainWindowRig.h"
#include "OffscreenBenchmarkMain.h"
#include "cli/ConsoleSession.h"
#include "engine/AcquisitionEngine.h"
#include "engine/BoardSession.h"

#include <chrono>
#include <cstdio>

namespace {

double g_headlessRate = 0, g_windowRate = 0;

template <typename Cycle>
double Measure(benchmark::State& state, Cycle&& cycle)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (!cycle()) {
            state.SkipWithError("block failed");
            return 0;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["blocks_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    return double(state.iterations()) / seconds;
}

void BM_HeadlessBlock8192(benchmark::State& state)
{
    QTemporaryDir dir;
    PortChoice choice;
    choice.realTime = false;
    ConsoleSession session(choice);
    session.Simulated()->Board().Trace().SetEnabled(false);
    StartLink(session.ctx);
    if (!StartBenchProgram(session.ctx, dir)) {
        state.SkipWithError("board program did not start");
        return;
    }
    AcquisitionEngine engine(session.ctx);
    g_headlessRate = Measure(state, [&] { return engine.TakeBlock() == 0; });
}
BENCHMARK(BM_HeadlessBlock8192)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_WindowCycle8192(benchmark::State& state)
{
    MainWindowRig rig;
    if (!rig.ready) {
        state.SkipWithError("board program did not start");
        return;
    }
    g_windowRate = Measure(state, [&] {
        const bool ok = rig.window->TakeSamples() == 0;
        QCoreApplication::processEvents();
        return ok;
    });
}
BENCHMARK(BM_WindowCycle8192)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    const int status = RunOffscreenBenchmarks(argc, argv);
    if (g_headlessRate > 0 && g_windowRate > 0)
        std::printf("headless %.0f blocks/s, window %.0f blocks/s: ratio %.2f (goal >= 1.5)\n", g_headlessRate,
                    g_windowRate, g_headlessRate / g_windowRate);
    return status;
}
