#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class frmMainScreen;

// For tests that drive the built program from outside: while the environment variable
// KV2680_STATE_FILE names a file, the window's state is kept in it as text lines, rewritten
// whenever it changes: the title, the status lines of both boxes, the status-bar hint, and
// for the controls a test clicks, whether they are enabled and visible and where they are
// on the screen (the setup dialog's too while it is open).
class WindowStateEcho : public QObject {
public:
    // Starts the echo when the variable is set.
    static void StartIfAsked(frmMainScreen* window);

private:
    WindowStateEcho(frmMainScreen* window, const QString& path);
    QString Snapshot() const;
    void WriteIfChanged();

    frmMainScreen* window_;
    QString path_;
    QString written_;
    QTimer poll_;
};
