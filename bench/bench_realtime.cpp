// The window's continuous run against the real-time simulated board, which sets the pace:
// a block takes N / fs to convert, then its upload. The program has to keep up with the
// board without spending a processor core on waiting. Goals: at least 95 % of the
// board-bound rate 1 / (N / fs + upload time) over the run, with the program's processor
// time at most 30 % of one core, for the sample configuration (1024 samples at 100 kHz)
// and for 8192 samples on a port whose every register access takes 1 us; and on that slow
// port, Stop Samp clicked in the middle of an upload leaves the window idle within 100 ms.
// KV2680_BENCH_SECONDS sets the length of a run (default 60).
#include "MainWindowRig.h"
#include "OffscreenBenchmarkMain.h"

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace {

double RunSeconds()
{
    bool ok = false;
    const double s = qEnvironmentVariable("KV2680_BENCH_SECONDS").toDouble(&ok);
    return ok && s > 0 ? s : 60.0;
}

double CpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

// The upload time of one block (block command, ready handshake, 2N bytes) on this port,
// measured with the board converting at once.
double UploadSeconds(MainWindowRig& rig)
{
    EvalBoard& board = rig.Ports().Board();
    board.SetRealTime(false);
    BlockRequest request = rig.ctx.CurrentBlockRequest();
    request.ConversionTime = std::chrono::nanoseconds(0);
    std::vector<double> codes;
    const int blocks = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < blocks; ++i)
        ReadData(rig.ctx.Link, request, rig.ctx.BlockLength(), codes);
    board.SetRealTime(true);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / blocks;
}

void BM_RunAtTheBoardsPace(benchmark::State& state)
{
    MainWindowRig rig;
    if (!rig.ready) {
        state.SkipWithError("board program did not start");
        return;
    }
    rig.ctx.CurrentSettings.NumberOfSamples = std::int16_t(state.range(0));
    rig.Ports().AccessTime().Set(std::chrono::nanoseconds(state.range(1)));
    const double upload = UploadSeconds(rig);
    const double conversion = std::chrono::duration<double>(rig.ctx.CurrentBlockRequest().ConversionTime).count();
    const double boardBound = 1.0 / (conversion + upload);
    for (auto _ : state) {
        const double seconds = RunSeconds();
        const double cpu = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const int blocks = rig.ContinuousRunFor(seconds);
        const double elapsed = double(wall.nsecsElapsed()) * 1e-9;
        state.counters["blocks_per_s"] = blocks / elapsed;
        state.counters["board_bound_per_s"] = boardBound;
        state.counters["of_board_bound"] = blocks / elapsed / boardBound;
        state.counters["cpu_of_one_core"] = (CpuSeconds() - cpu) / elapsed;
        state.counters["upload_ms"] = upload * 1e3;
    }
}
// Sample configuration: 1024 samples (exponent 2) at 100 kHz; and 8192 at 1 us per access.
BENCHMARK(BM_RunAtTheBoardsPace)->Args({2, 0})->Args({5, 1000})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void BM_StopInTheMiddleOfASlowUpload(benchmark::State& state)
{
    MainWindowRig rig;
    if (!rig.ready) {
        state.SkipWithError("board program did not start");
        return;
    }
    rig.ctx.CurrentSettings.NumberOfSamples = 5;
    rig.Ports().AccessTime().Set(std::chrono::microseconds(1));
    rig.Ports().Board().SetRealTime(true);
    const double conversion = std::chrono::duration<double>(rig.ctx.CurrentBlockRequest().ConversionTime).count();
    std::vector<double> latencies;
    for (auto _ : state) {
        double latency = -1;
        // A block's conversion, then half way into its upload of about 115 ms.
        QTimer::singleShot(int((conversion + 0.06) * 1000), rig.window.get(), [&] {
            QElapsedTimer sinceClick;
            sinceClick.start();
            rig.window->Acquisition().StopSampling();
            if (!rig.window->Acquisition().Acquiring())
                latency = double(sinceClick.nsecsElapsed()) * 1e-9;
        });
        rig.window->Acquisition().StartContinuous();
        rig.window->Acquisition().Wait();
        rig.window->Acquisition().Run().WaitUntilIdle();
        if (latency < 0) {
            state.SkipWithError("the run did not end at the click");
            return;
        }
        state.SetIterationTime(latency);
        latencies.push_back(latency);
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2] * 1e3;
}
BENCHMARK(BM_StopInTheMiddleOfASlowUpload)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
