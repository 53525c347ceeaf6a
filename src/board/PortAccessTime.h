#pragma once

#include <chrono>
#include <cstdint>

// The time one register access of the simulated port takes, so the simulated board can
// stand in for a slow bus: about 1 us models a classic ISA printer port. Zero (the
// default) costs nothing. The wait spins on the steady clock: no lock, no allocation, no
// system call beyond reading the clock.
class PortAccessTime {
public:
    void Set(std::chrono::nanoseconds perAccess) { ns_ = perAccess.count() > 0 ? perAccess.count() : 0; }
    std::chrono::nanoseconds Get() const { return std::chrono::nanoseconds(ns_); }

    // Returns once one access's time has passed.
    void Spend() const
    {
        if (ns_ != 0)
            Spin();
    }

private:
    void Spin() const;

    std::int64_t ns_ = 0;
};
