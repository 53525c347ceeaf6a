#pragma once

#include "support/FakeFileChooser.h"
#include "support/FakeUi.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A scratch folder for one test, with helpers to write and read whole files in it.
class TempFiles {
public:
    QString Path(const QString& name) const { return dir_.filePath(name); }

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

private:
    QTemporaryDir dir_;
};

// n lines "0", "1", ... each ended by CR LF.
inline QByteArray NumberedLines(int n)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += QByteArray::number(i) + "\r\n";
    return text;
}

// A scratch folder and a scripted user who answers the file dialogs and the messages.
struct ScriptedUser {
    TempFiles temp;
    ScriptedFileChooser chooser;
    ScriptedMessenger messenger;

    // The next file dialog is answered with this file of the scratch folder.
    QString Choose(const QString& name)
    {
        const QString path = temp.Path(name);
        chooser.answers.push_back(path);
        return path;
    }
};
