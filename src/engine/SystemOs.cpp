#include "engine/SystemOs.h"

#include <QCoreApplication>
#include <QStringList>
#include <sys/utsname.h>

OsVersionInfo SystemOs::GetVersion()
{
    OsVersionInfo info;
    info.PlatformId = 0;
    utsname names {};
    if (uname(&names) == 0)
        info.Name = QString::fromLocal8Bit(names.sysname) + u' ' + QString::fromLocal8Bit(names.release);
    return info;
}

QString SystemOs::CommandLine()
{
    return QCoreApplication::arguments().mid(1).join(u' ');
}
