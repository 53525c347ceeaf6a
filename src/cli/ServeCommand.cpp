// kv2680 serve: the instrument server's options, its checks and its event loop.
#include "cli/ServeCommand.h"

#include "cli/Commands.h"
#include "cli/QuitOnSignals.h"
#include "cli/ServeBackend.h"

#include "scpi/ScpiInstrument.h"
#include "scpi/ScpiServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <iostream>

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString ExistingFolder(const std::string& path, const char* option)
{
    const QFileInfo folder(Q(path));
    if (!folder.isDir())
        throw CommandFailure(ExitStatus::Usage, QStringLiteral("%1: %2 is no folder").arg(QLatin1String(option), Q(path)));
    return folder.canonicalFilePath();
}

PortRequest ServePort(const ServeOptions& o)
{
    PortRequest request = ParsePortOption(Q(o.port));
    request.realTime = !o.instant;
    if (!o.faults.empty()) {
        if (request.parport)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--fault applies to the simulated board only"));
        request.faults = Q(o.faults);
    }
    if (o.seed != 0)
        request.seed = o.seed;
    return request;
}

} // namespace

CLI::App* AddServeCommand(CLI::App& app, ServeOptions& o)
{
    CLI::App* serve = app.add_subcommand("serve", "The board as a SCPI instrument on a TCP socket (raw, newline-terminated)");
    serve->add_option("--listen", o.listen, "ADDR:PORT to listen on; any address other than loopback lets anyone "
                                            "who reaches it drive the board")->capture_default_str();
    serve->add_option("--allow", o.allow, "Accept clients only from this network (CIDR, repeatable)");
    serve->add_option("-p,--port", o.port, "sim (the simulated board, default), or a parallel port number n for /dev/parportn")
        ->capture_default_str();
    serve->add_option("--fault", o.faults, "Simulated board faults, as acquire takes them");
    serve->add_option("--seed", o.seed, "Simulated converter's noise seed");
    serve->add_flag("--instant", o.instant, "Simulated board converts at once instead of in real time");
    serve->add_option("--config-dir", o.configDir, "The only folder configurations and board programs are read from")
        ->capture_default_str();
    serve->add_option("--data-dir", o.dataDir, "The only folder files are written to")->capture_default_str();
    return serve;
}

int RunServe(const ServeOptions& o)
{
    const auto endpoint = ParseListenAddress(Q(o.listen));
    if (!endpoint)
        throw CommandFailure(ExitStatus::Usage, QStringLiteral("--listen must be ADDR:PORT, not ") + Q(o.listen));
    ClientFilter filter;
    for (const std::string& cidr : o.allow) {
        if (!filter.Add(Q(cidr)))
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--allow must be a network such as 192.168.1.0/24, not ") + Q(cidr));
    }
    const QString configDir = ExistingFolder(o.configDir, "--config-dir");
    const QString dataDir = ExistingFolder(o.dataDir, "--data-dir");
    if (!endpoint->address.isLoopback())
        std::cerr << "kv2680: warning: listening on " << o.listen
                  << ": anyone who can reach this address can drive the board\n";

    auto backend = MakeConsoleBackend(ServePort(o), configDir);
    ScpiInstrument instrument(*backend, configDir, dataDir, QStringLiteral("2.0"));
    ScpiServer server(instrument, filter);
    if (!server.Listen(*endpoint))
        throw CommandFailure(ExitStatus::Failed, QStringLiteral("cannot listen on %1: %2").arg(Q(o.listen), server.ErrorString()));
    const QuitOnSignals stopOnRequest;
    std::cout << "kv2680 serve: listening on " << qPrintable(endpoint->address.toString()) << ':' << server.Port()
              << std::endl;
    return QCoreApplication::exec();
}
