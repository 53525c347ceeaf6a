#include "MainWindowFixture.h"

TEST_F(MainWindowTest, OneSampleAsksForTheDefaultBlockAndShowsIt)
{
    LoadBoardProgram();
    ctx.CurrentSettings.NumberOfSamples = 0;
    Click(Find<QPushButton>(*window, "cmdSample"));

    const auto blocks = ports.Board().Trace().FramesWithCode(7);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].first, 0);   // exponent 0: 256 samples
    EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->PointCount(), 256);
    EXPECT_EQ(Find<StripChart>(*window, "StripFFT")->PointCount(), 128);
    EXPECT_EQ(Status1().last(), "256 Data Samples Uploaded");
    EXPECT_TRUE(Find<QCheckBox>(*window, "chkHoldZoom")->isEnabled());
}

TEST_F(MainWindowTest, NeverReadyBoardStopsAContinuousRunWithTheFailureLine)
{
    LoadBoardProgram();
    ports.Board().Faults().neverReady = true;
    // The watchdog tick arrives after a few polls instead of seconds later.
    CountingEventPump pump;
    pump.onPass = [&](long pass) { if (pass % 50 == 0) ctx.Link.Timer1.Trip(); };
    ctx.Link.Wait = &pump;
    ContinuousRun();

    const QStringList lines = Status1();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"Data Upload Failure", "Continuous Sampling Stopped"}));
    EXPECT_EQ(ButtonStates(), IdleStates());
    EXPECT_FALSE(ctx.Link.Timer1.isActive());
}

// A board switched off mid-run costs the user one box and one red line; while the run goes
// on nothing that reconfigures the board can be chosen.
TEST_F(MainWindowTest, ABoardSwitchedOffMidRunCostsOneBoxAndEndsTheRun)
{
    LoadBoardProgram();
    std::vector<bool> menusDuringRun;
    ports.Board().Faults().offAfterBlocks = 3;
    QObject::connect(&window->Acquisition().Run(), &AcquisitionRun::BlockAnalysed, window.get(), [&] {
        if (menusDuringRun.empty())
            for (const char* entry : {"mnuSetup", "mnuLoadRawData", "mnuLPT1", "SaveRawData"})
                menusDuringRun.push_back(Find<QAction>(*window, entry)->isEnabled());
    });
    ContinuousRun();

    EXPECT_EQ(menusDuringRun, (std::vector<bool>{false, false, false, true}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Send Command Error");
    const QStringList lines = Status1();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{"Send Command Error", "Continuous Sampling Stopped"}));
    EXPECT_EQ(window->Status1().LineColour(int(lines.size()) - 2), 0x0000FFu);
    EXPECT_EQ(ButtonStates(), IdleStates());
    EXPECT_TRUE(Find<QAction>(*window, "mnuSetup")->isEnabled());
}

TEST_F(MainWindowTest, PowerAndResetWithTheBoardAnsweringAndSwitchedOff)
{
    LoadBoardProgram();
    window->Acquisition().PowerDown();
    window->Acquisition().PowerUp();
    EXPECT_EQ(Status1().mid(Status1().size() - 2), (QStringList{"Part Powered Down", "Part Powered Up"}));
    const auto frames = ports.Board().Trace().Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].code, 20);
    EXPECT_EQ(frames[1].code, 22);

    const auto before = ButtonStates();
    ports.Board().SetPowered(false);
    window->Acquisition().PowerDown();
    EXPECT_EQ(Status1().last(), "Send Command Error");
    window->Acquisition().Reset();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].title, "Send Command Error");
    EXPECT_EQ(messages.shown[1].title, "Reset Error");
    EXPECT_EQ(Status1(), QStringList{"Reset Failure"});
    EXPECT_EQ(ButtonStates(), before);

    ports.Board().SetPowered(true);
    window->Status1().AddLine("old line");
    window->Acquisition().Reset();
    EXPECT_EQ(Status1(), QStringList{"Board Reset"});
    EXPECT_EQ(window->Status1().LineColour(0), 0x0000FFu);
    EXPECT_EQ(ButtonStates(), (std::vector<bool>{false, false, false, true, false, false, true}));
    EXPECT_FALSE(Find<QComboBox>(*window, "cboDisplayMode")->isEnabled());
    EXPECT_FALSE(Find<QCheckBox>(*window, "chkHoldZoom")->isChecked());
}

// With a slow port (1 us per register access an 8192-sample upload takes over 100 ms),
// Stop Samp ends the run for the user at once; the board finishes its block meanwhile,
// and the next run starts cleanly after it.
TEST_F(MainWindowTest, StopInTheMiddleOfASlowUploadEndsTheRunAtOnce)
{
    LoadBoardProgram();
    ctx.CurrentSettings.NumberOfSamples = 5;
    ports.AccessTime().Set(std::chrono::microseconds(1));
    bool idleAfterClick = false, uploadGoingOn = false;
    QTimer::singleShot(150, window.get(), [&] {
        QTest::mouseClick(Find<QPushButton>(*window, "cmdStopSampling"), Qt::LeftButton);
        idleAfterClick = !window->Acquisition().Acquiring();
        uploadGoingOn = window->Acquisition().Run().BoardBusy();
    });
    window->Acquisition().StartContinuous();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Acquisition().Acquiring(); }, 5000));
    EXPECT_TRUE(idleAfterClick);
    EXPECT_TRUE(uploadGoingOn) << "the click did not wait for the board";
    EXPECT_EQ(Status1().last(), "Continuous Sampling Stopped");
    EXPECT_EQ(ButtonStates(), IdleStates());

    window->Acquisition().Run().WaitUntilIdle();   // the board's last block, before the port changes under it
    ports.AccessTime().Set(std::chrono::nanoseconds(0));
    Sample();
    EXPECT_EQ(Status1().last(), "8192 Data Samples Uploaded");
    EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->PointCount(), 8192);
}
