#pragma once

#include "board/BoardRandom.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// The converter part on the simulated board and the signal at its input.

enum class CodeFormat { StraightBinary, TwosComplement };

// The analogue input. Levels are fractions of half the input range: amplitude 1.0 is a
// full-scale sine that just touches both ends of the code range.
struct InputSignal {
    double amplitude = 0.95;          // a little below full scale (-0.45 dBFS)
    double frequencyHz = 0.0;         // > 0: a generator at a fixed frequency in Hz
    double frequencyRatio = 0.0123;   // otherwise fin = ratio x fs (never a sub-multiple of fs)
    double phase = 0.0;               // radians at the first sample after power-on
    double offset = 0.0;              // DC offset from mid-scale
    double noiseLsbRms = 0.5;         // white Gaussian noise in LSB rms
    double harmonic2Dbfs = -70.0;     // 2nd harmonic, dB relative to a full-scale sine
    double harmonic3Dbfs = -75.0;     // 3rd harmonic
    double tone2Hz = 0.0;             // > 0: a second generator at this frequency (two-tone test)
    double amplitude2 = 0.0;          // its level, as amplitude
};

// A faulty converter part: output bits stuck at 1 or 0, one code that never appears (it
// comes out as the code above it), and gain and offset errors of the transfer function.
struct ConverterFaults {
    std::uint16_t stuckHigh = 0;
    std::uint16_t stuckLow = 0;
    int missingCode = -1;
    double gain = 1.0;          // 1.02: the signal comes out 2 % larger around mid-scale
    double offsetLsb = 0.0;
};

// What the latch and the board's program leave switched on for the part.
struct PartSupply {
    bool busSwitches = false;   // latch bit 2 (ENA_QS): the QuickSwitches connect the part's outputs
    bool analogSupply = false;  // latch bit 3 (AVDD_On_Off)
    bool poweredUp = true;      // commands 20 / 22 of the running program
};

class SimulatedConverter {
public:
    static constexpr std::uint64_t kDefaultSeed = 0x4B56323638300001ull;   // "KV2680", 1
    // With the bus switches open the board's data bus floats high.
    static constexpr std::uint16_t kFloatingBus = 0xFFFF;

    SimulatedConverter() = default;

    int Bits() const { return bits_; }
    void SetBits(int bits) { bits_ = bits < 1 ? 1 : (bits > 16 ? 16 : bits); }
    CodeFormat Format() const { return format_; }
    void SetFormat(CodeFormat format) { format_ = format; }
    InputSignal& Input() { return input_; }
    ConverterFaults& Faults() { return faults_; }
    const InputSignal& Input() const { return input_; }

    // Replaces the part's output by these 16-bit values, repeated in order (tests that need
    // exact codes); the latch and power gating still apply. Empty: back to the signal.
    void SetRawCodes(std::vector<std::uint16_t> codes);
    const std::vector<std::uint16_t>& RawCodes() const { return raw_; }

    // On: the generator runs on in real time between blocks, as a bench generator does;
    // each block starts at the phase the steady clock has reached since the last block
    // began (never behind where that block ended). Off: blocks follow without a gap.
    void SetRealTimeGenerator(bool on) { realTimeGenerator_ = on; }

    // Restarts the noise, the junk bits and the signal phase as after power-on.
    void Reseed(std::uint64_t seed = kDefaultSeed);

    // One block: the 16-bit values the board reads from its data bus for n samples taken
    // at fs. The codes sit in the low Bits(); the unused upper bits carry junk. With the
    // bus switches open every value is kFloatingBus; a part without analogue supply or
    // powered down drives its outputs low (code bits 0, junk above).
    void Convert(int n, double fs, PartSupply supply, std::uint16_t* out);

private:
    std::uint16_t Junk();

    int bits_ = 12;
    CodeFormat format_ = CodeFormat::StraightBinary;
    InputSignal input_;
    ConverterFaults faults_;
    std::vector<std::uint16_t> raw_;
    std::size_t rawNext_ = 0;
    double phase_ = 0.0;   // signal phase advanced since power-on, radians in [0, 2 pi)
    double phase2_ = 0.0;  // the second tone's, advanced block by block
    bool realTimeGenerator_ = false;
    std::optional<std::chrono::steady_clock::time_point> lastStart_;
    double lastStartPhase_ = 0.0, lastFin_ = 0.0, lastSeconds_ = 0.0;
    BoardRandom noise_{kDefaultSeed};
    BoardRandom junk_{kDefaultSeed ^ 0xA5A5A5A5A5A5A5A5ull};
};
