#include "files/CommandLineSwitches.h"

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
