#pragma once

#include "core/Numbers.h"

#include <cstdint>

// The board's 8-bit latch register: the composed value sent to the board and one
// setter per supply or switch function.
class Latch {
public:
    std::int16_t Value() const { return latch_; }   // the "Latch" property
    void SetValue(std::int16_t value) { latch_ = value; }

    void SetMemoryPage0(VBool v) { memoryPage0_ = v; SetBitWhenTrue(0x01, v); }
    void SetMemoryPage1(VBool v) { memoryPage1_ = v; SetBitWhenTrue(0x02, v); }
    void SetENA_QS(VBool v) { enaQs_ = v; SetBitWhenTrue(0x04, v); }
    void SetAVDD_On_Off(VBool v) { avddOnOff_ = v; SetBitWhenTrue(0x08, v); }
    void SetAVDD(VBool v) { avdd_ = v; SetBitWhenFalse(0x10, v); }       // active low
    void SetHiSupply(VBool v) { hiSupply_ = v; SetBitWhenTrue(0x20, v); }
    void SetDigiON_OFF(VBool v) { digiOnOff_ = v; SetBitWhenTrue(0x40, v); }
    void SetDVDD(VBool v) { dvdd_ = v; SetBitWhenFalse(0x80, v); }       // active low

    // The getters return what the setters were last given, not bits of the value.
    VBool MemoryPage0() const { return memoryPage0_; }
    VBool MemoryPage1() const { return memoryPage1_; }
    VBool ENA_QS() const { return enaQs_; }
    VBool AVDD_On_Off() const { return avddOnOff_; }
    VBool AVDD() const { return avdd_; }
    VBool HiSupply() const { return hiSupply_; }
    VBool DigiON_OFF() const { return digiOnOff_; }
    VBool DVDD() const { return dvdd_; }

    VBool Setup() const { return setup_; }
    void SetSetup(VBool v) { setup_ = v; }

private:
    void SetBit(std::int16_t mask, bool on)
    {
        // Clearing masks with the inverted bit restricted to the low byte, which also
        // drops anything in the upper byte.
        latch_ = on ? std::int16_t(latch_ | mask) : std::int16_t(latch_ & (0xFF & ~mask));
    }
    void SetBitWhenTrue(std::int16_t mask, VBool v) { SetBit(mask, v == True); }
    void SetBitWhenFalse(std::int16_t mask, VBool v) { SetBit(mask, v == False); }

    std::int16_t latch_ = 0;
    VBool memoryPage0_ = False, memoryPage1_ = False, enaQs_ = False, avddOnOff_ = False;
    VBool avdd_ = False, hiSupply_ = False, digiOnOff_ = False, dvdd_ = False, setup_ = False;
};
