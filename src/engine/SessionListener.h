#pragma once

#include <cstdint>

// What the board session reports to the front end beside its messages and status lines,
// for the front end to show as it sees fit: the window greys and enables its controls,
// the tool ignores it. Every call comes on the thread that runs the session's step.
class SessionListener {
public:
    virtual ~SessionListener() = default;
    // The link start-up claimed the port at this base address.
    virtual void PortClaimed(std::int16_t address) { (void)address; }
    // A board reset begins: the block on show and its zoom no longer stand for the board.
    virtual void ResetBegun() {}
    // The supply latch shown for the board changed (0, then 144 during a reset).
    virtual void SupplyLatchShown(int value) { (void)value; }
    // The reset ended; answered is false when the board did not come back.
    virtual void ResetEnded(bool answered) { (void)answered; }
    // A configuration load ended; loaded tells whether the board runs its program.
    virtual void ProgramLoaded(bool loaded) { (void)loaded; }
};
