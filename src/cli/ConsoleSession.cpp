#include "cli/ConsoleSession.h"

#include "board/SimulatedPorts.h"
#include "link/PpdevPortLibrary.h"
#include "link/SystemOs.h"

#include <QCoreApplication>
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

ConsoleSession::ConsoleSession(const PortChoice& choice, bool verbose)
{
    status1.echo = verbose;
    if (choice.parport) {
        auto ppdev = MakePpdevPortLibrary(*choice.parport);
        ppdev_ = ppdev.get();
        port_ = std::move(ppdev);
    } else {
        auto simulated = std::make_unique<SimulatedPorts>();
        simulated->Board().SetRealTime(choice.realTime);
        if (choice.seed)
            simulated->Board().Converter().Reseed(*choice.seed);
        if (choice.faults)
            ApplySimulatedFaults(simulated->Board(), *choice.faults);
        if (choice.signal)
            simulated->Board().Converter().Input() = *choice.signal;
        simulated_ = simulated.get();
        port_ = std::move(simulated);
    }
    ctx.Port = port_.get();
    ctx.Os = this;
    ctx.Messages = &messages;
    ctx.Status1 = &status1;
    ctx.Status2 = &status2;
    ctx.Ui = this;
    ctx.Events = this;
    ctx.Timer1 = &watchdog_;
    QObject::connect(&watchdog_, &QTimer::timeout, [this] { ctx.TimeOutFlag = true; });
}

ConsoleSession::~ConsoleSession()
{
    ctx.Port->ReleaseParallelPort(1);
}

QString ConsoleSession::PortProblem() const
{
    return ppdev_ ? ppdev_->LastError() : QString();
}

QString ConsoleSession::LastFailure() const
{
    if (!messages.shown.isEmpty())
        return messages.shown.last();
    return status1.failures.isEmpty() ? QString() : status1.failures.last();
}

void ConsoleSession::ProcessEvents()
{
    QCoreApplication::processEvents();
}

OsVersionInfo ConsoleSession::GetVersion()
{
    return SystemOs().GetVersion();
}
