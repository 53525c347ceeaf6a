#pragma once

#include "scpi/CommandTable.h"
#include "scpi/InstrumentBackend.h"
#include "scpi/InstrumentState.h"

#include <QByteArray>
#include <QObject>
#include <deque>
#include <vector>

// The instrument behind one connection: takes program messages, runs their units against
// the backend and hands out one response message per message that had queries.
//
// A message is parsed and its headers resolved whole before any unit runs, so a syntax
// error or an unknown header anywhere queues one error and changes nothing. Units run in
// order; the first that fails queues its error and the rest of the message is dropped.
// A unit that needs the board waits while a board operation is in progress; messages
// arriving meanwhile wait behind it.
class ScpiInstrument : public QObject, private InstrumentBackend::Listener {
    Q_OBJECT
public:
    ScpiInstrument(InstrumentBackend& backend, const QString& configDir, const QString& dataDir,
                   const QString& version, QObject* parent = nullptr);
    ~ScpiInstrument() override;

    // One program message, its terminator removed.
    void Execute(QByteArrayView message);
    // An error the transport found (-363, -410, -420).
    void QueueError(int code, const QString& detail = QString());
    // The client went away: its run is stopped, its pending messages are dropped, and the
    // error queue, the event status, the enable masks and the data format start afresh for
    // the next client. The board settings stay.
    void EndSession();

    bool Waiting() const { return current_.has_value(); }
    const InstrumentState& State() const { return state_; }

signals:
    // One response message, with its newline.
    void Response(const QByteArray& message);

private:
    struct Running {
        QByteArray text;                     // keeps the units' parameters alive
        ParsedMessage parsed;
        std::vector<ResolvedUnit> steps;
        std::size_t next = 0;
        bool aborted = false;                // AbortThenWait has stopped the run for next
        QByteArrayList responses;
    };

    void OperationFinished(const BackendOutcome& outcome) override;
    void RunFailure(const BackendOutcome& outcome) override;
    void Process();
    bool Begin(QByteArray message);   // false: the message queued an error or had no units
    bool RunSteps();                  // false: waiting for the board

    InstrumentBackend& backend_;
    InstrumentState state_;
    std::deque<QByteArray> input_;
    std::optional<Running> current_;
    bool processing_ = false;
    bool dropCurrent_ = false;   // the session ended while a unit ran
};
