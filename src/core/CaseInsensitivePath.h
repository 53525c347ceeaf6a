#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>

// Configuration and program files often come from systems whose file names ignore letter
// case. When `path` does not exist but a file in the same folder has the same name in
// other letter case, that file's path is returned; otherwise `path` itself.
inline QString ResolveCaseInsensitive(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || info.exists())
        return path;
    const QDir dir = info.dir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries)
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return path;
}
