// Headless acquisition (the command-line tool's path: the session only, no widgets) against
// the window's continuous run, both at 8192 samples with metrics on the instant simulated
// board, in the same run. Goals: headless at least 650 blocks/s, the window at least 0.8
// times the headless rate.
#include "MainWindowRig.h"
#include "OffscreenBenchmarkMain.h"
#include "engine/BoardSession.h"
#include "engine/ConsoleSession.h"

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
    PortRequest request;
    request.realTime = false;
    ConsoleSession session(request);
    session.Simulated()->Board().Trace().SetEnabled(false);
    session.board.StartUp();
    if (!StartBenchProgram(session.ctx, dir)) {
        state.SkipWithError("board program did not start");
        return;
    }
    g_headlessRate = Measure(state, [&] { return session.board.TakeBlock() == 0; });
}
BENCHMARK(BM_HeadlessBlock8192)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_WindowRun8192(benchmark::State& state)
{
    constexpr int kBlocks = 2000;
    MainWindowRig rig;
    if (!rig.ready) {
        state.SkipWithError("board program did not start");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!rig.ContinuousRun(kBlocks)) {
            state.SkipWithError("block failed");
            return;
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    g_windowRate = kBlocks / seconds;
    state.counters["blocks_per_s"] = g_windowRate;
}
BENCHMARK(BM_WindowRun8192)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    const int status = RunOffscreenBenchmarks(argc, argv);
    if (g_headlessRate > 0 && g_windowRate > 0)
        std::printf("headless %.0f blocks/s, window %.0f blocks/s: window/headless %.2f (goal >= 0.8)\n",
                    g_headlessRate, g_windowRate, g_windowRate / g_headlessRate);
    return status;
}
