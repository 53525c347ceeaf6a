// kv2680 acquire: configuration and program load, then blocks from the board.
#include "cli/Commands.h"

#include "config/FrequencyRules.h"
#include "engine/BlockFiles.h"
#include "engine/BlockReport.h"
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

std::string UtcNow()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
}

// A failed block ends the run when more blocks failed in a row than --retries allows or
// when it was the last; otherwise the board is recovered for the next block and both are
// reported (--verbose, --json).
void GoOnAfterFailedBlock(ConsoleSession& session, const AcquireOptions& o, int block, int error, int failuresInARow)
{
    const QString cause = BlockFailureCause(session);
    const QString failure = QStringLiteral("block %1: %2").arg(block).arg(cause);
    if (o.retries > 0 && failuresInARow > o.retries)
        throw CommandFailure(ExitStatus::Failed, failure + QStringLiteral(" (%1 failed in a row)").arg(failuresInARow));
    // A run that ends on a failed block has not shown the board working again.
    if (failuresInARow > o.retries || block == o.blocks)
        throw CommandFailure(ExitStatus::Failed, o.retries == 0 ? failure : failure + QStringLiteral(" (the last block)"));
    const QString recoveryProblem = RecoverBoard(session);
    if (o.verbose) {
        std::fprintf(stderr, "kv2680: block %d failed: %s\n", block, qPrintable(cause));
        std::fprintf(stderr, "kv2680: block %d: %s (%d of %d failed blocks in a row allowed)\n", block,
                     recoveryProblem.isEmpty() ? "board reset and program loaded again"
                                               : qPrintable(QStringLiteral("recovery failed: ") + recoveryProblem),
                     failuresInARow, o.retries);
    }
    if (o.json) {
        nlohmann::json line{{"block", block}, {"failed", true}, {"error", error}, {"cause", cause.toStdString()},
                            {"failures_in_a_row", failuresInARow}, {"recovered", recoveryProblem.isEmpty()}};
        if (!recoveryProblem.isEmpty())
            line["recovery_failure"] = recoveryProblem.toStdString();
        line["time"] = UtcNow();
        std::cout << line.dump() << '\n';
        std::cout.flush();
    }
}

QString BlockFileName(const AcquireOptions& o, int block, const char* extension)
{
    return QDir(o.outDir).filePath(QStringLiteral("block%1.%2").arg(block, 4, 10, QLatin1Char('0')).arg(QLatin1String(extension)));
}

} // namespace

int RunAcquire(const AcquireOptions& o)
{
    PortRequest request = ParsePortOption(o.port);
    request.realTime = !o.instant;
    if (!o.faults.isEmpty()) {
        if (request.parport)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--fault applies to the simulated board only"));
        request.faults = o.faults;
    }
    if (!o.signal.isEmpty()) {
        if (request.parport)
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--signal applies to the simulated board only"));
        request.signal = o.signal;
    }
    if (o.seed != 0)
        request.seed = o.seed;
    ConsoleSession session(request, o.verbose);
    session.ctx.Options.VerifyUpload = o.verify;
    if (!session.FaultProblem().isEmpty())
        throw CommandFailure(ExitStatus::Usage, QStringLiteral("--fault: ") + session.FaultProblem());
    if (!session.SignalProblem().isEmpty())
        throw CommandFailure(ExitStatus::Usage, QStringLiteral("--signal: ") + session.SignalProblem());
    if (!o.outDir.isEmpty() && !QDir().mkpath(o.outDir))
        throw CommandFailure(ExitStatus::Failed, o.outDir + QStringLiteral(": cannot create the folder"));

    BringUpBoard(session, o.config, o.program);
    ApplyBlockOptions(session.ctx, o);

    BoardSession& engine = session.board;
    ApplyAnalysisOptions(engine.Analyzer(), o.analysis);
    if (!o.json)
        std::cout << qPrintable(ReportTableHeader()) << '\n';
    const bool progress = ShowProgress() && !o.verbose;
    int failuresInARow = 0;
    for (int block = 1; block <= o.blocks; ++block) {
        // Each block's cause is its own, not one left from a block recovered from.
        session.messages.shown.clear();
        session.status1.failures.clear();
        const int error = engine.TakeBlock();
        if (error != 0) {
            GoOnAfterFailedBlock(session, o, block, error, ++failuresInARow);
            continue;
        }
        failuresInARow = 0;
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
            line["time"] = UtcNow();
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

PortRequest ParsePortOption(const QString& port)
{
    PortRequest choice;
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
