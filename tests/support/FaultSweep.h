#pragma once

#include "board/BoardFaults.h"

#include <array>
#include <string>
#include <vector>

// One injected fault at each byte transfer of each kind of exchange with the simulated
// board, judged as a user would: the documented error or an honest success, no hang, and
// a link that works again after the documented recovery (Reset, then Setup Load).
enum class SweepFrame { Command, LatchLoad, BlockCommand, ShortUpload, Download, Reset };
constexpr int kSweepFrames = 6;
constexpr std::array<LineFault, 8> kSweepFaults = {
    LineFault::LostStrobe, LineFault::ExtraStrobe, LineFault::FlippedBits, LineFault::WaitStuckLow,
    LineFault::WaitStuckHigh, LineFault::SpuriousAcknowledge, LineFault::BoardReset, LineFault::BrownOut};

struct SweepCounts {
    int cases = 0;
    int handled = 0;        // documented outcome, no false success, usable after recovery
    int hangs = 0;          // more port accesses than any exchange can need
    int falseSuccesses = 0; // reported as done while the board did something else
    int undocumented = 0;   // failed with an error number or result the exchange never gives
    int needButton = 0;     // usable again only after the board's own reset button
    int lost = 0;           // not even the button brought it back
};

struct SweepResult {
    SweepCounts total;
    std::vector<std::string> notHandled;   // "exchange / fault / transfer n: what went wrong"
    std::array<std::array<SweepCounts, kSweepFaults.size()>, kSweepFrames> byCase{};
};

struct SweepOptions {
    // Blocks are read with the check that the board has nothing left to send.
    bool verifyUploads = false;
};

// The whole sweep. The program file it downloads is written to a temporary folder.
SweepResult RunFaultSweep(const SweepOptions& options = {});
const char* SweepFrameName(SweepFrame frame);
const char* LineFaultName(LineFault fault);
// "cases N, handled N, hangs N, false successes N, needing the board's button N"
std::string SweepSummaryLine(const SweepCounts& counts);
