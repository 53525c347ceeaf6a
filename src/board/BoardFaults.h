#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

// A packet of the program download and the attempt at it, both counted from 1: packet 1
// is the first program word, attempt 2 its first retry.
struct PacketAttempt {
    int packet = 1;
    int attempt = 1;
    bool operator==(const PacketAttempt&) const = default;
};

// One fault on the cable or on the board that strikes a single byte transfer: the one
// under way when the board has completed `at` transfers since it was built.
enum class LineFault : std::uint8_t {
    None,
    LostStrobe,           // the board misses the strobe: no acknowledge, nothing taken
    ExtraStrobe,          // the board sees the strobe twice: the byte taken (or sent) twice
    FlippedBits,          // the data lines carry the byte XOR flipMask
    WaitStuckLow,         // the wait line reads low for stuckStatusReads reads
    WaitStuckHigh,        // the wait line reads high for stuckStatusReads reads
    SpuriousAcknowledge,  // the wait line shows an acknowledge but the board took nothing
    BoardReset,           // the board resets to its loader (latch kept) and misses the strobe
    BrownOut,             // power dips: loader, latch cleared, program lost, strobe missed
};

// The misbehaviours a test can give the simulated board. The defaults are a healthy
// board. "Board switched off" is EvalBoard::SetPowered(false); "stop answering after
// byte k" is EvalBoard::StopAnsweringAfter(k).
struct BoardFaults {
    // The status read, counted from 1 after the strobe, on which the acknowledge first
    // shows (1: at once). 1000 still completes a transfer; 1001 is one read too late.
    int ackOnStatusRead = 1;
    // The status read, counted from 1 after the strobe is withdrawn, on which the
    // acknowledge is released (1: at once).
    int releaseOnStatusRead = 1;
    // The board sees every strobe but never acknowledges one.
    bool neverAcknowledge = false;
    // Number of completed byte transfers after which the board stops answering strobes
    // (negative: never). Set through EvalBoard::StopAnsweringAfter.
    std::int64_t silentAfterTransfer = -1;
    // Packets answered as bad checksums whatever their checksum.
    std::vector<PacketAttempt> badChecksums;
    // A block command is obeyed but the conversion never ends.
    bool neverReady = false;

    LineFault lineFault = LineFault::None;
    std::int64_t lineFaultAt = 0;
    std::uint8_t flipMask = 0x10;
    int stuckStatusReads = 2000;
    // Program packet (from 1) whose first attempt reaches the loader with its first byte
    // XOR flipMask; 0: none.
    int corruptPacket = 0;
    // The board switches itself off once it has sent this many whole blocks (negative:
    // never): a board losing power in the middle of a continuous run.
    int offAfterBlocks = -1;
    // With offAfterBlocks: the power comes back (loader, latch cleared) once the PC has
    // read the status lines this many times with the board off (negative: it stays off),
    // as a supply that drops out for a moment.
    int offForStatusReads = -1;

    bool BadChecksumOn(int packet, int attempt) const
    {
        return std::find(badChecksums.begin(), badChecksums.end(), PacketAttempt{packet, attempt})
            != badChecksums.end();
    }
};
