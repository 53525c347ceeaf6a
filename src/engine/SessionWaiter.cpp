#include "engine/SessionWaiter.h"

#include <QCoreApplication>
#include <QThread>
#include <thread>

void SessionWaiter::Yield()
{
    const QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        QCoreApplication::processEvents();
    else
        std::this_thread::yield();
}

void SessionWaiter::Pause(std::chrono::nanoseconds expected)
{
    if (!instant_ && expected.count() > 0)
        std::this_thread::sleep_for(expected);
}
