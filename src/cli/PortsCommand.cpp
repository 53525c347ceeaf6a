// kv2680 ports: the parallel ports present and whether the board could be used on them.
#include "cli/Commands.h"

#include "link/PpdevPortLibrary.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <iostream>

namespace {

bool ModuleLoaded(const QByteArray& modules, const char* name)
{
    return modules.contains(QByteArray("\n") + name + ' ') || modules.startsWith(QByteArray(name) + ' ');
}

} // namespace

int RunPorts()
{
    QFile procModules(QStringLiteral("/proc/modules"));
    const QByteArray modules = procModules.open(QIODevice::ReadOnly) ? procModules.readAll() : QByteArray();
    const QStringList devices = QDir(QStringLiteral("/dev")).entryList({QStringLiteral("parport*")}, QDir::System);

    if (devices.isEmpty()) {
        std::cout << "No parallel ports found (no /dev/parport device).\n";
        for (const char* module : {"parport_pc", "ppdev"}) {
            if (!ModuleLoaded(modules, module))
                std::cout << "  The kernel module " << module << " is not loaded: sudo modprobe " << module << '\n';
        }
        std::cout << "  A port on a PCI or PCIe card needs parport_pc; a USB printer adapter cannot drive the board.\n";
        return ExitStatus::Done;
    }
    static const QRegularExpression number(QStringLiteral("^parport(\\d+)$"));
    for (const QString& device : devices) {
        const auto match = number.match(device);
        if (!match.hasMatch())
            continue;
        PpdevPortLibrary port(match.captured(1).toInt());
        port.ClaimParallelPort(1, 0);
        PortInfo info;
        port.GetParallelPortInfo(1, info);
        const QString problem = port.LastError();
        port.ReleaseParallelPort(1);
        std::cout << qPrintable(port.DevicePath()) << ": "
                  << (problem.isEmpty() ? "can be opened and read back; use --port " + match.captured(1).toStdString()
                                        : QString(problem).replace(u'\n', QStringLiteral("; ")).toStdString())
                  << '\n';
    }
    return ExitStatus::Done;
}
