// Builds the application object, picks the port backend and shows the main window.
#include "board/SignalSource.h"
#include "board/SimulatedFaultSwitch.h"
#include "board/SimulatedPorts.h"
#include "display/main/frmMainScreen.h"
#include "link/EvalContext.h"
#include "link/PortBackendSwitch.h"
#include "link/PpdevPortLibrary.h"
#include "link/SystemOs.h"

#include <QApplication>
#include <QMessageBox>
#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("EvalControlBoard"));
    QApplication::setApplicationDisplayName(QStringLiteral("KV2680 Evaluation Software"));

    SystemOs os;
    EvalContext ctx;
    ctx.Os = &os;

    // The simulated board is the default; "/PPDEV" or "/PPDEV:n" talks to a real board on
    // /dev/parportn instead.
    std::unique_ptr<PortLibrary> port;
    std::unique_ptr<PpdevPortLibrary> ppdev;
    QString faultError;
    if (const std::optional<int> parport = RequestedPpdevPort(ctx.UpperCommandLine())) {
        ppdev = MakePpdevPortLibrary(*parport);
        ctx.Port = ppdev.get();
    } else {
        auto simulated = std::make_unique<SimulatedPorts>();
        simulated->Board().SetRealTime(true);
        // "/SIMFAULT:name[=value],..." gives the simulated board faults to show.
        if (const std::optional<QString> list = SimulatedFaultList(os.CommandLine())) {
            if (const auto faults = ParseSimulatedFaults(*list, &faultError))
                ApplySimulatedFaults(simulated->Board(), *faults);
            else
                faultError += QStringLiteral("\n\nSimulated faults:\n") + SimulatedFaultHelp();
        }
        // "/SIGNAL:tone=HZ,level=DBFS,..." sets the simulated converter's input.
        if (const std::optional<QString> list = SignalSourceList(os.CommandLine())) {
            QString signalError;
            if (const auto signal = ParseSignalSource(*list, &signalError))
                simulated->Board().Converter().Input() = *signal;
            else
                faultError += signalError + QStringLiteral("\n\nSignal settings:\n") + SignalSourceHelp();
        }
        port = std::move(simulated);
        ctx.Port = port.get();
    }

    frmMainScreen window(ctx);
    window.Form_Load();
    if (ppdev && !ppdev->LastError().isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Parallel Port"), ppdev->LastError());
    if (!faultError.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Simulated Faults"), faultError);
    window.show();
    return app.exec();
}
