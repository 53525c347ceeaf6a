#include "engine/SelfTest.h"

#include "board/SimulatedPorts.h"
#include "engine/CommandFailure.h"
#include "engine/ConsoleSession.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>

namespace {

struct Check {
    const char* name;
    std::function<QString()> failure;   // empty when the check passed
};

QString CopyExamples(const QTemporaryDir& dir)
{
    if (!dir.isValid())
        return dir.errorString();
    for (const char* name : {"KV2680.cfg", "KV2680.PRG"}) {
        const QString target = dir.filePath(QLatin1String(name));
        if (!QFile::copy(QStringLiteral(":/examples/") + QLatin1String(name), target))
            return QStringLiteral("cannot write ") + target;
    }
    return QString();
}

std::vector<SelfTestCheck> CheckOneBlock(ConsoleSession& session)
{
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
    std::vector<SelfTestCheck> results;
    for (const Check& check : checks)
        results.push_back({QLatin1String(check.name), check.failure()});
    return results;
}

} // namespace

bool SelfTestResult::Passed() const
{
    return std::all_of(checks.begin(), checks.end(), [](const SelfTestCheck& c) { return c.failure.isEmpty(); });
}

QString SelfTestResult::FirstFailure() const
{
    for (const SelfTestCheck& c : checks)
        if (!c.failure.isEmpty())
            return c.name + QStringLiteral(": ") + c.failure;
    return QString();
}

SelfTestResult RunSelfTest(bool verbose)
{
    QTemporaryDir dir;
    if (const QString problem = CopyExamples(dir); !problem.isEmpty())
        return {{{QStringLiteral("sample configuration written"), problem}}};
    PortRequest request;
    request.realTime = false;
    ConsoleSession session(request, verbose);
    try {
        BringUpBoard(session, dir.filePath(QStringLiteral("KV2680.cfg")));
    } catch (const CommandFailure& e) {
        return {{{QStringLiteral("board program loaded"), QString::fromStdString(e.what())}}};
    }
    return {CheckOneBlock(session)};
}
