#include "MainWindowFixture.h"

#include "display/widgets/FFTControl.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/StripChart.h"
#include "display/widgets/ToggleButton.h"

#include <QComboBox>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <qcustomplot.h>

TEST_F(MainWindowTest, CursorReadOutsNeedDataAndFollowTheDisplayMode)
{
    window->stripDSO_CursorChange(5);
    window->StripFFT_CursorChange(5);
    EXPECT_FALSE(window->lblCursorInfo->isVisibleTo(window.get()));
    EXPECT_TRUE(window->CursorInfoCaption().isEmpty());

    LoadBoardProgram();
    ctx.CurrentSettings.NumberOfSamples = 2;   // 1024 samples at 100000 Hz
    window->TakeSamples();
    ASSERT_EQ(ctx.SampleCodes.size(), 1024u);

    window->StripFFT_CursorChange(257);
    EXPECT_TRUE(window->CursorInfoCaption().startsWith("Freq:25000.00Hz\rValue:"));
    EXPECT_TRUE(window->CursorInfoCaption().endsWith("dB"));
    EXPECT_TRUE(window->lblCursorInfo->isVisibleTo(window.get()));
    EXPECT_EQ(window->lblCursorInfo->text().count('\n'), 1);
    window->StripFFT_CursorChange(1);
    EXPECT_EQ(window->CursorInfoCaption(), "Freq:0.00Hz\rValue:" + FormatFixed(ctx.Spectrum[0], 2) + "dB");

    window->stripDSO_CursorChange(5);
    EXPECT_EQ(window->CursorInfoCaption(), "Sample:5\rValue:" + PlainNumber(ctx.SampleCodes[4]));
    window->cboDisplayMode->setCurrentIndex(1);
    window->stripDSO_CursorChange(5);
    EXPECT_EQ(window->CursorInfoCaption(), "Sample:5\rValue:" + FormatFixed(ctx.SampleVolts[4], 6) + "V");

    // Outside the block the caption stays as it was; releasing the mouse hides it.
    const QString before = window->CursorInfoCaption();
    window->stripDSO_CursorChange(0);
    window->stripDSO_CursorChange(5000);
    EXPECT_EQ(window->CursorInfoCaption(), before);
    window->Chart_MouseUp();
    EXPECT_FALSE(window->lblCursorInfo->isVisibleTo(window.get()));
}

TEST_F(MainWindowTest, ToggleSwitchesViewsWithoutRecomputing)
{
    window->show();
    EXPECT_EQ(window->ToggleButton1->text(), "FFT Mode");
    EXPECT_TRUE(window->StripFFT->isVisible());
    EXPECT_FALSE(window->VEXMHistogram1->isVisible());
    window->ToggleButton1->click();
    EXPECT_EQ(window->ToggleButton1->text(), "Histogram Mode");
    EXPECT_TRUE(window->VEXMHistogram1->isVisible());
    EXPECT_FALSE(window->StripFFT->isVisible());
    EXPECT_FALSE(window->VEXMFFTControl1->isVisible());
    window->ToggleButton1->click();
    EXPECT_TRUE(window->StripFFT->isVisible());
    EXPECT_TRUE(window->VEXMFFTControl1->isVisible());
}

TEST_F(MainWindowTest, HoldZoomKeepsLimitsWhileMaxMinFollowsTheNewBlock)
{
    LoadBoardProgram();
    window->TakeSamples();
    const double top = window->stripDSO->TopLimit();
    const double bottom = window->stripDSO->BottomLimit();
    EXPECT_EQ(window->lblMax->text(), FormatFixed(top, 4));

    window->chkHoldZoom->setChecked(true);
    EXPECT_TRUE(ctx.HoldZoom);
    ports.Board().Converter().Input().amplitude = 0.3;
    window->TakeSamples();
    const auto [lo, hi] = std::minmax_element(ctx.SampleCodes.begin(), ctx.SampleCodes.end());
    EXPECT_EQ(window->stripDSO->TopLimit(), top);
    EXPECT_EQ(window->stripDSO->BottomLimit(), bottom);
    EXPECT_EQ(window->lblMax->text(), FormatFixed(*hi, 4));
    EXPECT_EQ(window->lblMin->text(), FormatFixed(*lo, 4));

    window->chkHoldZoom->setChecked(false);
    window->TakeSamples();
    EXPECT_LT(window->stripDSO->TopLimit(), top);
}

TEST_F(MainWindowTest, GridBoxesSetAndClearTheirFlagOnly)
{
    EXPECT_EQ(window->stripDSO->GridLines(), 3);
    window->chkHGrid->setChecked(false);
    EXPECT_EQ(window->stripDSO->GridLines(), 2);
    window->chkVGrid->setChecked(false);
    EXPECT_EQ(window->stripDSO->GridLines(), 0);
    window->chkHGrid->setChecked(true);
    EXPECT_EQ(window->stripDSO->GridLines(), 1);
}

TEST_F(MainWindowTest, VoltsModeWithoutDataChangesNothing)
{
    window->cboDisplayMode->setEnabled(true);
    window->cboDisplayMode->setCurrentIndex(1);
    EXPECT_EQ(window->stripDSO->PointCount(), 0);
    EXPECT_EQ(ctx.CurrentSettings.DataLoaded, False);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, SpectrumViewShowsEveryBinBeforeAndAfterTheSpansAreReset)
{
    LoadBoardProgram();
    const auto range = [&] { return window->StripFFT->Plot()->xAxis->range(); };
    ctx.CurrentSettings.NumberOfSamples = 2;   // 512 bins; the spans were never reset
    window->TakeSamples();
    EXPECT_EQ(range().lower, 1.0);
    EXPECT_EQ(range().upper, 512.0);

    // Another block length resets the spans at the next plot, Hold Zoom or not.
    window->chkHoldZoom->setChecked(true);
    ctx.CurrentSettings.NumberOfSamples = 1;
    ctx.SpansChanged = true;
    window->TakeSamples();
    EXPECT_EQ(range().upper, 256.0);
}

TEST_F(MainWindowTest, MaxMinBoxShowsLargeValuesWhole)
{
    window->show();
    window->ShowMaxMin(123456789012.5, -98765432109.25);
    QTest::qWait(0);
    for (const QLabel* label : {window->lblMax, window->lblMin})
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
}
