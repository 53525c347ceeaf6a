#pragma once

#include <QObject>

class QSocketNotifier;

// While it lives, SIGTERM and SIGINT end the event loop instead of the process, so a
// server asked to stop (by systemd, or Ctrl+C) stops its run, closes its clients and lets
// the board go as on any other exit. The handler only writes a byte to a socket pair; the
// quit happens on the event loop's thread.
class QuitOnSignals : public QObject {
public:
    QuitOnSignals();
    ~QuitOnSignals() override;

private:
    QSocketNotifier* notifier_ = nullptr;
};
