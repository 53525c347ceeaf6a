#include "support/FaultSweep.h"

#include <gtest/gtest.h>

// One fault at each byte transfer of each exchange (see FaultSweep.h for what counts).
TEST(FaultSweep, EveryFaultEndsDocumentedBoundedAndRecoverableWithoutTheBoardsButton)
{
    const SweepResult r = RunFaultSweep();
    EXPECT_EQ(r.total.cases, 8 * (3 * 4 + 512 + 37 + 15));
    EXPECT_EQ(r.total.hangs, 0);
    EXPECT_EQ(r.total.undocumented, 0);
    EXPECT_EQ(r.total.needButton, 0);
    EXPECT_EQ(r.total.lost, 0);

    // Commands and samples are neither answered nor checksummed: a byte changed, doubled
    // or lost without a time-out cannot be seen there. Anywhere else, and for a lost
    // strobe, a stuck wait line, a reset or a brown-out, nothing passes as success.
    for (int f = 0; f < kSweepFrames; ++f)
        for (std::size_t k = 0; k < kSweepFaults.size(); ++k) {
            const LineFault fault = kSweepFaults[k];
            const auto frame = SweepFrame(f);
            const bool unseen = fault == LineFault::ExtraStrobe || fault == LineFault::FlippedBits
                || fault == LineFault::SpuriousAcknowledge;
            if (!unseen || frame == SweepFrame::BlockCommand || frame == SweepFrame::Reset) {
                EXPECT_EQ(r.byCase[std::size_t(f)][k].falseSuccesses, 0) << SweepFrameName(frame) << " / " << LineFaultName(fault);
            }
        }
}
