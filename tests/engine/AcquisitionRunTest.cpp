#include "engine/AcquisitionRun.h"
#include "link/BoardRig.h"

#include <QSignalSpy>
#include <QThread>
#include <gtest/gtest.h>

// A run as the front ends see it: blocks uploaded on the acquisition thread, analysed and
// logged on the test's thread, the run's end, and what the acquisition thread tells the
// user arriving on the test's thread.

namespace {

// Status lines that note whether each one came on the thread that created them.
struct HomeStatus : RecordingStatus {
    void AddLine(const QString& text, std::optional<std::uint32_t> colour) override
    {
        offHome += QThread::currentThread() != home;
        RecordingStatus::AddLine(text, colour);
    }
    const QThread* home = QThread::currentThread();
    int offHome = 0;
};

// The board rig with a run on it; every signal of the run is logged in order, each with
// the newest status line at the time.
struct RunRig : BoardRig {
    RunRig()
    {
        Boot();
        ctx.CurrentSettings.InputVMin = -1.0;
        ctx.CurrentSettings.InputVMax = 3.0;
        ctx.Status1 = &lines;
        run = std::make_unique<AcquisitionRun>(session);
        QObject::connect(run.get(), &AcquisitionRun::BlockAnalysed, [this] {
            Log(QStringLiteral("analysed"));
            if (onBlock)
                onBlock();
        });
        QObject::connect(run.get(), &AcquisitionRun::BlockFailed, [this](int error) {
            Log(QStringLiteral("failed %1").arg(error));
            if (onFailure)
                onFailure();
        });
        QObject::connect(run.get(), &AcquisitionRun::RunEnded, [this](bool continuous, int error) {
            Log(QStringLiteral("ended %1 %2").arg(continuous ? "continuous" : "single").arg(error));
        });
    }
    void Log(const QString& event)
    {
        events << event + QStringLiteral(" | ") + (lines.lines.empty() ? QString() : lines.lines.back().text);
    }
    // Starts a run and handles events until it ended and the board is free.
    void Run(bool continuous)
    {
        run->Start(continuous);
        run->Wait();
        EXPECT_TRUE(run->WaitUntilIdle());
    }

