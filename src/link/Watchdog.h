#pragma once

#include <chrono>

// The link's watchdog: an interval that starts counting when started and has run out
// once it has elapsed (or once it was tripped, as a timer tick would); an interval of 0
// never runs out. A wait that polls the board gives up when it has run out.
// Single-threaded: it lives with the link.
class Watchdog {
public:
    // As a window timer does, a running watchdog starts counting the new interval afresh.
    void setInterval(int ms)
    {
        intervalMs_ = ms;
        if (active_)
            deadline_ = Clock::now() + std::chrono::milliseconds(intervalMs_);
    }
    int interval() const { return intervalMs_; }
    bool isActive() const { return active_; }

    void start()
    {
        active_ = true;
        tripped_ = false;
        deadline_ = Clock::now() + std::chrono::milliseconds(intervalMs_);
    }
    void stop() { active_ = false; }

    // Forgets a time-out seen before; the interval keeps running.
    void ClearTimeOut() { tripped_ = false; }
    // What a tick of the timer does: the current wait times out.
    void Trip() { tripped_ = true; }
    bool TimedOut() const { return tripped_ || (active_ && intervalMs_ > 0 && Clock::now() >= deadline_); }

private:
    using Clock = std::chrono::steady_clock;
    int intervalMs_ = 0;
    bool active_ = false;
    bool tripped_ = false;
    Clock::time_point deadline_{};
};
