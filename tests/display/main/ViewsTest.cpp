#include "MainWindowFixture.h"

#include "display/widgets/HistogramControl.h"
#include "display/widgets/ToggleButton.h"

#include <QApplication>
#include <QWheelEvent>
#include <qcustomplot.h>

TEST_F(MainWindowTest, CursorReadOutsNeedDataAndFollowTheDisplayMode)
{
    window->stripDSO_CursorChange(5);
    window->StripFFT_CursorChange(5);
    EXPECT_FALSE(window->lblCursorInfo->isVisibleTo(window.get()));
    EXPECT_TRUE(window->CursorInfoCaption().isEmpty());

    LoadBoardProgram();
    ctx.CurrentSettings.NumberOfSamples = 2;   // 1024 samples at 100000 Hz
    Sample();
    window->StripFFT_CursorChange(257);
    EXPECT_TRUE(window->CursorInfoCaption().startsWith("Freq:25000.00Hz\rValue:"));
    EXPECT_TRUE(window->lblCursorInfo->isVisibleTo(window.get()));
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

TEST_F(MainWindowTest, ToggleSwitchesViewsAndGridBoxesSetTheirFlagOnly)
{
    window->show();
    QTest::mouseClick(window->ToggleButton1, Qt::LeftButton);
    EXPECT_EQ(window->ToggleButton1->text(), "Histogram Mode");
    EXPECT_TRUE(window->VEXMHistogram1->isVisible());
    EXPECT_FALSE(window->VEXMFFTControl1->isVisible());
    QTest::mouseClick(window->ToggleButton1, Qt::LeftButton);
    EXPECT_TRUE(window->StripFFT->isVisible());

    // Both grids at first (1 horizontal, 2 vertical); each box sets or clears its own.
    struct Step { QCheckBox* box; bool on; int flags; };
    const Step steps[] = {{nullptr, true, 3}, {window->chkHGrid, false, 2}, {window->chkVGrid, false, 0},
                          {window->chkHGrid, true, 1}, {window->chkVGrid, true, 3}};
    for (const Step& s : steps) {
        if (s.box)
            s.box->setChecked(s.on);
        EXPECT_EQ(window->stripDSO->GridLines(), s.flags);
        EXPECT_EQ(window->stripDSO->Plot()->yAxis->grid()->visible(), (s.flags & 1) != 0) << s.flags;
        EXPECT_EQ(window->stripDSO->Plot()->xAxis->grid()->visible(), (s.flags & 2) != 0) << s.flags;
    }
}

// Hold Zoom keeps the limits while Max/Min follows the new block; another block length resets
// the spans at the next plot, Hold Zoom or not.
TEST_F(MainWindowTest, HoldZoomKeepsTheViewUntilTheBlockLengthChanges)
{
    LoadBoardProgram();
    const auto spectrumView = [&] {
        const QCPRange r = window->StripFFT->Plot()->xAxis->range();
        return std::pair(r.lower, r.upper);
    };
    ctx.CurrentSettings.NumberOfSamples = 2;   // 512 bins; the spans were never reset
    Sample();
    EXPECT_EQ(spectrumView(), std::pair(1.0, 512.0));
    const double top = window->stripDSO->TopLimit();
    const double bottom = window->stripDSO->BottomLimit();
    EXPECT_EQ(window->lblMax->text(), FormatFixed(top, 4));

    window->chkHoldZoom->setChecked(true);
    ports.Board().Converter().Input().amplitude = 0.3;
    Sample();
    const auto [lo, hi] = std::minmax_element(ctx.SampleCodes.begin(), ctx.SampleCodes.end());
    EXPECT_EQ(std::pair(window->stripDSO->TopLimit(), window->stripDSO->BottomLimit()), std::pair(top, bottom));
    EXPECT_EQ(window->lblMax->text(), FormatFixed(*hi, 4));
    EXPECT_EQ(window->lblMin->text(), FormatFixed(*lo, 4));

    ctx.CurrentSettings.NumberOfSamples = 1;
    window->SpansChanged = true;
    Sample();
    EXPECT_EQ(spectrumView().second, 256.0);
    window->chkHoldZoom->setChecked(false);
    Sample();
    EXPECT_LT(window->stripDSO->TopLimit(), top);
}

TEST_F(MainWindowTest, WithoutDataTheDisplayModeBoxChangesNothingAndTakesNoTyping)
{
    window->cboDisplayMode->setEnabled(true);
    window->cboDisplayMode->setCurrentIndex(1);
    EXPECT_EQ(window->stripDSO->PointCount(), 0);
    EXPECT_EQ(ctx.CurrentSettings.DataLoaded, False);
    EXPECT_TRUE(messages.shown.empty());

    window->cboDisplayMode->setCurrentIndex(0);
    window->show();
    window->cboDisplayMode->setFocus();
    QTest::keyClick(window->cboDisplayMode, Qt::Key_Down);
    QTest::keyClick(window->cboDisplayMode, Qt::Key_V);
    const QPointF at(5, 5);
    QWheelEvent wheel(at, window->cboDisplayMode->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window->cboDisplayMode, &wheel);
    EXPECT_EQ(window->cboDisplayMode->currentIndex(), 0);

    window->ShowMaxMin(123456789012.5, -98765432109.25);   // large values are shown whole
    QTest::qWait(0);
    for (const QLabel* label : {window->lblMax, window->lblMin})
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
}
