#pragma once

#include "board/SimulatedPorts.h"
#include "display/main/AcquisitionControls.h"
#include "engine/AcquisitionRun.h"
#include "engine/SessionWaiter.h"
#include "display/main/frmMainScreen.h"
#include "files/StoredSettings.h"
#include "link/CommsFunctions.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

// Downloads and starts a small board program with supplies and bus switches on, for
// 8192-sample blocks; true when the board runs it.
inline bool StartBenchProgram(EvalContext& ctx, const QTemporaryDir& dir)
{
    QFile program(dir.filePath("B.PRG"));
    program.open(QIODevice::WriteOnly);
    program.write("x\r\n@PA\r\n000000\r\n123456\r\n#\r\n");
    program.close();
    ctx.CurrentSettings.EXEName = program.fileName();
    ctx.BoardLatch.SetValue(0x7C);
    const bool running = LoadProgram(ctx.Link, program.fileName(), ctx.BoardLatch.Value(), ctx.CurrentPeriodWord()) == 0;
    ctx.CurrentSettings.ProgramLoaded = True;
    ctx.CurrentSettings.NumberOfSamples = 5;   // 8192 samples
    return running;
}

// The main window on the simulated board in instant mode, shown, with a board program
// running and 8192-sample blocks, as the setup dialog leaves it.
class MainWindowRig {
public:
    explicit MainWindowRig(QString commandLine = {}) : os_(std::move(commandLine))
    {
        ports_.Board().Trace().SetEnabled(false);
        ctx.Link.Port = &ports_;
        ctx.Link.Wait = &waiter_;
        ctx.Os = &os_;
        ctx.Options = StartupOptions::Parse(os_.CommandLine());
        store_ = std::make_unique<SettingsStore>(dir_.filePath("settings.ini"));
        window = std::make_unique<frmMainScreen>(ctx);
        window->SetSettingsStore(store_.get());
        window->Form_Load();
        window->show();

        ready = StartBenchProgram(ctx, dir_);
        window->Acquisition().SetBoardButtonsEnabled(true);
    }

    // A continuous run as Cont Samp starts it, ended by Stop Samp once `blocks` blocks were
    // shown; onBlock(k) runs after block k (from 1) was analysed and logged. False when a
    // block failed.
    bool ContinuousRun(int blocks, const std::function<void(int)>& onBlock = {})
    {
        int shown = 0;
        bool failed = false;
        AcquisitionRun& run = window->Acquisition().Run();
        const QMetaObject::Connection counter = QObject::connect(&run, &AcquisitionRun::BlockAnalysed, window.get(), [&] {
            if (++shown == blocks)
                window->Acquisition().StopSampling();
            if (onBlock && shown <= blocks)
                onBlock(shown);
        });
        const QMetaObject::Connection failure =
            QObject::connect(&run, &AcquisitionRun::BlockFailed, window.get(), [&] { failed = true; });
        window->Acquisition().StartContinuous();
        window->Acquisition().Wait();
        QObject::disconnect(counter);
        QObject::disconnect(failure);
        return !failed && shown >= blocks;
    }

    // A continuous run stopped with Stop Samp after the given time; the blocks the window
    // took meanwhile.
    int ContinuousRunFor(double seconds)
    {
        int shown = 0;
        const QMetaObject::Connection counter =
            QObject::connect(&window->Acquisition().Run(), &AcquisitionRun::BlockAnalysed, window.get(),
                             [&] { shown += window->Acquisition().Acquiring(); });
        QTimer::singleShot(int(seconds * 1000), window.get(), [this] { window->Acquisition().StopSampling(); });
        window->Acquisition().StartContinuous();
        window->Acquisition().Wait();
        QObject::disconnect(counter);
        return shown;
    }

    QString StorePath() const { return dir_.filePath("settings.ini"); }
    SimulatedPorts& Ports() { return ports_; }

    EvalContext ctx;
    std::unique_ptr<frmMainScreen> window;
    bool ready = false;

private:
    class Os : public OsLayer {
    public:
        explicit Os(QString commandLine) : commandLine_(std::move(commandLine)) {}
        OsVersionInfo GetVersion() override { return {148, 5, 0, 0, 2, {}}; }
        QString CommandLine() override { return commandLine_; }

    private:
        QString commandLine_;
    };

    QTemporaryDir dir_;
    SimulatedPorts ports_;
    // Sleeps through conversions only while the board converts in real time.
    class Waiter : public SessionWaiter {
    public:
        explicit Waiter(SimulatedPorts& ports) : SessionWaiter(false), ports_(ports) {}
        void Pause(std::chrono::nanoseconds expected) override
        {
            if (ports_.Board().RealTime())
                SessionWaiter::Pause(expected);
        }
    private:
        SimulatedPorts& ports_;
    } waiter_{ports_};
    Os os_;
    std::unique_ptr<SettingsStore> store_;
};
