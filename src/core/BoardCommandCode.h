#pragma once

#include <cstdint>

// The command codes of the board's four-byte command frame, as the loader and the running
// program take them. The link sends them and the simulated board obeys them.
namespace BoardCommandCode {
constexpr std::int16_t Download = 2;    // loader: a program length and packets follow
constexpr std::int16_t LoadLatch = 3;   // the frame's first byte is the supply latch
constexpr std::int16_t Start = 4;       // loader: run the downloaded program
constexpr std::int16_t Block = 7;       // program: convert a block (exponent, period word)
constexpr std::int16_t Reset = 8;       // back to the loader once the control lines pulse
constexpr std::int16_t PowerDown = 20;
constexpr std::int16_t PowerUp = 22;
}
