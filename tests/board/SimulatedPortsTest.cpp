#include "board/SimulatedPorts.h"

#include <gtest/gtest.h>

TEST(SimulatedPorts, OnePortAt0x378)
{
    SimulatedPorts ports;
    EXPECT_EQ(ports.GetParallelPortCount(), 1);
    EXPECT_NE(ports.ClaimParallelPort(1, -1), 0);
    EXPECT_TRUE(ports.Claimed());
    EXPECT_EQ(ports.ClaimParallelPort(2, -1), 0);

    PortInfo info, other;
    EXPECT_NE(ports.GetParallelPortInfo(1, info), 0);
    EXPECT_EQ(info.BaseAddress, 888);
    EXPECT_EQ(ports.GetParallelPortInfo(2, other), 0);
    EXPECT_EQ(other.BaseAddress, 0);

    EXPECT_NE(ports.ReleaseParallelPort(1), 0);
    EXPECT_FALSE(ports.Claimed());
}

TEST(SimulatedPorts, RegistersOtherAddressesAndCabling)
{
    SimulatedPorts ports;
    EXPECT_EQ(ports.InByte(890), 0x04);
    ports.OutByte(890, 0x1E4);   // only the low byte reaches the register
    EXPECT_EQ(ports.InByte(890), 0xE4);
    ports.OutByte(890, 0x04);
    ports.OutByte(888, 0x5A);
    EXPECT_EQ(ports.InByte(888), 0x5A);
    EXPECT_EQ(ports.InByte(889), 0xF8);
    for (int address : {0, 632, 633, 634, 956, 891})
        EXPECT_EQ(ports.InByte(address), 0xFF) << address;
    ports.OutByte(632, 1);
    EXPECT_EQ(ports.Accesses().in, 10u);
    EXPECT_EQ(ports.Accesses().out, 4u);
    ports.ResetAccessCounts();
    EXPECT_EQ(ports.Accesses().Total(), 0u);

    SimulatedPorts uncabled(false);
    EXPECT_FALSE(uncabled.BoardCabled());
    EXPECT_EQ(uncabled.InByte(889), 0x7F);
    uncabled.SetBoardCabled(true);
    EXPECT_EQ(uncabled.InByte(889), 0xF8);
}
