// Closing the main window through the window system's close request, as the window
// manager's close box does, until the window is closed and destroyed, in three states:
// idle, after 5000 blocks of continuous acquisition, and during a continuous run (the run
// must end, the settings be stored and then the window close). The program's own share
// of exit; the process's teardown is timed by bench_startup. Goal: well under 0.3 s.
#include "MainWindowRig.h"
#include "OffscreenBenchmarkMain.h"

#include "display/widgets/StatusBox.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTimer>
#include <QWindow>

namespace {

enum class Before { Nothing, Blocks5000, RunningLoop };

// Closes the window and destroys it; the seconds from the request to the end.
double CloseAndDestroy(MainWindowRig& rig, QElapsedTimer& since)
{
    while (rig.window->isVisible())
        QCoreApplication::processEvents();
    rig.window.reset();
    return double(since.nsecsElapsed()) * 1e-9;
}

void Close(benchmark::State& state, Before before)
{
    for (auto _ : state) {
        MainWindowRig rig("/SAVE");
        if (!rig.ready) {
            state.SkipWithError("board program did not start");
            return;
        }
        if (before == Before::Blocks5000)
            rig.ContinuousRun(5000);
        QCoreApplication::processEvents();
        QElapsedTimer since;
        QStringList status;
        if (before == Before::RunningLoop) {
            QTimer::singleShot(300, rig.window.get(), [&] {
                since.start();
                rig.window->windowHandle()->close();
            });
            rig.window->Acquisition().StartContinuous();
            rig.window->Acquisition().Wait();
            status = rig.window->Status1().Lines();
        } else {
            since.start();
            rig.window->windowHandle()->close();
        }
        state.SetIterationTime(CloseAndDestroy(rig, since));
        const bool stored = QSettings(rig.StorePath(), QSettings::IniFormat).contains("Position/Width");
        if (!stored || (before == Before::RunningLoop && status.last() != "Continuous Sampling Stopped")) {
            state.SkipWithError("the close did not end the run and store the settings");
            return;
        }
    }
}

void BM_CloseIdle(benchmark::State& state) { Close(state, Before::Nothing); }
void BM_CloseAfter5000Blocks(benchmark::State& state) { Close(state, Before::Blocks5000); }
void BM_CloseDuringContinuousRun(benchmark::State& state) { Close(state, Before::RunningLoop); }

} // namespace

BENCHMARK(BM_CloseIdle)->UseManualTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseDuringContinuousRun)->UseManualTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseAfter5000Blocks)->UseManualTime()->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
