// kv2680 selftest: the sample configuration and board program, built into the tool, loaded
// into the simulated board, one block taken and checked.
#include "cli/Commands.h"

#include "board/SimulatedPorts.h"
#include "engine/BoardSession.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <iostream>

namespace {

struct Check {
    const char* name;
    std::function<QString()> failure;   // empty when the check passed
};

QString CopyExamples(const QTemporaryDir& dir)
{
    for (const char* name : {"KV2680.cfg", "KV2680.PRG"}) {
        const QString target = dir.filePath(QLatin1String(name));
        if (!QFile::copy(QStringLiteral(":/examples/") + QLatin1String(name), target))
            return QStringLiteral("cannot write ") + target;
    }
    return QString();
}

} // namespace

int RunSelftest(bool verbose)
{
    QTemporaryDir dir;
    if (const QString problem = dir.isValid() ? CopyExamples(dir) : dir.errorString(); !problem.isEmpty())
        throw CommandFailure(ExitStatus::Failed, problem);

    PortRequest request;
    request.realTime = false;
    ConsoleSession session(request, verbose);
    BringUpBoard(session, dir.filePath(QStringLiteral("KV2680.cfg")));
    BoardSession& engine = session.board;
    const int error = engine.TakeBlock();
    const EvalContext& ctx = session.ctx;
    const DynamicMetrics& m = engine.Analyzer().Metrics();

    const Check checks[] = {
        {"board program running", [&] {
             return InProgram(session.Simulated()->Board().State()) ? QString()
                                                                                   : QStringLiteral("the board is not running its program");
         }},
        {"block uploaded", [&] {
             return error == 0 ? QString() : session.LastFailure() + QStringLiteral(" ") + engine.LastError().Description;
         }},
        {"block length", [&] {
             return ctx.SampleCodes.size() == std::size_t(engine.BlockLength())
                        ? QString()
                        : QStringLiteral("%1 samples, expected %2").arg(ctx.SampleCodes.size()).arg(engine.BlockLength());
         }},
        {"codes within the resolution", [&] {
             const double top = (1 << ctx.CurrentSettings.NumberOfBits) - 1;
             const bool inside = std::all_of(ctx.SampleCodes.begin(), ctx.SampleCodes.end(),
                                             [&](double c) { return c >= 0 && c <= top; });
             return inside ? QString() : QStringLiteral("a code lies outside 0..%1").arg(top);
         }},
        {"test tone near full scale", [&] {
             const Metric& level = m.signalDbfs;
             return level.Valid() && level.value > -1.0 && level.value < 0.0
                        ? QString()
                        : QStringLiteral("signal at %1 dBFS %2").arg(level.value, 0, 'f', 2).arg(QString::fromStdString(level.reason));
         }},
        {"SNR of a 12-bit converter", [&] {
             return m.snrDb.Valid() && m.snrDb.value > 60.0
                        ? QString()
                        : QStringLiteral("SNR %1 dB %2").arg(m.snrDb.value, 0, 'f', 1).arg(QString::fromStdString(m.snrDb.reason));
         }},
    };
    int failed = 0;
    for (const Check& check : checks) {
        const QString failure = check.failure();
        std::cout << (failure.isEmpty() ? "pass  " : "FAIL  ") << check.name
                  << (failure.isEmpty() ? std::string() : ": " + failure.toStdString()) << '\n';
        failed += failure.isEmpty() ? 0 : 1;
    }
    std::cout << (failed == 0 ? "selftest passed\n" : "selftest failed\n");
    return failed == 0 ? ExitStatus::Done : ExitStatus::Failed;
}
