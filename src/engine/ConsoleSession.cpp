#include "engine/ConsoleSession.h"

#include "engine/CommandFailure.h"
#include "engine/SystemOs.h"

#include <QFileInfo>

#include <QRegularExpression>
#include <cstdio>

namespace {

QString OneLine(const QString& text)
{
    static const QRegularExpression breaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return QString(text).replace(breaks, QStringLiteral(" ")).trimmed();
}

} // namespace

MessageResult ConsoleMessenger::ShowMessage(const MessageRequest& request)
{
    const QString title = request.title.value_or(QString());
    shown << (title.isEmpty() ? OneLine(request.text) : title + QStringLiteral(": ") + OneLine(request.text));
    // Nobody is there to answer: a question is declined, a retry given up.
    switch (request.buttons) {
    case MessageButtons::Ok: return MessageResult::Ok;
    case MessageButtons::OkCancel:
    case MessageButtons::RetryCancel: return MessageResult::Cancel;
    case MessageButtons::YesNo: return MessageResult::No;
    }
    return MessageResult::Ok;
}

void ConsoleStatus::AddLine(const QString& text, std::optional<std::uint32_t> colour)
{
    lines << text;
    if (colour == Colour::Red)
        failures << text;
    for (QStringList* kept : {&lines, &failures})
        if (kept->size() > KeptLines)
            kept->remove(0, kept->size() - KeptLines);
    if (echo)
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

ConsoleSession::ConsoleSession(const PortRequest& request, bool verbose)
    : port_(OpenPort(request)), waiter_(port_.instant)
{
    status1.echo = verbose;
    ctx.Link.Port = port_.port.get();
    ctx.Link.Wait = &waiter_;
    ctx.Os = this;
    ctx.Messages = &messages;
    ctx.Status1 = &status1;
    ctx.Status2 = &status2;
}

ConsoleSession::~ConsoleSession()
{
    ctx.Link.Port->ReleaseParallelPort(1);
}

QString ConsoleSession::LastFailure() const
{
    if (!messages.shown.isEmpty())
        return messages.shown.last();
    return status1.failures.isEmpty() ? QString() : status1.failures.last();
}

OsVersionInfo ConsoleSession::GetVersion()
{
    return SystemOs().GetVersion();
}

void BringUpBoard(ConsoleSession& session, const QString& configPath, const QString& programPath)
{
    const QFileInfo config(configPath);
    if (!config.isFile())
        throw CommandFailure(ExitStatus::Failed, configPath + QStringLiteral(": no such configuration file"));
    const QString program = programPath.isEmpty() ? QString() : QFileInfo(programPath).absoluteFilePath();
    session.board.StartUp();
    if (!session.PortProblem().isEmpty())
        throw CommandFailure(ExitStatus::Failed, QString(session.PortProblem()).replace(u'\n', QStringLiteral("; ")));
    const LoadOutcome loaded = session.board.LoadConfiguration(config.absoluteFilePath(), [&] {
        ApplyConfiguredFrequency(session.ctx);
        if (!program.isEmpty())
            session.ctx.CurrentSettings.EXEName = program;
    }, config.absolutePath());
    if (!loaded.configRead)
        throw CommandFailure(ExitStatus::Failed, configPath + QStringLiteral(": ") + session.LastFailure());
    if (loaded.programResult != 0)
        throw CommandFailure(ExitStatus::Failed, ProgramLoadFailure(session, loaded.programResult));
}

QString ProgramLoadFailure(const ConsoleSession& session, std::int16_t result)
{
    const auto text = ProgramLoadErrorText(result);
    return QStringLiteral("program load failed: ")
        + (text ? QString(*text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) : session.LastFailure());
}

QString BlockFailureCause(const ConsoleSession& session)
{
    const QString detail = session.board.LastError().Description;
    const QString shown = session.LastFailure();
    return shown.isEmpty() ? detail : shown + QStringLiteral(" (") + detail + QStringLiteral(")");
}

QString RecoverBoard(ConsoleSession& session)
{
    const RecoveryOutcome r = session.board.Recover();
    if (r.Recovered())
        return QString();
    const QString load = ProgramLoadFailure(session, r.programResult);
    return r.reset ? load : QStringLiteral("the board did not answer the reset; ") + load;
}
