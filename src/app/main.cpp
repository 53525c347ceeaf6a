// Reads the start-up options, opens the chosen port, builds the application object and
// shows the main window.
#include "display/main/frmMainScreen.h"
#include "engine/SessionWaiter.h"
#include "engine/SystemOs.h"
#include "ports/PortOpener.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("EvalControlBoard"));
    // No display name: the toolkit would append it to every window title. Desktops take the
    // program's name from its .desktop entry.
    QApplication::setDesktopFileName(QStringLiteral("kv2680eval"));

    SystemOs os;
    EvalContext ctx;
    ctx.Os = &os;
    ctx.Options = StartupOptions::Parse(os.CommandLine());

    // The simulated board is the default; "/PPDEV" or "/PPDEV:n" talks to a real board on
    // /dev/parportn instead.
    PortRequest request;
    request.parport = ctx.Options.PpdevPort;
    request.faults = ctx.Options.SimulatedFaults;
    request.signal = ctx.Options.SignalSource;
    const OpenedPort opened = OpenPort(request);
    ctx.Link.Port = opened.port.get();
    SessionWaiter waiter(opened.instant);
    ctx.Link.Wait = &waiter;

    frmMainScreen window(ctx);
    window.Form_Load();
    if (const QString problem = opened.Problem(); !problem.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Parallel Port"), problem);
    if (!opened.faultError.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Simulated Faults"),
                             opened.faultError + QStringLiteral("\n\nSimulated faults:\n") + opened.faultHelp);
    if (!opened.signalError.isEmpty())
        QMessageBox::warning(&window, QStringLiteral("Simulated Signal"),
                             opened.signalError + QStringLiteral("\n\nSignal settings:\n") + opened.signalHelp);
    window.show();
    return app.exec();
}
