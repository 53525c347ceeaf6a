#include "scpi/CommandTable.h"

#include "scpi/ScpiError.h"

namespace {

ProgramUnit StepUnit(const QString& header)
{
    ProgramUnit unit;
    QString text = header;
    unit.query = text.endsWith(u'?');
    if (unit.query)
        text.chop(1);
    unit.absolute = true;
    for (const QString& part : text.split(u':'))
        unit.mnemonics << part.toLatin1();
    return unit;
}

} // namespace

CommandTable::CommandTable()
{
    for (auto* part : {CommonCommands, BoardCommands}) {
        for (CommandEntry& e : part())
            entries_.push_back(std::move(e));
    }
    for (const CommandEntry& e : entries_) {
        for (const QString& step : e.steps)
            stepUnits_.push_back(StepUnit(step));
    }
}

const CommandEntry* CommandTable::Find(const QList<QByteArray>& mnemonics, bool query, bool& headerKnown) const
{
    for (const CommandEntry& e : entries_) {
        if (!e.header.Matches(mnemonics))
            continue;
        headerKnown = true;
        if (e.query == query)
            return &e;
    }
    return nullptr;
}

int CommandTable::Resolve(const std::vector<ProgramUnit>& units, std::vector<ResolvedUnit>& out) const
{
    out.clear();
    QList<QByteArray> path;
    std::size_t stepUnit = 0;
    for (const ProgramUnit& unit : units) {
        QList<QByteArray> full = unit.common || unit.absolute ? QList<QByteArray>() : path;
        full += unit.mnemonics;
        bool known = false;
        const CommandEntry* entry = Find(full, unit.query, known);
        if (!entry)
            return ScpiError::UndefinedHeader;
        if (int(unit.parameters.size()) < entry->minParams)
            return ScpiError::MissingParameter;
        if (int(unit.parameters.size()) > entry->maxParams)
            return ScpiError::ParameterNotAllowed;
        if (!unit.common) {
            full.removeLast();
            path = full;
        }
        if (entry->steps.isEmpty()) {
            out.push_back({entry, &unit});
            continue;
        }
        // The expanded units follow the table's order of entries with steps.
        stepUnit = 0;
        for (const CommandEntry& e : entries_) {
            if (&e == entry)
                break;
            stepUnit += e.steps.size();
        }
        for (qsizetype i = 0; i < entry->steps.size(); ++i) {
            const ProgramUnit& step = stepUnits_[stepUnit + i];
            bool stepKnown = false;
            out.push_back({Find(step.mnemonics, step.query, stepKnown), &step});
        }
    }
    return 0;
}
