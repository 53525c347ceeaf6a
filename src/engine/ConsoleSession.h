#pragma once

#include "engine/BoardSession.h"
#include "engine/EvalContext.h"
#include "engine/OsLayer.h"
#include "engine/SessionWaiter.h"
#include "ports/PortOpener.h"

#include <QString>
#include <QStringList>
#include <optional>

class SimulatedPorts;

// What the board link tells the user, kept for the tool to report: messages become
// one-line texts, status lines are collected (and echoed to standard error when verbose).
class ConsoleMessenger : public Messenger {
public:
    MessageResult ShowMessage(const MessageRequest& request) override;
    QStringList shown;   // "title: text" with the text's line breaks turned into spaces
};

// Keeps the latest status lines only: a server's run goes on for days.
class ConsoleStatus : public StatusLines {
public:
    static constexpr qsizetype KeptLines = 500;

    void AddLine(const QString& text, std::optional<std::uint32_t> colour = std::nullopt) override;
    void ClearLines() override { lines.clear(); }
    QStringList lines;
    QStringList failures;   // the lines shown in red, kept across ClearLines
    bool echo = false;
};

// A board session without a window: the application object on the chosen port, with
// console stand-ins for the user.
class ConsoleSession : public OsLayer {
public:
    explicit ConsoleSession(const PortRequest& port, bool verbose = false);
    ~ConsoleSession() override;

    EvalContext ctx;
    ConsoleMessenger messages;
    ConsoleStatus status1, status2;
    BoardSession board{ctx};

    SimulatedPorts* Simulated() { return port_.simulated; }
    // Why the port cannot be used, empty when it can.
    QString PortProblem() const { return port_.Problem(); }
    // Why the simulated board's fault list was refused, empty when it was taken.
    QString FaultProblem() const { return port_.faultError; }
    // Why the simulated converter's signal settings were refused, empty when they were taken.
    QString SignalProblem() const { return port_.signalError; }
    // The last thing the link reported as a failure: a message or a red status line.
    QString LastFailure() const;

    // OsLayer: the tool's own arguments are no switches of the board link.
    OsVersionInfo GetVersion() override;
    QString CommandLine() override { return QString(); }

private:
    OpenedPort port_;
    SessionWaiter waiter_;
};

// Start-up and configuration load on a console session; the board program and the files
// the configuration names are found beside it, unless programPath names another program.
// Raises CommandFailure with what went wrong.
void BringUpBoard(ConsoleSession& session, const QString& configPath, const QString& programPath = QString());
// "program load failed: ..." with the download's own words, or the link's last failure.
QString ProgramLoadFailure(const ConsoleSession& session, std::int16_t result);
// Why the block just taken failed: the message or red line the link gave, with the link's
// own description.
QString BlockFailureCause(const ConsoleSession& session);
// The reset and program reload after a failed block; empty when the board runs its program
// again, else what went wrong.
QString RecoverBoard(ConsoleSession& session);
