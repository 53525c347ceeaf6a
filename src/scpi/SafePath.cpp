#include "scpi/SafePath.h"

#include "scpi/ScpiError.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool WellFormed(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || QDir::isAbsolutePath(name))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    for (const QString& part : name.split(u'/')) {
        if (part == QLatin1String(".."))
            return false;
    }
    return true;
}

bool Inside(const QString& canonicalRoot, const QString& canonicalPath)
{
    return !canonicalRoot.isEmpty() && canonicalPath.startsWith(canonicalRoot + u'/');
}

} // namespace

ResolvedPath ResolveExistingFile(const QString& root, const QString& name)
{
    if (!WellFormed(name))
        return {QString(), ScpiError::FileNameError};
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QFileInfo file(QDir(root).filePath(name));
    if (file.isSymLink() && !file.exists())
        return {QString(), ScpiError::FileNameError};
    if (!file.exists())
        return {QString(), ScpiError::FileNameNotFound};
    const QString canonical = file.canonicalFilePath();
    if (!Inside(canonicalRoot, canonical))
        return {QString(), ScpiError::FileNameError};
    if (!QFileInfo(canonical).isFile())
        return {QString(), ScpiError::FileNameNotFound};
    return {canonical, 0};
}

ResolvedPath ResolveNewFile(const QString& root, const QString& name)
{
    if (!WellFormed(name) || name.endsWith(u'/'))
        return {QString(), ScpiError::FileNameError};
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QFileInfo file(QDir(root).filePath(name));
    if (file.isSymLink())
        return {QString(), ScpiError::FileNameError};
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return {QString(), ScpiError::FileNameNotFound};
    const QString canonicalFolder = folder.canonicalFilePath();
    if (canonicalFolder != canonicalRoot && !Inside(canonicalRoot, canonicalFolder))
        return {QString(), ScpiError::FileNameError};
    if (file.exists() && !file.isFile())
        return {QString(), ScpiError::FileNameError};
    return {QDir(canonicalFolder).filePath(file.fileName()), 0};
}
