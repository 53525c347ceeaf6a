#include "files/StartupOptions.h"

#include "core/Numbers.h"

#include <limits>

namespace {

// The digits right after a switch's text, or an empty view.
QStringView DigitsAfter(const QString& upper, qsizetype from)
{
    qsizetype end = from;
    while (end < upper.size() && upper[end] >= u'0' && upper[end] <= u'9')
        ++end;
    return QStringView(upper).mid(from, end - from);
}

std::optional<std::int32_t> TimeOutSwitch(const QString& upper)
{
    static const QString kSwitch = QStringLiteral("/T:");
    const qsizetype at = upper.indexOf(kSwitch);
    if (at < 0)
        return std::nullopt;
    const QStringView digits = DigitsAfter(upper, at + kSwitch.size());
    const double value = digits.isEmpty() ? 1.0 : Val(digits);
    // A run of digits too long for 32 bits asks for the longest time-out there is.
    constexpr double kLargest = std::numeric_limits<std::int32_t>::max();
    return value > kLargest ? std::numeric_limits<std::int32_t>::max() : ToInt32(value);
}

std::optional<int> PpdevSwitch(const QString& upper)
{
    static const QString kSwitch = QStringLiteral("/PPDEV");
    const qsizetype at = upper.indexOf(kSwitch);
    if (at < 0)
        return std::nullopt;
    const qsizetype pos = at + kSwitch.size();
    if (pos >= upper.size() || upper[pos] != u':')
        return 0;
    bool ok = false;
    const int port = DigitsAfter(upper, pos + 1).toInt(&ok);
    return ok ? port : 0;
}

// The list after a switch such as "/SIMFAULT:", up to the next blank.
std::optional<QString> ListAfter(const QString& commandLine, const QString& kSwitch)
{
    const qsizetype at = commandLine.indexOf(kSwitch, 0, Qt::CaseInsensitive);
    if (at < 0)
        return std::nullopt;
    return commandLine.mid(at + kSwitch.size()).section(u' ', 0, 0);
}

} // namespace

CommandLineSwitches CommandLineSwitches::From(const QString& commandLine)
{
    const QString upper = commandLine.toUpper();
    CommandLineSwitches switches;
    switches.Get = upper.contains(QLatin1String("/GET"));
    switches.Save = upper.contains(QLatin1String("/SAVE"));
    switches.Delete = upper.contains(QLatin1String("/DEL"));
    switches.Echo = upper.contains(QLatin1String("/E"));
    return switches;
}

StartupOptions StartupOptions::Parse(const QString& commandLine)
{
    const QString upper = commandLine.toUpper();
    StartupOptions options;
    options.CommandLine = commandLine;
    options.Stored = CommandLineSwitches::From(commandLine);
    options.TimeOut = TimeOutSwitch(upper);
    options.ShowStatus = upper.contains(QLatin1String("/SS"));
    options.PpdevPort = PpdevSwitch(upper);
    options.SimulatedFaults = ListAfter(commandLine, QStringLiteral("/SIMFAULT:"));
    options.SignalSource = ListAfter(commandLine, QStringLiteral("/SIGNAL:"));
    options.VerifyUpload = upper.contains(QLatin1String("/VERIFY"));
    return options;
}
