// Headless acquisition (the command-line tool's path: engine only, no widgets) against the
// window's continuous cycle, both at 8192 samples with metrics on the instant simulated
// board, in the same run. Goal: headless at least 1.5 times the window's rate.
#include "board/SimulatedPorts.h"
#include "cli/ConsoleSession.h"
#include "display/main/frmMainScreen.h"
#include "engine/AcquisitionEngine.h"
#include "engine/BoardSession.h"
#include "files/StoredSettings.h"
#include "link/CommsFunctions.h"
#include "OffscreenBenchmarkMain.h"

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

namespace {

double g_headlessRate = 0, g_windowRate = 0;

// Starts a small board program with supplies and bus switches on, 8192-sample blocks.
bool StartBoard(EvalContext& ctx, const QTemporaryDir& dir)
{
    QFile program(dir.filePath("B.PRG"));
    program.open(QIODevice::WriteOnly);
    program.write("x\r\n@PA\r\n000000\r\n123456\r\n#\r\n");
    program.close();
    ctx.CurrentSettings.EXEName = program.fileName();
    ctx.BoardLatch.SetValue(0x7C);
    ctx.CurrentSettings.NumberOfSamples = 5;
    return LoadProgram(ctx) == 0;
}

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
    if (!StartBoard(session.ctx, dir)) {
        state.SkipWithError("board program did not start");
        return;
    }
    AcquisitionEngine engine(session.ctx);
    g_headlessRate = Measure(state, [&] { return engine.TakeBlock() == 0; });
}
BENCHMARK(BM_HeadlessBlock8192)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

class BenchOs : public OsLayer {
public:
    OsVersionInfo GetVersion() override { return {148, 5, 0, 0, 2, {}}; }
    QString CommandLine() override { return {}; }
};

void BM_WindowCycle8192(benchmark::State& state)
{
    QTemporaryDir dir;
    SimulatedPorts ports;
    ports.Board().Trace().SetEnabled(false);
    BenchOs os;
    EvalContext ctx;
    ctx.Port = &ports;
    ctx.Os = &os;
    SettingsStore store(dir.filePath("settings.ini"));
    frmMainScreen window(ctx);
    window.SetSettingsStore(&store);
    window.Form_Load();
    window.resize(1000, 720);
    window.show();
    if (!StartBoard(ctx, dir)) {
        state.SkipWithError("board program did not start");
        return;
    }
    g_windowRate = Measure(state, [&] {
        const bool ok = window.TakeSamples() == 0;
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
