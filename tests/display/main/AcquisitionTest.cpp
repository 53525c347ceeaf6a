#include "MainWindowFixture.h"

#include "display/widgets/StripChart.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>

#include <QTest>
#include <QTimer>

TEST_F(MainWindowTest, OneSampleAsksForTheDefaultBlockAndShowsIt)
{
    LoadBoardProgram();
    ctx.CurrentSettings.NumberOfSamples = 0;
    QTest::mouseClick(window->cmdSample, Qt::LeftButton);

    const auto blocks = ports.Board().Trace().FramesWithCode(7);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].first, 0);   // exponent 0: 256 samples
    EXPECT_EQ(window->stripDSO->PointCount(), 256);
    EXPECT_EQ(window->StripFFT->PointCount(), 128);
    EXPECT_EQ(Status1().last(), "256 Data Samples Uploaded");
    EXPECT_EQ(ctx.CurrentSettings.DataLoaded, True);
    EXPECT_TRUE(window->cmdSample->isEnabled());
    EXPECT_TRUE(window->chkHoldZoom->isEnabled());
    // The simulated part sees a sine near full scale: the block spans most of the codes.
    const auto [lo, hi] = std::minmax_element(ctx.SampleCodes.begin(), ctx.SampleCodes.end());
    EXPECT_GT(*hi - *lo, 3000);
}

TEST_F(MainWindowTest, StopSampEndsAContinuousRunAfterTheBlockInProgress)
{
    LoadBoardProgram();
    int blocksWhenStopped = -1;
    QTimer::singleShot(50, window.get(), [&] {
        EXPECT_EQ(ButtonStates(), (std::vector<bool>{false, false, true, false, false, false, false}));
        blocksWhenStopped = int(ports.Board().Trace().FramesWithCode(7).size());
        QTest::mouseClick(window->cmdStopSampling, Qt::LeftButton);
    });
    window->cmdContSample_Click();

    ASSERT_GT(blocksWhenStopped, 0);
    const int blocks = int(ports.Board().Trace().FramesWithCode(7).size());
    EXPECT_LE(blocks, blocksWhenStopped + 1);
    EXPECT_EQ(Status1().last(), "Continuous Sampling Stopped");
    EXPECT_EQ(Status1()[Status1().size() - 2], "256 Data Samples Uploaded");
    EXPECT_EQ(ButtonStates(), IdleStates());
}

TEST_F(MainWindowTest, NeverReadyBoardStopsAContinuousRunWithTheFailureLine)
{
    LoadBoardProgram();
    ports.Board().Faults().neverReady = true;
    // The watchdog tick arrives after a few polls instead of seconds later.
    CountingEventPump pump;
    pump.onPass = [&](long pass) {
        if (pass % 50 == 0)
            ctx.TimeOutFlag = true;
    };
    ctx.Events = &pump;
    window->cmdContSample_Click();

    const auto& lines = window->VEXMStatus1->Lines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[lines.size() - 2], "Data Upload Failure");
    EXPECT_EQ(window->VEXMStatus1->LineColour(int(lines.size()) - 2), 0x0000FFu);
    EXPECT_EQ(lines.last(), "Continuous Sampling Stopped");
    EXPECT_EQ(ButtonStates(), IdleStates());
    EXPECT_FALSE(window->Timer1.isActive());
}

TEST_F(MainWindowTest, PowerCommandsWithTheBoardAnsweringAndSwitchedOff)
{
    LoadBoardProgram();
    window->cmdPowerDown_Click();
    window->cmdPowerUp_Click();
    EXPECT_EQ(Status1().mid(Status1().size() - 2), (QStringList{"Part Powered Down", "Part Powered Up"}));
    const auto frames = ports.Board().Trace().Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].code, 20);
    EXPECT_EQ(frames[1].code, 22);

    const auto before = ButtonStates();
    ports.Board().SetPowered(false);
    window->cmdPowerDown_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Send Command Error");
    EXPECT_EQ(messages.shown[0].text, "Communication with the Eval Control Board Failed.\r\n(Error 507)\r\n"
                                      "Please Reset the Board and Try Again.");
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(Status1().last(), "Send Command Error");
    EXPECT_EQ(ButtonStates(), before);
}

TEST_F(MainWindowTest, ResetWithTheBoardOffAndOn)
{
    LoadBoardProgram();
    const auto before = ButtonStates();
    ports.Board().SetPowered(false);
    window->cmdReset_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Reset Error");
    EXPECT_EQ(Status1(), QStringList{"Reset Failure"});
    EXPECT_EQ(ButtonStates(), before);

    ports.Board().SetPowered(true);
    window->VEXMStatus1->AddLine("old line");
    window->cmdReset_Click();
    EXPECT_EQ(Status1(), QStringList{"Board Reset"});
    EXPECT_EQ(window->VEXMStatus1->LineColour(0), 0x0000FFu);
    EXPECT_EQ(ButtonStates(), (std::vector<bool>{false, false, false, true, false, false, true}));
    EXPECT_FALSE(window->cboDisplayMode->isEnabled());
    EXPECT_FALSE(window->chkHoldZoom->isChecked());
}

// A board that stops answering mid-run costs the user one box and one red line; while the
// run goes on nothing that reconfigures the board can be chosen, and "Stop Samp" is
// enabled exactly as long as the loop runs.
TEST_F(MainWindowTest, ABoardSwitchedOffMidRunCostsOneBoxAndEndsTheRun)
{
    LoadBoardProgram();
    std::vector<bool> menusDuringRun;
    QTimer::singleShot(30, window.get(), [&] {
        for (QAction* a : {window->mnuSetup, window->mnuLoadRawData, window->mnuLPT1, window->SaveRawData})
            menusDuringRun.push_back(a->isEnabled());
        EXPECT_TRUE(window->cmdStopSampling->isEnabled());
        ports.Board().SetPowered(false);
    });
    window->cmdContSample_Click();

    EXPECT_EQ(menusDuringRun, (std::vector<bool>{false, false, false, true}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Send Command Error");
    const QStringList lines = Status1();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[lines.size() - 2], "Send Command Error");
    EXPECT_EQ(window->VEXMStatus1->LineColour(int(lines.size()) - 2), 0x0000FFu);
    EXPECT_EQ(lines.last(), "Continuous Sampling Stopped");
    EXPECT_EQ(ButtonStates(), IdleStates());
    EXPECT_TRUE(window->mnuSetup->isEnabled());
    EXPECT_TRUE(window->mnuLPT1->isEnabled());
}
