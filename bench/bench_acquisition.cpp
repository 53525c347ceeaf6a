// Continuous acquisition at 8192 samples on the simulated board in instant mode, in the
// whole main window offscreen: upload, volts, waveform, spectrum with metrics, histogram,
// status line and one event pass per block, as the continuous loop runs them. One run is
// 5000 blocks; the rates over the first and the last 500 show whether a block's cost
// grows with the length of the run. Goals: at least 250 blocks/s, and the last 500 within
// 10 % of the first 500.
#include "board/SimulatedPorts.h"
#include "display/main/frmMainScreen.h"
#include "files/StoredSettings.h"
#include "OffscreenBenchmarkMain.h"
#include "link/CommsFunctions.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <ctime>

namespace {

constexpr int Blocks = 5000;
constexpr int Window = 500;

class BenchOs : public OsLayer {
public:
    OsVersionInfo GetVersion() override { return {148, 5, 0, 0, 2, {}}; }
    QString CommandLine() override { return {}; }
};

double CpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

void BM_ContinuousRun8192(benchmark::State& state)
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
    window.show();

    QFile program(dir.filePath("B.PRG"));
    program.open(QIODevice::WriteOnly);
    program.write("x\r\n@PA\r\n000000\r\n123456\r\n#\r\n");
    program.close();
    ctx.CurrentSettings.EXEName = program.fileName();
    ctx.BoardLatch.SetValue(0x7C);
    if (LoadProgram(ctx) != 0) {
        state.SkipWithError("board program did not start");
        return;
    }
    ctx.CurrentSettings.NumberOfSamples = 5;   // 8192 samples

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
