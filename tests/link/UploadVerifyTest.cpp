#include "link/BoardRig.h"

#include <gtest/gtest.h>

// The check after a block that the board has nothing left to send, as the session
// requests it when the upload check is switched on.

namespace {

constexpr int kCommandBytes = 4;
constexpr int kLastSampleByte = kCommandBytes + 2 * 256 - 1;

// A spurious acknowledge hands the PC floating lines for a byte the board keeps: the
// block is shifted and the board owes one byte at its end.
TEST(UploadVerify, AShiftedBlockFailsOnlyWhenTheUploadIsChecked)
{
    struct Case {
        const char* name;
        LineFault fault;
        int at;        // transfers after the boot, the block command's first byte being 0
        bool verify;
        int error;
        bool intact;   // the codes read are the board's block
    };
    const Case cases[] = {
        {"healthy", LineFault::None, 0, false, 0, true},
        {"healthy, checked", LineFault::None, 0, true, 0, true},
        {"first sample byte", LineFault::SpuriousAcknowledge, kCommandBytes, false, 0, false},
        {"first sample byte, checked", LineFault::SpuriousAcknowledge, kCommandBytes, true, 517, false},
        {"a middle sample byte, checked", LineFault::SpuriousAcknowledge, kCommandBytes + 301, true, 517, false},
        {"last sample byte", LineFault::SpuriousAcknowledge, kLastSampleByte, false, 0, false},
        {"last sample byte, checked", LineFault::SpuriousAcknowledge, kLastSampleByte, true, 517, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoardRig rig;
        rig.Boot();
        rig.ctx.Options.VerifyUpload = c.verify;
        if (c.fault != LineFault::None)
            rig.board.StrikeAfter(c.fault, c.at);
        EXPECT_EQ(rig.session.ReadBlock(), c.error);
        if (c.error == 0) {
            EXPECT_EQ(rig.ctx.SampleCodes == rig.BlockCodes(256), c.intact);
        } else {
            EXPECT_EQ(rig.session.LastError().Description.toStdString(),
                      "Block Out Of Step: Board Still Sending After Sample 256");
        }
        // The check took the byte the board still owed: the next block arrives whole.
        if (c.verify) {
            EXPECT_EQ(rig.session.ReadBlock(), 0);
            EXPECT_EQ(rig.ctx.SampleCodes, rig.BlockCodes(256));
        }
    }
}

// The check is one read attempt that the board leaves unacknowledged: a control read, the
// strobe, a full acknowledge phase of status reads and the strobe withdrawn. Without it
// the upload's traffic is unchanged.
TEST(UploadVerify, CostsOneUnansweredReadAttempt)
{
    std::uint64_t in[2], out[2];
    for (const bool verify : {false, true}) {
        BoardRig rig;
        rig.Boot();
        rig.board.Trace().SetEnabled(false);
        rig.ctx.Options.VerifyUpload = verify;
        ASSERT_EQ(rig.session.ReadBlock(), 0);
        in[verify] = rig.ports.Accesses().in;
        out[verify] = rig.ports.Accesses().out;
    }
    EXPECT_EQ(in[1] - in[0], 1u + LinkLimits::kPollLimit + 1u);
    EXPECT_EQ(out[1] - out[0], 3u);
}

} // namespace
