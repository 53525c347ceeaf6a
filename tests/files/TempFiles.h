#pragma once

#include "support/FakeFileChooser.h"
#include "support/FakeUi.h"

#include <QFile>
#include <QTemporaryDir>

// A scratch folder and a scripted user who answers the file dialogs and the messages.
struct ScriptedUser {
    QTemporaryDir dir;
    ScriptedFileChooser chooser;
    ScriptedMessenger messenger;
    RecordingStatus status;

    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& content) const
    {
        QFile file(Path(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return file.fileName();
    }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    // The next file dialog is answered with this file of the scratch folder.
    QString Choose(const QString& name)
    {
        chooser.answers.push_back(Path(name));
        return Path(name);
    }
};

// n lines "0", "1", ... each ended by CR LF.
inline QByteArray NumberedLines(int n)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += QByteArray::number(i) + "\r\n";
    return text;
}
