#include "engine/AcquisitionThread.h"
#include "engine/ThreadBridge.h"
#include "link/BoardRig.h"

#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

// The acquisition thread's own part of a run: every block handed over on the front end's
// thread in the board's order, and a board that waits for an owner that falls behind. What
// a front end makes of the blocks (analysis, failures, stop, shut-down) is tested with
// AcquisitionRun.

namespace {

using Blocks = std::vector<std::shared_ptr<UploadedBlock>>;

// The board rig with the front end's side on the test's thread: the status box and the
// message boxes reached through the bridges, and every block handed over collected.
struct RunRig : BoardRig {
    RunRig()
    {
        Boot();
        ctx.Status1 = &statusBridge;
        ctx.Messages = &messageBridge;
        QObject::connect(&acquisition, &AcquisitionThread::BlockUploaded, &home,
                         [this](std::shared_ptr<UploadedBlock> block) {
                             blocks.push_back(block);
                             if (onBlock)
                                 onBlock(blocks.size());
                         });
    }
    // Starts a run and gives the test's event loop to it until it ended.
    bool Run(bool continuous)
    {
        QSignalSpy ended(&acquisition, &AcquisitionThread::RunEnded);
        acquisition.Start(continuous);
        return ended.wait(30000) && ended.count() == 1;
    }

    QObject home;
    CrossThreadStatus statusBridge{status1, home};
    CrossThreadMessenger messageBridge{messages, home};
    AcquisitionThread acquisition{session};
    Blocks blocks;
    std::function<void(std::size_t)> onBlock;
};

TEST(AcquisitionThread, AContinuousRunDeliversEveryBlockInOrderUntilStopped)
{
    RunRig rig;
    rig.ctx.CurrentSettings.EchoComms = True;   // a "Sent:" line from the acquisition thread per block
    const QThread* testThread = QThread::currentThread();
    bool onTestThread = true;
    rig.onBlock = [&](std::size_t count) {
        onTestThread = onTestThread && QThread::currentThread() == testThread;
        if (count == 5)
            rig.acquisition.Stop();
    };
    ASSERT_TRUE(rig.Run(true));

    EXPECT_TRUE(onTestThread);
    EXPECT_FALSE(rig.acquisition.Running());
    EXPECT_FALSE(rig.ctx.ContinuousSampling);
    ASSERT_GE(rig.blocks.size(), 5u);
    EXPECT_EQ(std::size_t(rig.board.BlocksSent()), rig.blocks.size()) << "every block the board sent was handed over";
    const auto expected = SuccessiveBlocks(rig.blocks.size());
    for (std::size_t k = 0; k < rig.blocks.size(); ++k) {
        EXPECT_EQ(rig.blocks[k]->error, 0) << k;
        EXPECT_EQ(rig.blocks[k]->codes, expected[k]) << "block " << k;
    }
    EXPECT_EQ(rig.status1.Texts(), QStringList(qsizetype(rig.blocks.size()), QStringLiteral("Sent:00018F07")));

    // A stopped run can be started again and goes on with the board's next block.
    rig.blocks.clear();
    rig.onBlock = {};
    ASSERT_TRUE(rig.Run(false));
    ASSERT_EQ(rig.blocks.size(), 1u);
    EXPECT_EQ(rig.blocks[0]->codes, SuccessiveBlocks(expected.size() + 1).back());
}

// An owner busy with something else takes no blocks meanwhile: the board stops after the
// few it may keep waiting, instead of piling them up.
TEST(AcquisitionThread, TheBoardWaitsForAnOwnerThatFallsBehind)
{
    RunRig rig;
    rig.acquisition.Start(true);
    QThread::msleep(200);   // no events handled: no block taken
    rig.acquisition.Stop();
    rig.acquisition.Wait();
    EXPECT_GE(rig.blocks.size(), 1u);
    EXPECT_LE(rig.blocks.size(), std::size_t(AcquisitionThread::kBlocksAhead));
    EXPECT_EQ(std::size_t(rig.board.BlocksSent()), rig.blocks.size()) << "every block the board sent was handed over";
}

} // namespace
