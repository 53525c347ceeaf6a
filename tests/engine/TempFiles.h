#pragma once

#include "core/BadInputs.h"
#include "support/FakeFileChooser.h"
#include "support/FakeUi.h"

// A scratch folder and a scripted user who answers the file dialogs and the messages.
struct ScriptedUser : BadInputs {
    ScriptedFileChooser chooser;
    ScriptedMessenger messenger;
    RecordingStatus status;

    QString Path(const QString& name) const { return dir.filePath(name); }
    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
