// kv2680: the evaluation board from the command line.
#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <QApplication>
#include <QCoreApplication>
#include <iostream>
#include <memory>
#include <unistd.h>

// The tool's standard error carries its own one-line reasons; Qt's notes about the
// environment (a missing runtime folder and the like) would only bury them.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << "kv2680: " << qPrintable(message) << '\n';
}

bool ShowProgress() { return isatty(STDERR_FILENO) != 0; }

namespace {

// Charts are drawn by widgets, offscreen; everything else needs no window system.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, bool drawsCharts)
{
    if (!drawsCharts)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace

int main(int argc, char** argv)
{
    CommandLine commandLine;
    if (const std::optional<int> status = commandLine.Parse(argc, argv))
        return *status;

    qInstallMessageHandler(QuietQtMessages);
    const std::unique_ptr<QCoreApplication> qt = MakeApplication(argc, argv, commandLine.DrawsCharts());
    QCoreApplication::setApplicationName(QStringLiteral("EvalControlBoard"));
    try {
        return commandLine.Run();
    } catch (const CommandFailure& e) {
        std::cerr << "kv2680: " << e.what() << '\n';
        return e.status;
    }
}
