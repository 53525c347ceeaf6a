#pragma once

#include "board/SimulatedFaultSwitch.h"
#include "link/EvalContext.h"
#include "link/LinkUi.h"
#include "link/OsLayer.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>

class SimulatedPorts;
class PpdevPortLibrary;

// What the board link tells the user, kept for the tool to report: messages become
// one-line texts, status lines are collected (and echoed to standard error when verbose).
class ConsoleMessenger : public Messenger {
public:
    MessageResult ShowMessage(const MessageRequest& request) override;
    QStringList shown;   // "title: text" with the text's line breaks turned into spaces
};

class ConsoleStatus : public StatusLines {
public:
    void AddLine(const QString& text, std::optional<std::uint32_t> colour = std::nullopt) override;
    void ClearLines() override { lines.clear(); }
    QStringList lines;
    QStringList failures;   // the lines shown in red, kept across ClearLines
    bool echo = false;
};

// Which port the board is on: the simulated board (with its options) or a ppdev port.
struct PortChoice {
    std::optional<int> parport;   // nullopt: simulated board
    bool realTime = true;         // simulated board: a block takes N / fs
    std::optional<std::uint64_t> seed;
    std::optional<SimulatedFaults> faults;
    std::optional<InputSignal> signal;
};

// A board link without a window: the application object with console stand-ins for the
// window's controls, a watchdog timer, and the chosen port.
class ConsoleSession : public LinkUi, public EventPump, public OsLayer {
public:
    explicit ConsoleSession(const PortChoice& port, bool verbose = false);
    ~ConsoleSession() override;

    EvalContext ctx;
    ConsoleMessenger messages;
    ConsoleStatus status1, status2;

    SimulatedPorts* Simulated() { return simulated_; }
    // Why the port cannot be used, empty when it can.
    QString PortProblem() const;
    // The last thing the link reported as a failure: a message or a red status line.
    QString LastFailure() const;

    // LinkUi: the tool has no buttons or menus.
    void SetButtonEnabled(MainButton, bool) override {}
    void SetDisplayModeEnabled(bool) override {}
    void AddDisplayModeItem(const QString&) override {}
    void SetHoldZoomEnabled(bool) override {}
    void ClearHoldZoom() override {}
    void SetSupplyLatchValue(int) override {}
    void SetPortMenuEntryEnabled(PortMenuEntry, bool) override {}
    void ProcessEvents() override;
    // OsLayer: the tool's own arguments are no switches of the board link.
    OsVersionInfo GetVersion() override;
    QString CommandLine() override { return QString(); }

private:
    QTimer watchdog_;
    std::unique_ptr<PortLibrary> port_;
    SimulatedPorts* simulated_ = nullptr;
    PpdevPortLibrary* ppdev_ = nullptr;
};
