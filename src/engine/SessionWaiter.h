#pragma once

#include "link/BoardLink.h"

// How a session's link waits. A polling pass on the application's main thread lets the
// program handle its events (as every long link operation always has); on any other
// thread it only gives the processor away. A conversion is slept through (on the main
// thread in short slices, its events handled between them), unless the board converts at
// once.
class SessionWaiter : public LinkWaiter {
public:
    explicit SessionWaiter(bool boardInstant = false) : instant_(boardInstant) {}
    void Yield() override;
    void Pause(std::chrono::nanoseconds expected) override;

private:
    bool instant_;
};
