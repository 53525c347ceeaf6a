// kv2680 acquire: configuration and program load, then blocks from the board.
#include "cli/BlockFiles.h"
#include "cli/Commands.h"
#include "cli/MetricsReport.h"

#include "board/SignalSource.h"
#include "board/SimulatedPorts.h"
#include "config/FrequencyRules.h"
#include "engine/AcquisitionEngine.h"
#include "engine/BoardSession.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <iostream>

namespace {

void ApplyBlockOptions(EvalContext& ctx, const AcquireOptions& o)
{
    Settings& s = ctx.CurrentSettings;
    if (o.samples != 0) {
        const int index = SampleCountItems().indexOf(QString::number(o.samples));
        if (index < 0)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--samples must be one of %1")
                                                        .arg(SampleCountItems().join(QStringLiteral(", "))));
        s.NumberOfSamples = std::int16_t(index);
    }
    if (o.rate != 0) {
        if (o.rate < 0 || o.rate > s.Max_Frequency)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--rate must be from 1 to %1 Hz, the "
                                                                   "configuration's maximum sample frequency")
                                                        .arg(s.Max_Frequency));
        s.SampleFreq = o.rate;
        ctx.SampleClock.SetSampleFrequency(o.rate);
    }
}

QString BlockFileName(const AcquireOptions& o, int block, const char* extension)
{
    return QDir(o.outDir).filePath(QStringLiteral("block%1.%2").arg(block, 4, 10, QLatin1Char('0')).arg(QLatin1String(extension)));
}

} // namespace

// The board program and the files a configuration names are found beside it.
void BringUpBoard(ConsoleSession& session, const QString& configPath, const QString& programPath)
{
    const QFileInfo config(configPath);
    if (!config.isFile())
        throw CommandFailure(ExitStatus::Failed, configPath + QStringLiteral(": no such configuration file"));
    const QString program = programPath.isEmpty() ? QString() : QFileInfo(programPath).absoluteFilePath();
    StartLink(session.ctx);
    if (!session.PortProblem().isEmpty())
        throw CommandFailure(ExitStatus::Failed, QString(session.PortProblem()).replace(u'\n', QStringLiteral("; ")));
    const QString home = QDir::currentPath();
    QDir::setCurrent(config.absolutePath());
    const LoadOutcome loaded = LoadConfiguration(session.ctx, config.fileName(), [&] {
        ApplyConfiguredFrequency(session.ctx);
        if (!program.isEmpty())
            session.ctx.CurrentSettings.EXEName = program;
    });
    QDir::setCurrent(home);
    if (!loaded.configRead)
        throw CommandFailure(ExitStatus::Failed, configPath + QStringLiteral(": ") + session.LastFailure());
    if (loaded.programResult != 0) {
        const auto text = ProgramLoadErrorText(loaded.programResult);
        throw CommandFailure(ExitStatus::Failed,
                             QStringLiteral("program load failed: ") +
                                 (text ? QString(*text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) : session.LastFailure()));
    }
}

int RunAcquire(const AcquireOptions& o)
{
    PortChoice choice = ParsePortOption(o.port);
    choice.realTime = !o.instant;
    if (!o.faults.isEmpty()) {
        QString why;
        if (choice.parport)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--fault applies to the simulated board only"));
        choice.faults = ParseSimulatedFaults(o.faults, &why);
        if (!choice.faults)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--fault: ") + why);
    }
    if (!o.signal.isEmpty()) {
        QString why;
        if (choice.parport)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--signal applies to the simulated board only"));
        choice.signal = ParseSignalSource(o.signal, &why);
        if (!choice.signal)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--signal: ") + why);
    }
    if (o.seed != 0)
        choice.seed = o.seed;
    ConsoleSession session(choice, o.verbose);
    if (!o.outDir.isEmpty() && !QDir().mkpath(o.outDir))
        throw CommandFailure(ExitStatus::Failed, o.outDir + QStringLiteral(": cannot create the folder"));

    BringUpBoard(session, o.config, o.program);
    ApplyBlockOptions(session.ctx, o);

    AcquisitionEngine engine(session.ctx);
    ApplyAnalysisOptions(engine.Analyzer(), o.analysis);
    if (!o.json)
        std::cout << qPrintable(ReportTableHeader()) << '\n';
    const bool progress = ShowProgress() && !o.verbose;
    for (int block = 1; block <= o.blocks; ++block) {
        if (engine.TakeBlock() != 0) {
            const QString detail = engine.LastError().Description;
            throw CommandFailure(ExitStatus::Failed,
                                 QStringLiteral("block %1: %2").arg(block).arg(session.LastFailure().isEmpty() ? detail : session.LastFailure() + QStringLiteral(" (") + detail + QStringLiteral(")")));
        }
        const EvalContext& ctx = session.ctx;
        if (!o.outDir.isEmpty() && o.raw)
            WriteRawBlock(BlockFileName(o, block, "dat"), ctx.SampleCodes);
        if (!o.outDir.isEmpty() && o.csv)
            WriteCsvBlock(BlockFileName(o, block, "csv"), ctx.SampleCodes, ctx.SampleVolts);

        const BlockReport report{QString::number(block), ctx.SampleCodes.size(), ctx.CurrentSettings.SampleFreq,
                                 engine.Analyzer().Metrics()};
        if (o.json) {
            nlohmann::json line = ReportJson(report);
            line["block"] = block;
            line["time"] = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
            std::cout << line.dump() << '\n';
        } else {
            std::cout << qPrintable(ReportTableRow(report)) << '\n';
        }
        std::cout.flush();
        if (progress)
            std::fprintf(stderr, "\rblock %d of %d", block, o.blocks);
    }
    if (progress)
        std::fprintf(stderr, "\n");
    return ExitStatus::Done;
}

PortChoice ParsePortOption(const QString& port)
{
    PortChoice choice;
    if (port.compare(QLatin1String("sim"), Qt::CaseInsensitive) == 0)
        return choice;
    QString number = port;
    number.remove(QRegularExpression(QStringLiteral("^/dev/parport")));
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok || n < 0)
        throw CommandFailure(ExitStatus::Usage, QStringLiteral("--port must be sim, a port number n or /dev/parportn, not ") + port);
    choice.parport = n;
    return choice;
}
