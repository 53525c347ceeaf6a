// One cycle of continuous acquisition at 8192 samples on the simulated board in instant
// mode: upload, volts, waveform, spectrum with metrics, histogram and one event pass.
#include "board/SimulatedPorts.h"
#include "display/main/frmMainScreen.h"
#include "files/StoredSettings.h"
#include "OffscreenBenchmarkMain.h"
#include "link/CommsFunctions.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class BenchOs : public OsLayer {
public:
    OsVersionInfo GetVersion() override { return {148, 5, 0, 0, 2, {}}; }
    QString CommandLine() override { return {}; }
};

void BM_ContinuousCycle8192(benchmark::State& state)
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

    for (auto _ : state) {
        if (window.TakeSamples() != 0) {
            state.SkipWithError("upload failed");
            break;
        }
        QCoreApplication::processEvents();
    }
    state.counters["blocks_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ContinuousCycle8192)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
