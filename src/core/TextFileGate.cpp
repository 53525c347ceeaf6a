#include "core/TextFileGate.h"

#include "core/EvalError.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileProblem FromErrno(int error)
{
    switch (error) {
    case ENOENT: return {ErrorNumber::FileNotFound, QStringLiteral("The file does not exist.")};
    case ENOTDIR: return {ErrorNumber::PathNotFound, QStringLiteral("A folder on its path does not exist.")};
    case EACCES:
    case EPERM: return {ErrorNumber::PermissionDenied, QStringLiteral("Permission to read it was denied.")};
    case EIO: return {ErrorNumber::DeviceIoError, QStringLiteral("The device reported an input/output error.")};
    default: return {ErrorNumber::PathFileAccessError, QStringLiteral("It could not be opened (%1).").arg(QString::fromLocal8Bit(strerror(error)))};
    }
}

// A missing file in a missing folder is "path not found", as the classic numbering has it.
FileProblem Missing(const QByteArray& name)
{
    const qsizetype slash = name.lastIndexOf('/');
    struct stat folder {};
    if (slash > 0 && ::stat(name.left(slash).constData(), &folder) != 0)
        return {ErrorNumber::PathNotFound, QStringLiteral("The folder it should be in does not exist.")};
    return FromErrno(ENOENT);
}

FileProblem NotRegular(mode_t mode)
{
    const char* kind = S_ISDIR(mode) ? "a folder" : S_ISFIFO(mode) ? "a named pipe"
                     : S_ISCHR(mode) || S_ISBLK(mode) ? "a device" : "not a regular file";
    return {ErrorNumber::PathFileAccessError, QStringLiteral("It is %1, not a file.").arg(QLatin1String(kind))};
}

FileProblem TooLarge(qint64 size, qint64 maxBytes)
{
    return {ErrorNumber::PathFileAccessError, QStringLiteral("It is %1 bytes long; files of this kind are at most %2.")
                    .arg(size).arg(ByteSizeText(maxBytes))};
}

} // namespace

QString ByteSizeText(qint64 bytes)
{
    if (bytes % (1024 * 1024) == 0)
        return QStringLiteral("%1 MiB").arg(bytes / (1024 * 1024));
    if (bytes % 1024 == 0)
        return QStringLiteral("%1 KiB").arg(bytes / 1024);
    return QStringLiteral("%1 bytes").arg(bytes);
}

FileProblem CheckTextFile(const QString& path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (name.isEmpty())
        return FromErrno(ENOENT);
    if (::stat(name.constData(), &info) != 0)
        return errno == ENOENT ? Missing(name) : FromErrno(errno);
    if (!S_ISREG(info.st_mode))
        return NotRegular(info.st_mode);
    if (info.st_size > maxBytes)
        return TooLarge(info.st_size, maxBytes);
    return {};
}

TextFile ReadTextFile(const QString& path, qint64 maxBytes)
{
    if (FileProblem problem = CheckTextFile(path, maxBytes); problem.Number != 0)
        return {std::nullopt, problem};
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};

    // Non-blocking, and checked again once open, in case the name was swapped for a pipe
    // between the stat and the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {std::nullopt, FromErrno(errno)};
    TextFile result;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.Problem = NotRegular(info.st_mode);
    } else {
        // The whole file in one read where it can be (the size from fstat), but never more
        // than one byte past the limit, which tells a file that grew since the stat.
        QByteArray content(qsizetype(std::min<qint64>(info.st_size, maxBytes) + 1), Qt::Uninitialized);
        qsizetype filled = 0;
        ssize_t n = 0;
        while (filled < content.size() && (n = ::read(fd, content.data() + filled, size_t(content.size() - filled))) > 0)
            filled += n;
        content.truncate(filled);
        if (n < 0)
            result.Problem = FromErrno(errno);
        else if (content.size() > maxBytes)
            result.Problem = TooLarge(content.size(), maxBytes);
        else
            result.Content = std::move(content);
    }
    ::close(fd);
    return result;
}
