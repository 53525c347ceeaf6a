#include "board/SimulatedPorts.h"

#include <chrono>
#include <gtest/gtest.h>

// The simulated port's registers; the board's handshake behind them is driven through the
// link in tests/link.

constexpr std::int32_t kData = 888, kStatus = 889, kControl = 890;
constexpr std::int32_t kIdle = 0xF8;

TEST(SimulatedPorts, OnePortAt0x378WithItsRegisters)
{
    SimulatedPorts ports;
    PortInfo info, other;
    EXPECT_EQ(ports.GetParallelPortCount(), 1);
    EXPECT_EQ(ports.ClaimParallelPort(2, -1), 0);
    EXPECT_NE(ports.ClaimParallelPort(1, -1), 0);
    EXPECT_TRUE(ports.Claimed());
    EXPECT_NE(ports.GetParallelPortInfo(1, info), 0);
    EXPECT_EQ(info.BaseAddress, 888);
    EXPECT_EQ(ports.GetParallelPortInfo(2, other), 0);
    EXPECT_NE(ports.ReleaseParallelPort(1), 0);
    EXPECT_FALSE(ports.Claimed());

    ports.ResetAccessCounts();
    EXPECT_EQ(ports.InByte(kControl), 0x04);
    ports.OutByte(kControl, 0x1E4);   // only the low byte reaches the register
    EXPECT_EQ(ports.InByte(kControl), 0xE4);
    ports.OutByte(kControl, 0x04);
    ports.OutByte(kData, 0x5A);
    EXPECT_EQ(ports.InByte(kData), 0x5A) << "lines driven by the PC";
    EXPECT_EQ(ports.InByte(kStatus), kIdle);
    for (int address : {0, 632, 634, 891})
        EXPECT_EQ(ports.InByte(address), 0xFF) << address;
    ports.OutByte(632, 1);
    EXPECT_EQ(ports.Accesses().in, 8u);
    EXPECT_EQ(ports.Accesses().out, 4u);
    ports.OutByte(kControl, 0x24);
    EXPECT_EQ(ports.InByte(kData), 0xFF) << "lines released, nobody drives them";
    ports.OutByte(kControl, 0x26);
    EXPECT_EQ(ports.InByte(kStatus), kIdle) << "the loader has nothing to send";
    EXPECT_EQ(ports.InByte(kData), 0xFF);

    // With no board cabled the status lines never change.
    SimulatedPorts uncabled(false);
    for (int control : {0x04, 0x07, 0x04, 0x26, 0x24}) {
        uncabled.OutByte(kControl, control);
        EXPECT_EQ(uncabled.InByte(kStatus), 0x7F);
    }
    EXPECT_TRUE(uncabled.Board().Trace().Records().empty());
    uncabled.SetBoardCabled(true);
    EXPECT_EQ(uncabled.InByte(kStatus), kIdle);
}


TEST(SimulatedPorts, EveryAccessTakesTheSetTime)
{
    // Only a lower bound: on a busy machine the wait may run long, never short.
    using namespace std::chrono_literals;
    SimulatedPorts ports;
    ports.AccessTime().Set(2ms);
    const auto start = std::chrono::steady_clock::now();
    ports.InByte(kStatus);
    ports.OutByte(kControl, 0x04);
    ports.InByte(kData);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 6ms);
    EXPECT_EQ(ports.Accesses().Total(), 3u);
}
