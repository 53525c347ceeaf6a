#include "link/PortBackendSwitch.h"

std::optional<int> RequestedPpdevPort(const QString& upperCommandLine)
{
    const qsizetype at = upperCommandLine.indexOf(kPpdevSwitch);
    if (at < 0)
        return std::nullopt;
    qsizetype pos = at + kPpdevSwitch.size();
    if (pos >= upperCommandLine.size() || upperCommandLine[pos] != u':')
        return 0;
    const qsizetype first = ++pos;
    while (pos < upperCommandLine.size() && upperCommandLine[pos] >= u'0' && upperCommandLine[pos] <= u'9')
        ++pos;
    bool ok = false;
    const int port = QStringView(upperCommandLine).mid(first, pos - first).toInt(&ok);
    return ok ? port : 0;
}
