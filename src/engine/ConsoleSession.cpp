#include "engine/ConsoleSession.h"

#include "engine/SystemOs.h"

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
