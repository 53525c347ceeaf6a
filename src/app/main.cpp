// Builds the application object, picks the port backend and shows the main window.
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
    if (const std::optional<int> parport = RequestedPpdevPort(ctx.UpperCommandLine())) {
        ppdev = MakePpdevPortLibrary(*parport);
        ctx.Port = ppdev.get();
    } else {
        auto simulated = std::make_unique<SimulatedPorts>();
        simulated->Board().SetRealTime(true);
        port = std::move(simulated);
        ctx.Port = port.get();
    }

    frmMainScreen window(ctx);
    window.Form_Load();
    if (ppdev && !ppdev->LastError().isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Parallel Port"), ppdev->LastError());
    window.show();
    return app.exec();
}