    HomeStatus lines;
    QStringList events;
    std::function<void()> onBlock;
    std::function<void()> onFailure;
    std::unique_ptr<AcquisitionRun> run;   // goes first: its bridges write to the above
};

// What the engine's own one-block step makes of the same board's first block.
struct ReferenceBlock : BoardRig {
    explicit ReferenceBlock(std::int16_t exponent)
    {
        Boot();
        ctx.CurrentSettings.NumberOfSamples = exponent;
        ctx.CurrentSettings.InputVMin = -1.0;
        ctx.CurrentSettings.InputVMax = 3.0;
        EXPECT_EQ(session.TakeBlock(), 0);
    }
};

TEST(AcquisitionRun, ASingleRunAnalysesAndLogsItsBlockLikeTheEnginesOwnStep)
{
    for (const std::int16_t exponent : {std::int16_t(0), std::int16_t(2)}) {
        const int n = 256 << exponent;
        SCOPED_TRACE(n);
        RunRig rig;
        rig.ctx.CurrentSettings.NumberOfSamples = exponent;
        rig.Run(false);

        const QString uploaded = QStringLiteral("%1 Data Samples Uploaded").arg(n);
        EXPECT_EQ(rig.events, (QStringList{"analysed | " + uploaded, "ended single 0 | " + uploaded}));
        EXPECT_EQ(rig.lines.Texts(), QStringList{uploaded});
        EXPECT_EQ(rig.run->BlocksTaken(), 1);
        EXPECT_FALSE(rig.run->Continuous());
        EXPECT_FALSE(rig.run->Running());
        EXPECT_EQ(rig.board.BlocksSent(), 1);

        ReferenceBlock ref(exponent);
        EXPECT_EQ(rig.ctx.SampleCodes, ref.BlockCodes(n));
        EXPECT_EQ(rig.ctx.SampleCodes, ref.ctx.SampleCodes);
        EXPECT_EQ(rig.ctx.SampleVolts, ref.ctx.SampleVolts);
        EXPECT_EQ(rig.ctx.Spectrum, ref.ctx.Spectrum);
        ASSERT_EQ(rig.ctx.Spectrum.size(), std::size_t(n / 2));
        EXPECT_EQ(rig.session.Analyzer().Metrics().snrDb.Valid(), ref.session.Analyzer().Metrics().snrDb.Valid());
        EXPECT_EQ(rig.session.Analyzer().Metrics().snrDb.value, ref.session.Analyzer().Metrics().snrDb.value);
        EXPECT_EQ(rig.session.Histogram().Histogram().counts, ref.session.Histogram().Histogram().counts);
        EXPECT_EQ(rig.session.Histogram().Histogram().inRange, n);
        EXPECT_EQ(rig.ctx.CurrentSettings.DataLoaded, True);
    }
}

// A stopped continuous run ends for the front end inside Stop(); the block the board was
// uploading meanwhile is dropped, and the next run starts with the board's next block.
TEST(AcquisitionRun, StoppingAContinuousRunEndsItAtOnceAndDropsTheBlockInProgress)
{
    RunRig rig;
    bool idleWhileRunning = true;
    bool endedInsideStop = false;
    rig.onBlock = [&] {
        idleWhileRunning = idleWhileRunning && rig.run->WaitUntilIdle();
        if (rig.run->BlocksTaken() == 3) {
            rig.run->Stop();
            endedInsideStop = !rig.run->Running() && rig.events.last().startsWith("ended");
        }
    };
    rig.run->Start(true);
    EXPECT_TRUE(rig.run->Running());
    EXPECT_TRUE(rig.run->Continuous());
    rig.run->Wait();
    EXPECT_TRUE(endedInsideStop);
    EXPECT_FALSE(idleWhileRunning) << "the board is not free while the run goes on";
    EXPECT_FALSE(rig.ctx.ContinuousSampling);
    ASSERT_TRUE(rig.run->WaitUntilIdle());

    const QString uploaded = QStringLiteral("256 Data Samples Uploaded");
    EXPECT_EQ(rig.events, (QStringList{"analysed | " + uploaded, "analysed | " + uploaded, "analysed | " + uploaded,
                                       "ended continuous 0 | Continuous Sampling Stopped"}));
    EXPECT_EQ(rig.lines.Texts(), (QStringList{uploaded, uploaded, uploaded, "Continuous Sampling Stopped"}));
    EXPECT_EQ(rig.run->BlocksTaken(), 3);
    const int sent = rig.board.BlocksSent();
    EXPECT_GE(sent, 3);
    const auto expected = SuccessiveBlocks(std::size_t(sent) + 1);
    EXPECT_EQ(rig.ctx.SampleCodes, expected[2]) << "a block uploaded after the stop was taken";
    EXPECT_EQ(rig.session.Histogram().Histogram().inRange, 3 * 256);

    rig.events.clear();
    rig.onBlock = {};
    rig.Run(false);
    EXPECT_EQ(rig.events, (QStringList{"analysed | " + uploaded, "ended single 0 | " + uploaded}));
    EXPECT_EQ(rig.run->BlocksTaken(), 1);
    EXPECT_EQ(rig.ctx.SampleCodes, expected.back());
}

// A failed block is converted and logged, reported, and ends the run with its error; a
// continuous run's end is logged after it. A refused block command's box is shown on the
// test's thread while the acquisition thread waits for the answer.
TEST(AcquisitionRun, AFailedBlockEndsTheRunWithItsError)
{
    std::int64_t perBlock = 0;   // transfers the board completes per good block of 256
    {
        BoardRig probe;
        probe.Boot();
        const std::int64_t before = probe.board.TransfersCompleted();
        ASSERT_EQ(probe.session.ReadBlock(), 0);
        perBlock = probe.board.TransfersCompleted() - before;
    }
    const QString uploaded = QStringLiteral("256 Data Samples Uploaded");
    const QString stopped = QStringLiteral("Continuous Sampling Stopped");
    struct Case {
        const char* name;
        bool continuous;
        std::int64_t answered;   // transfers before the board stops answering
        bool stopOnFailure;      // the front end stops the run when told of the failure
        int good;
        int error;
        QString line;
        std::size_t boxes;
    };
    const Case cases[] = {
        {"continuous, upload of the third block", true, 2 * perBlock + 4 + 2 * 9, false, 2, 517, "Data Upload Failure", 0},
        {"continuous, stopped by the front end on the failure", true, 2 * perBlock + 4 + 2 * 9, true, 2, 517,
         "Data Upload Failure", 0},
        {"continuous, block command of the first block", true, 0, false, 0, 504, "Send Command Error", 1},
        {"single, block command refused", false, 0, false, 0, 504, "Send Command Error", 1},
        {"single, upload broken", false, 4 + 2 * 9, true, 0, 517, "Data Upload Failure", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunRig rig;
        rig.board.StopAnsweringAfter(c.answered);
        if (c.stopOnFailure)
            rig.onFailure = [&] { rig.run->Stop(); };
        bool boxWhileWaiting = false;
        rig.messages.answers = {MessageResult::Cancel};
        rig.messages.onShow = [&](const MessageRequest&) {
            boxWhileWaiting = rig.run->Running() && QThread::currentThread() == rig.lines.home;
        };
        rig.Run(c.continuous);

        QStringList events(c.good, "analysed | " + uploaded);
        events << QStringLiteral("failed %1 | ").arg(c.error) + c.line;
        events << QStringLiteral("ended %1 %2 | ").arg(c.continuous ? "continuous" : "single").arg(c.error)
                      + (c.continuous ? stopped : c.line);
        EXPECT_EQ(rig.events, events);
        QStringList lines(c.good, uploaded);
        lines << c.line;
        if (c.continuous)
            lines << stopped;
        EXPECT_EQ(rig.lines.Texts(), lines);
        EXPECT_EQ(rig.lines.lines[std::size_t(c.good)].colour, std::optional<std::uint32_t>(Colour::Red));
        EXPECT_EQ(rig.run->BlocksTaken(), c.good);
        EXPECT_FALSE(rig.ctx.ContinuousSampling);
        EXPECT_EQ(rig.board.BlocksSent(), c.good) << "no block taken after the failed one";

        // What arrived of a broken upload is kept and converted; a refused command leaves
        // the previous block.
        if (c.error == 517) {
            const std::vector<double> codes = rig.BlockCodes(9);
            EXPECT_EQ(std::vector<double>(rig.ctx.SampleCodes.begin(), rig.ctx.SampleCodes.begin() + 9), codes);
        } else {
            EXPECT_TRUE(rig.ctx.SampleCodes.empty());
        }
        ASSERT_EQ(rig.ctx.SampleVolts.size(), rig.ctx.SampleCodes.size());
        if (!rig.ctx.SampleCodes.empty()) {
            EXPECT_DOUBLE_EQ(rig.ctx.SampleVolts[3], -1.0 + rig.ctx.SampleCodes[3] * 4.0 / 4096);
        }

        ASSERT_EQ(rig.messages.shown.size(), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(rig.messages.shown[0].title, "Send Command Error");
            EXPECT_TRUE(boxWhileWaiting) << "the box came on the test's thread while the run waited";
            EXPECT_TRUE(rig.messages.answers.empty()) << "the test's answer was taken";
        }
    }
}

// The status lines the acquisition thread writes (the link's "Sent:" echo) and its boxes
// reach the front end on the front end's thread, in order with the blocks' lines; the
// context gets its own messenger and status lines back when the run goes.
TEST(AcquisitionRun, WhatTheAcquisitionThreadTellsTheUserArrivesOnTheOwnersThread)
{
    RunRig rig;
    rig.ctx.CurrentSettings.EchoComms = True;
    EXPECT_NE(rig.ctx.Messages, &rig.messages);
    EXPECT_NE(rig.ctx.Status1, &rig.lines);
    rig.onBlock = [&] {
        if (rig.run->BlocksTaken() == 2)
            rig.run->Stop();
    };
    rig.Run(true);
    const QString sent = QStringLiteral("Sent:00018F07");
    const QString uploaded = QStringLiteral("256 Data Samples Uploaded");
    const QStringList texts = rig.lines.Texts();
    ASSERT_GE(texts.size(), 5);
    EXPECT_EQ(texts.mid(0, 5), (QStringList{sent, uploaded, sent, uploaded, "Continuous Sampling Stopped"}));
    // The echo of a block the board was asked for before the stop comes afterwards.
    EXPECT_EQ(texts.mid(5), QStringList(texts.size() - 5, sent));
    EXPECT_EQ(rig.lines.offHome, 0);

    rig.run.reset();
    EXPECT_EQ(rig.ctx.Messages, &rig.messages);
    EXPECT_EQ(rig.ctx.Status1, &rig.lines);
}

TEST(AcquisitionRun, DestroyingTheRunStopsAndJoinsItAndFreesTheBoard)
{
    RunRig rig;
    int ended = 0;
    QObject::connect(rig.run.get(), &AcquisitionRun::RunEnded, [&] { ++ended; });
    rig.run->Start(true);
    QSignalSpy analysed(rig.run.get(), &AcquisitionRun::BlockAnalysed);
    ASSERT_TRUE(analysed.wait(30000));
    rig.run.reset();

    EXPECT_EQ(ended, 0) << "nothing is reported by a run that goes away";
    EXPECT_FALSE(rig.ctx.ContinuousSampling);
    const int sent = rig.board.BlocksSent();
    EXPECT_EQ(rig.session.ReadBlock(), 0) << "the board is free for the next command";
    EXPECT_EQ(rig.board.BlocksSent(), sent + 1);
}

} // namespace
