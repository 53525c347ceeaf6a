#include "config/Latch.h"

#include <gtest/gtest.h>

namespace {

using Setter = void (Latch::*)(VBool);

TEST(Latch, EachSetterOwnsOneBit)
{
    // Bits 4 (AVDD) and 7 (DVDD) are set by False; the others only by exactly True (-1).
    struct Case { const char* name; Setter set; std::int16_t mask; bool activeLow; };
    const Case cases[] = {
        {"MemoryPage0", &Latch::SetMemoryPage0, 0x01, false}, {"MemoryPage1", &Latch::SetMemoryPage1, 0x02, false},
        {"ENA_QS", &Latch::SetENA_QS, 0x04, false},           {"AVDD_On_Off", &Latch::SetAVDD_On_Off, 0x08, false},
        {"AVDD", &Latch::SetAVDD, 0x10, true},                {"HiSupply", &Latch::SetHiSupply, 0x20, false},
        {"DigiON_OFF", &Latch::SetDigiON_OFF, 0x40, false},   {"DVDD", &Latch::SetDVDD, 0x80, true},
    };
    for (const auto& c : cases) {
        for (VBool value : {VBool(True), VBool(False), VBool(1), VBool(-2)}) {
            const bool bitOn = c.activeLow ? value == False : value == True;
            for (std::int16_t start : {0x00, 0xFF}) {
                Latch latch;
                latch.SetValue(start);
                (latch.*c.set)(value);
                EXPECT_EQ(latch.Value(), bitOn ? start | c.mask : start & ~c.mask) << c.name << " " << value;
            }
        }
    }
}

TEST(Latch, ClearDropsTheUpperByteAndSetKeepsIt)
{
    Latch latch;
    latch.SetValue(0x1FF);
    latch.SetMemoryPage0(True);
    EXPECT_EQ(latch.Value(), 0x1FF);
    latch.SetMemoryPage0(False);
    EXPECT_EQ(latch.Value(), 0xFE);
}

} // namespace
