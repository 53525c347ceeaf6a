#include "engine/SessionWaiter.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
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
    if (instant_ || expected.count() <= 0)
        return;
    const QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return std::this_thread::sleep_for(expected);
    // On the main thread the program stays responsive while the board converts: the time
    // is slept in short slices with the pending events handled between them.
    using Clock = std::chrono::steady_clock;
    constexpr auto kSlice = std::chrono::milliseconds(1);
    const auto end = Clock::now() + expected;
    for (auto now = Clock::now(); now < end; now = Clock::now()) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::min<Clock::duration>(kSlice, end - Clock::now()));
    }
}
