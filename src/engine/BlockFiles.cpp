#include "engine/BlockFiles.h"

#include "config/Settings.h"
#include "core/Numbers.h"
#include "engine/CommandFailure.h"
#include "engine/ConsoleSession.h"
#include "engine/DataFileFlows.h"

#include <QFile>
#include <QFileInfo>

namespace {

[[noreturn]] void FileFailure(const QString& path, const QString& why)
{
    throw CommandFailure(ExitStatus::Failed, QStringLiteral("%1: %2").arg(path, why));
}

void WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() || !file.flush())
        FileFailure(path, file.errorString());
}

} // namespace

std::vector<double> ReadRawBlock(const QString& path)
{
    if (!QFileInfo::exists(path))
        FileFailure(path, QStringLiteral("no such file"));
    PresetFileChooser chooser(path);
    ConsoleMessenger messenger;
    ConsoleStatus status;
    Settings settings;
    std::vector<double> codes;
    if (LoadRawDataFile(chooser, messenger, status, settings, codes) != FileStatus::Done)
        FileFailure(path, !messenger.shown.isEmpty() ? messenger.shown.last()
                          : !status.failures.isEmpty() ? status.failures.last() : QStringLiteral("could not be read"));
    if (codes.empty())
        FileFailure(path, QStringLiteral("holds no values"));
    return codes;
}

void WriteRawBlock(const QString& path, const std::vector<double>& codes)
{
    PresetFileChooser chooser(path);
    ConsoleMessenger messenger;
    ConsoleStatus status;
    if (SaveDataFile(chooser, messenger, status, codes, ToInt16(double(codes.size()))) != FileStatus::Done)
        FileFailure(path, messenger.shown.isEmpty() ? QStringLiteral("could not be written") : messenger.shown.last());
}

void WriteCsvBlock(const QString& path, const std::vector<double>& codes, const std::vector<double>& volts)
{
    QByteArray text = "index,code,volts\n";
    for (std::size_t i = 0; i < codes.size(); ++i) {
        text += QByteArray::number(qulonglong(i)) + ',' + QByteArray::number(codes[i], 'f', 0) + ',';
        text += (i < volts.size() ? QByteArray::number(volts[i], 'f', 6) : QByteArray()) + '\n';
    }
    WriteText(path, text);
}
