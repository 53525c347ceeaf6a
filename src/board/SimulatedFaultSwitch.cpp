#include "board/SimulatedFaultSwitch.h"

#include "board/SimulatedPorts.h"

#include <QStringList>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

enum class Value { None, Transfer, Count, Nanoseconds, Code, Mask, Number };

struct FaultName {
    const char* name;
    Value value;
    const char* help;
    std::function<void(SimulatedFaults&, double)> set;
};

std::function<void(SimulatedFaults&, double)> Line(LineFault fault)
{
    return [fault](SimulatedFaults& f, double n) {
        f.board.lineFault = fault;
        f.board.lineFaultAt = std::int64_t(n) - 1;
    };
}

const std::vector<FaultName>& Names()
{
    static const std::vector<FaultName> names = {
        {"lost-strobe", Value::Transfer, "the board misses the strobe of byte transfer N (counted from 1)", Line(LineFault::LostStrobe)},
        {"extra-strobe", Value::Transfer, "the board sees the strobe of byte transfer N twice", Line(LineFault::ExtraStrobe)},
        {"flip-bits", Value::Transfer, "byte transfer N crosses the cable with the flip-mask bits inverted", Line(LineFault::FlippedBits)},
        {"wait-low", Value::Transfer, "the wait line reads low for stuck-reads status reads from byte transfer N", Line(LineFault::WaitStuckLow)},
        {"wait-high", Value::Transfer, "the wait line reads high for stuck-reads status reads from byte transfer N", Line(LineFault::WaitStuckHigh)},
        {"spurious-ack", Value::Transfer, "byte transfer N is acknowledged although the board took nothing", Line(LineFault::SpuriousAcknowledge)},
        {"reset-at", Value::Transfer, "the board resets to its loader at byte transfer N (latch kept)", Line(LineFault::BoardReset)},
        {"brown-out", Value::Transfer, "the supply dips at byte transfer N: loader, latch cleared, program lost", Line(LineFault::BrownOut)},
        {"flip-mask", Value::Mask, "the bits flip-bits and corrupt-word invert (default 0x10)",
         [](SimulatedFaults& f, double m) { f.board.flipMask = std::uint8_t(m); }},
        {"stuck-reads", Value::Count, "how many status reads wait-low and wait-high last (default 2000)",
         [](SimulatedFaults& f, double n) { f.board.stuckStatusReads = int(n); }},
        {"corrupt-word", Value::Count, "program word N reaches the loader corrupted on its first attempt",
         [](SimulatedFaults& f, double n) { f.board.corruptPacket = int(n); }},
        {"off-after", Value::Count, "the board switches off once it has sent N blocks",
         [](SimulatedFaults& f, double n) { f.board.offAfterBlocks = int(n); }},
        {"off-for", Value::Count, "with off-after: the power comes back (loader, latch cleared) after N status reads",
         [](SimulatedFaults& f, double n) { f.board.offForStatusReads = int(n); }},
        {"slow-ack", Value::Count, "the board acknowledges each byte on status read N (1001: too late)",
         [](SimulatedFaults& f, double n) { f.board.ackOnStatusRead = int(n); }},
        {"never-ack", Value::None, "the board never acknowledges a byte",
         [](SimulatedFaults& f, double) { f.board.neverAcknowledge = true; }},
        {"never-ready", Value::None, "a block command is taken but the conversion never ends",
         [](SimulatedFaults& f, double) { f.board.neverReady = true; }},
        {"stuck-high", Value::Mask, "these converter output bits always read 1",
         [](SimulatedFaults& f, double m) { f.converter.stuckHigh = std::uint16_t(m); }},
        {"stuck-low", Value::Mask, "these converter output bits always read 0",
         [](SimulatedFaults& f, double m) { f.converter.stuckLow = std::uint16_t(m); }},
        {"missing-code", Value::Code, "the converter never outputs code N (it gives N + 1)",
         [](SimulatedFaults& f, double n) { f.converter.missingCode = int(n); }},
        {"gain", Value::Number, "converter gain, 1 for none (1.02: 2 % too large)",
         [](SimulatedFaults& f, double g) { f.converter.gain = g; }},
        {"offset", Value::Number, "converter offset error in LSB",
         [](SimulatedFaults& f, double o) { f.converter.offsetLsb = o; }},
        {"access-ns", Value::Nanoseconds, "every port register access takes N ns (1000: a classic ISA port)",
         [](SimulatedFaults& f, double n) { f.accessTime = std::chrono::nanoseconds(std::int64_t(n)); }},
    };
    return names;
}

std::optional<double> ReadValue(Value kind, const QString& text)
{
    bool ok = false;
    if (kind == Value::Number) {
        const double v = text.toDouble(&ok);
        return ok ? std::optional<double>(v) : std::nullopt;
    }
    const qlonglong v = text.toLongLong(&ok, 0);   // decimal, or 0x for hexadecimal
    const bool counted = kind == Value::Transfer || kind == Value::Count;
    const qlonglong least = counted ? 1 : 0, most = counted || kind == Value::Nanoseconds ? 1000000000 : 0xFFFF;
    return ok && v >= least && v <= most ? std::optional<double>(double(v)) : std::nullopt;
}

} // namespace

std::optional<SimulatedFaults> ParseSimulatedFaults(const QString& list, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    SimulatedFaults faults;
    bool lineFault = false;
    for (const QString& item : list.split(u',', Qt::SkipEmptyParts)) {
        const QString name = item.section(u'=', 0, 0).trimmed().toLower();
        const bool hasValue = item.contains(u'=');
        const auto it = std::find_if(Names().begin(), Names().end(),
                                     [&](const FaultName& n) { return name == QLatin1String(n.name); });
        if (it == Names().end())
            return fail(QStringLiteral("Unknown simulated fault \"%1\".").arg(name));
        double value = 0;
        if (it->value == Value::None) {
            if (hasValue)
                return fail(QStringLiteral("The simulated fault \"%1\" takes no value.").arg(name));
        } else {
            const auto v = hasValue ? ReadValue(it->value, item.section(u'=', 1).trimmed()) : std::nullopt;
            if (!v)
                return fail(QStringLiteral("The simulated fault \"%1\" needs a valid value.").arg(name));
            value = *v;
        }
        if (it->value == Value::Transfer && std::exchange(lineFault, true))
            return fail(QStringLiteral("Only one of the byte-transfer faults can be chosen at a time."));
        it->set(faults, value);
    }
    return faults;
}

QString SimulatedFaultHelp()
{
    QStringList lines;
    for (const FaultName& n : Names()) {
        const char* value = n.value == Value::None ? "" : n.value == Value::Mask ? "=MASK"
                          : n.value == Value::Number ? "=X" : "=N";
        lines << QStringLiteral("%1%2  %3").arg(QLatin1String(n.name), QLatin1String(value), QLatin1String(n.help));
    }
    return lines.join(u'\n');
}

void ApplySimulatedFaults(SimulatedPorts& ports, const SimulatedFaults& faults)
{
    EvalBoard& board = ports.Board();
    board.Faults() = faults.board;
    board.StrikeAfter(faults.board.lineFault, faults.board.lineFaultAt);
    board.Converter().Faults() = faults.converter;
    ports.AccessTime().Set(faults.accessTime);
}
