#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

// The inputs every reader must refuse or survive, made in a scratch folder: contents
// (binary garbage, too large) and names that are not regular files.
struct BadInputs {
    QTemporaryDir dir;

    QString File(const QString& name, const QByteArray& content) const
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }
    QString Folder(const QString& name) const
    {
        EXPECT_TRUE(QDir(dir.path()).mkdir(name));
        return dir.filePath(name);
    }
    // Opening it for reading would wait for a writer that never comes.
    QString Pipe(const QString& name) const
    {
        EXPECT_EQ(mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0600), 0);
        return dir.filePath(name);
    }
    QString Unreadable(const QString& name, const QByteArray& content) const
    {
        const QString path = File(name, content);
        chmod(QFile::encodeName(path).constData(), 0);
        return path;
    }
    // Every byte value, NULs and line ends included.
    static QByteArray Garbage()
    {
        QByteArray bytes;
        for (int i = 0; i < 512; ++i)
            bytes += char((i * 97 + 13) & 0xFF);
        return bytes;
    }
};

// Root reads files whatever their permission bits say.
#define SKIP_WHEN_ROOT()                                                                       \
    if (geteuid() == 0)                                                                        \
    GTEST_SKIP() << "running as root, which reads files whatever their permissions say"
