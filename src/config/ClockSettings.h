#pragma once

#include <cstdint>

// Turns a requested sample frequency into the two bytes of the board timer's period
// count (crystal periods per sample minus one).
class ClockSettings {
public:
    std::int32_t CrystalFrequency() const { return crystal_; }
    void SetCrystalFrequency(std::int32_t hz) { crystal_ = hz; }

    std::int32_t SampleFrequency() const { return sample_; }
    // Raises error 510 for f <= 0 (nothing changes) and the overflow error 6 when the
    // period does not fit (the frequency is then already stored).
    void SetSampleFrequency(std::int32_t hz);

    std::int16_t TPeriodHigh() const { return high_; }
    std::int16_t TPeriodLow() const { return low_; }
    // Read-only from outside: both setters raise error 509.
    [[noreturn]] void SetTPeriodHigh(std::int16_t);
    [[noreturn]] void SetTPeriodLow(std::int16_t);

private:
    std::int32_t crystal_ = 0;
    std::int32_t sample_ = 0;
    std::int16_t high_ = 0;
    std::int16_t low_ = 0;
};
