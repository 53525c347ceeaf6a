#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reads a whole text file the user chose, but only a regular file of at most `maxBytes`:
// folders, named pipes and devices are refused after a stat, without being opened, so a
// pipe can never block the program and a device that never ends cannot fill memory.

// Why a file was not read: the classic run-time error number of the cause (53 not found,
// 76 path not found, 70 permission denied, 75 path/file access error, 57 device I/O
// error) and a sentence for the user.
struct FileProblem {
    int Number = 0;
    QString Reason;
};

struct TextFile {
    std::optional<QByteArray> Content;   // nullopt when the file was not read
    FileProblem Problem;
};

TextFile ReadTextFile(const QString& path, qint64 maxBytes);

// The stat-only part of ReadTextFile: Number 0 when path is a regular file of at most
// maxBytes, else the problem. Nothing is opened.
FileProblem CheckTextFile(const QString& path, qint64 maxBytes);

// The limit as the user reads it: "64 KiB", "1 MiB".
QString ByteSizeText(qint64 bytes);
