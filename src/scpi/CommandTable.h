#pragma once

#include "scpi/HeaderPattern.h"
#include "scpi/InstrumentState.h"
#include "scpi/ProgramMessage.h"

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <vector>

// One executing message unit: its parameters in, a query's answer or an error out.
struct Call {
    explicit Call(const ProgramUnit& u) : unit(u) {}

    const ProgramUnit& unit;
    QByteArray response;
    int error = 0;
    QString detail;

    const ProgramParameter& Param(std::size_t i) const { return unit.parameters[i]; }
    std::size_t ParamCount() const { return unit.parameters.size(); }
    void Fail(int code, const QString& why = QString())
    {
        error = code;
        detail = why;
    }
};

using CommandHandler = std::function<void(InstrumentState&, Call&)>;

struct CommandEntry {
    // When a unit runs relative to a board operation in progress.
    enum Timing {
        Immediate,        // at once (settings kept by the instrument, ABORt, the queues)
        AfterOperation,   // waits for the operation to end (*WAI, *OPC?, the board, FETCh)
        AbortThenWait,    // stops the run, then waits (*RST)
    };

    CommandEntry(HeaderPattern pattern, bool isQuery, int fewest, int most, Timing when, CommandHandler handler,
                 QStringList parts = {})
        : header(std::move(pattern)), query(isQuery), minParams(fewest), maxParams(most), timing(when),
          run(std::move(handler)), steps(std::move(parts)) {}

    HeaderPattern header;
    bool query = false;
    int minParams = 0;
    int maxParams = 0;
    Timing timing = Immediate;
    CommandHandler run;
    QStringList steps;   // a unit made of other units in turn (READ:WAVeform? and the like)
};

std::vector<CommandEntry> CommonCommands();
std::vector<CommandEntry> BoardCommands();

// The entries a unit runs, in turn; empty when its header names nothing.
struct ResolvedUnit {
    const CommandEntry* entry = nullptr;
    const ProgramUnit* unit = nullptr;
};

class CommandTable {
public:
    CommandTable();

    // Resolves a message's headers with the header-path rule (a unit after a compound one
    // starts at that one's last node; a leading ':' starts at the root; common commands
    // keep the path) and checks the parameter counts. Returns 0 or the SCPI error number.
    int Resolve(const std::vector<ProgramUnit>& units, std::vector<ResolvedUnit>& out) const;

private:
    const CommandEntry* Find(const QList<QByteArray>& mnemonics, bool query, bool& headerKnown) const;

    std::vector<CommandEntry> entries_;
    std::vector<ProgramUnit> stepUnits_;   // the units READ and the like expand to
};
