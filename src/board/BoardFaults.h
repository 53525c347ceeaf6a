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

    bool BadChecksumOn(int packet, int attempt) const
    {
        return std::find(badChecksums.begin(), badChecksums.end(), PacketAttempt{packet, attempt})
            != badChecksums.end();
    }
};
