#include "engine/AcquisitionThread.h"
#include "engine/ThreadBridge.h"
#include "link/BoardRig.h"

#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

// Runs on the session's acquisition thread, as a front end sees them: blocks handed over on
// the front end's thread, status lines and boxes through the thread bridges, and the run's
// end.

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

// The blocks the same board gives one after the other, read without a thread.
std::vector<std::vector<double>> ReferenceBlocks(std::size_t count)
{
    BoardRig rig;
    rig.Boot();
    std::vector<std::vector<double>> out(count);
    for (auto& codes : out)
        EXPECT_EQ(rig.session.ReadBlock(codes), 0);
    return out;
}

TEST(AcquisitionThread, ASingleRunHandsOverOneBlockAndEnds)
{
    RunRig rig;
    ASSERT_TRUE(rig.Run(false));
    ASSERT_EQ(rig.blocks.size(), 1u);
    EXPECT_EQ(rig.blocks[0]->error, 0);
    EXPECT_EQ(rig.blocks[0]->codes, rig.BlockCodes(256));
    EXPECT_EQ(rig.board.BlocksSent(), 1);
    EXPECT_FALSE(rig.acquisition.Running());
    EXPECT_FALSE(rig.ctx.ContinuousSampling);
}

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
    const auto expected = ReferenceBlocks(rig.blocks.size());
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
    EXPECT_EQ(rig.blocks[0]->codes, ReferenceBlocks(expected.size() + 1).back());
}

// The run ends at its first failed block; the blocks before it are handed over in order,
// and a refused block command's box is shown on the front end's thread while the
// acquisition waits for the answer.
TEST(AcquisitionThread, TheFirstFailedBlockEndsARun)
{
    // Transfers the board completes per good block of 256 samples.
    std::int64_t perBlock = 0;
    {
        BoardRig probe;
        probe.Boot();
        const std::int64_t before = probe.board.TransfersCompleted();
        ASSERT_EQ(probe.session.ReadBlock(), 0);
        perBlock = probe.board.TransfersCompleted() - before;
    }
    struct Case {
        const char* name;
        std::int64_t answered;   // transfers before the board stops answering
        std::size_t good;
        int error;
        const char* line;
        std::size_t boxes;
    };
    const Case cases[] = {
        {"upload of the third block", 2 * perBlock + 4 + 2 * 9, 2, 517, "Data Upload Failure", 0},
        {"block command of the first block", 0, 0, 504, "Send Command Error", 1},
        {"block command of the fourth block", 3 * perBlock + 1, 3, 504, "Send Command Error", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunRig rig;
        rig.board.StopAnsweringAfter(c.answered);
        bool waitedForAnswer = false;
        rig.messages.answers = {MessageResult::Cancel};
        rig.messages.onShow = [&](const MessageRequest&) {
            waitedForAnswer = rig.acquisition.Running() && rig.blocks.size() == c.good
                && QThread::currentThread() == rig.home.thread();
        };
        ASSERT_TRUE(rig.Run(true));

        ASSERT_EQ(rig.blocks.size(), c.good + 1);
        const auto expected = ReferenceBlocks(c.good);
        for (std::size_t k = 0; k < c.good; ++k)
            EXPECT_EQ(rig.blocks[k]->codes, expected[k]) << "block " << k;
        const UploadedBlock& failed = *rig.blocks.back();
        EXPECT_EQ(failed.error, c.error);
        // A refused command never touched the buffer; a broken upload kept what arrived.
        if (c.error == 504)
            EXPECT_TRUE(failed.codes.empty());
        else
            EXPECT_EQ(std::vector<double>(failed.codes.begin(), failed.codes.begin() + 9), rig.BlockCodes(9));
        EXPECT_FALSE(rig.ctx.ContinuousSampling);
        ASSERT_EQ(rig.messages.shown.size(), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(rig.messages.shown[0].title, "Send Command Error");
            EXPECT_EQ(rig.messages.shown[0].buttons, MessageButtons::OkCancel);
            EXPECT_TRUE(waitedForAnswer) << "the box came on the test's thread while the run waited";
            EXPECT_TRUE(rig.messages.answers.empty()) << "the test's answer was taken";
        }

        // The front end reports the failed block on its own thread.
        rig.session.ReportBlock(failed.error);
        ASSERT_FALSE(rig.status1.lines.empty());
        EXPECT_EQ(rig.status1.Texts().last(), c.line);
        EXPECT_EQ(rig.status1.lines.back().colour, std::optional<std::uint32_t>(Colour::Red));
    }
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

TEST(AcquisitionThread, DestroyingTheAcquisitionStopsAndJoinsARunningRun)
{
    BoardRig rig;
    rig.Boot();
    {
        AcquisitionThread acquisition(rig.session);
        acquisition.Start(true);
        ASSERT_TRUE(acquisition.Running());
        QThread::msleep(20);
    }
    EXPECT_FALSE(rig.ctx.ContinuousSampling);
    const int sent = rig.board.BlocksSent();
    EXPECT_GT(sent, 0);
    EXPECT_EQ(rig.session.ReadBlock(), 0) << "the board is free for the next command";
    EXPECT_EQ(rig.board.BlocksSent(), sent + 1);
}

} // namespace
