#include "MainWindowFixture.h"

#include "display/charts/HistogramControl.h"
#include "display/widgets/ToggleButton.h"

#include <QApplication>
#include <QRegularExpression>
#include <QWheelEvent>
#include <qcustomplot.h>

TEST_F(MainWindowTest, CursorReadOutsNeedDataAndFollowTheDisplayMode)
{
    emit Find<StripChart>(*window, "stripDSO")->CursorChange(5);
    emit Find<StripChart>(*window, "StripFFT")->CursorChange(5);
    EXPECT_FALSE(Find<QLabel>(*window, "lblCursorInfo")->isVisibleTo(window.get()));
    EXPECT_TRUE(window->Charts().CursorInfoCaption().isEmpty());

    LoadBoardProgram();
    ctx.CurrentSettings.NumberOfSamples = 2;   // 1024 samples at 100000 Hz
    Sample();
    emit Find<StripChart>(*window, "StripFFT")->CursorChange(257);
    EXPECT_TRUE(window->Charts().CursorInfoCaption().startsWith("Freq:25000.00Hz\rValue:"));
    EXPECT_TRUE(Find<QLabel>(*window, "lblCursorInfo")->isVisibleTo(window.get()));
    emit Find<StripChart>(*window, "StripFFT")->CursorChange(1);
    EXPECT_EQ(window->Charts().CursorInfoCaption(), "Freq:0.00Hz\rValue:" + FormatFixed(ctx.Spectrum[0], 2) + "dB");
    emit Find<StripChart>(*window, "stripDSO")->CursorChange(5);
    EXPECT_EQ(window->Charts().CursorInfoCaption(), "Sample:5\rValue:" + PlainNumber(ctx.SampleCodes[4]));
    Find<QComboBox>(*window, "cboDisplayMode")->setCurrentIndex(1);
    emit Find<StripChart>(*window, "stripDSO")->CursorChange(5);
    EXPECT_EQ(window->Charts().CursorInfoCaption(), "Sample:5\rValue:" + FormatFixed(ctx.SampleVolts[4], 6) + "V");

    // Outside the block the caption stays as it was; releasing the mouse hides it.
    const QString before = window->Charts().CursorInfoCaption();
    emit Find<StripChart>(*window, "stripDSO")->CursorChange(0);
    emit Find<StripChart>(*window, "stripDSO")->CursorChange(5000);
    EXPECT_EQ(window->Charts().CursorInfoCaption(), before);
    emit Find<StripChart>(*window, "stripDSO")->MouseUp(1, 0, 0, 0);
    EXPECT_FALSE(Find<QLabel>(*window, "lblCursorInfo")->isVisibleTo(window.get()));
}

TEST_F(MainWindowTest, ToggleSwitchesViewsAndGridBoxesSetTheirFlagOnly)
{
    window->show();
    QTest::mouseClick(Find<ToggleButton>(*window, "ToggleButton1"), Qt::LeftButton);
    EXPECT_EQ(Find<ToggleButton>(*window, "ToggleButton1")->text(), "Histogram Mode");
    EXPECT_TRUE(Find<HistogramControl>(*window, "VEXMHistogram1")->isVisible());
    EXPECT_FALSE(Find<FFTControl>(*window, "VEXMFFTControl1")->isVisible());
    QTest::mouseClick(Find<ToggleButton>(*window, "ToggleButton1"), Qt::LeftButton);
    EXPECT_TRUE(Find<StripChart>(*window, "StripFFT")->isVisible());

    // Both grids at first (1 horizontal, 2 vertical); each box sets or clears its own.
    struct Step { QCheckBox* box; bool on; int flags; };
    const Step steps[] = {{nullptr, true, 3}, {Find<QCheckBox>(*window, "chkHGrid"), false, 2}, {Find<QCheckBox>(*window, "chkVGrid"), false, 0},
                          {Find<QCheckBox>(*window, "chkHGrid"), true, 1}, {Find<QCheckBox>(*window, "chkVGrid"), true, 3}};
    for (const Step& s : steps) {
        if (s.box)
            s.box->setChecked(s.on);
        EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->GridLines(), s.flags);
        EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->Plot()->yAxis->grid()->visible(), (s.flags & 1) != 0) << s.flags;
        EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->Plot()->xAxis->grid()->visible(), (s.flags & 2) != 0) << s.flags;
    }
}

// Hold Zoom keeps the limits while Max/Min follows the new block; another block length resets
// the spans at the next plot, Hold Zoom or not.
TEST_F(MainWindowTest, HoldZoomKeepsTheViewUntilTheBlockLengthChanges)
{
    LoadBoardProgram();
    const auto spectrumView = [&] {
        const QCPRange r = Find<StripChart>(*window, "StripFFT")->Plot()->xAxis->range();
        return std::pair(r.lower, r.upper);
    };
    ctx.CurrentSettings.NumberOfSamples = 2;   // 512 bins; the spans were never reset
    Sample();
    EXPECT_EQ(spectrumView(), std::pair(1.0, 512.0));
    const double top = Find<StripChart>(*window, "stripDSO")->TopLimit();
    const double bottom = Find<StripChart>(*window, "stripDSO")->BottomLimit();
    EXPECT_EQ(Find<QLabel>(*window, "lblMax")->text(), FormatFixed(top, 4));

    Find<QCheckBox>(*window, "chkHoldZoom")->setChecked(true);
    ports.Board().Converter().Input().amplitude = 0.3;
    Sample();
    const auto [lo, hi] = std::minmax_element(ctx.SampleCodes.begin(), ctx.SampleCodes.end());
    EXPECT_EQ(std::pair(Find<StripChart>(*window, "stripDSO")->TopLimit(), Find<StripChart>(*window, "stripDSO")->BottomLimit()), std::pair(top, bottom));
    EXPECT_EQ(Find<QLabel>(*window, "lblMax")->text(), FormatFixed(*hi, 4));
    EXPECT_EQ(Find<QLabel>(*window, "lblMin")->text(), FormatFixed(*lo, 4));

    ctx.CurrentSettings.NumberOfSamples = 1;
    window->Charts().BlockLengthChanged();
    Sample();
    EXPECT_EQ(spectrumView().second, 256.0);
    Find<QCheckBox>(*window, "chkHoldZoom")->setChecked(false);
    Sample();
    EXPECT_LT(Find<StripChart>(*window, "stripDSO")->TopLimit(), top);
}

TEST_F(MainWindowTest, WithoutDataTheDisplayModeBoxChangesNothingAndTakesNoTyping)
{
    Find<QComboBox>(*window, "cboDisplayMode")->setEnabled(true);
    Find<QComboBox>(*window, "cboDisplayMode")->setCurrentIndex(1);
    EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->PointCount(), 0);
    EXPECT_EQ(ctx.CurrentSettings.DataLoaded, False);
    EXPECT_TRUE(messages.shown.empty());

    Find<QComboBox>(*window, "cboDisplayMode")->setCurrentIndex(0);
    window->show();
    Find<QComboBox>(*window, "cboDisplayMode")->setFocus();
    QTest::keyClick(Find<QComboBox>(*window, "cboDisplayMode"), Qt::Key_Down);
    QTest::keyClick(Find<QComboBox>(*window, "cboDisplayMode"), Qt::Key_V);
    const QPointF at(5, 5);
    QWheelEvent wheel(at, Find<QComboBox>(*window, "cboDisplayMode")->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Find<QComboBox>(*window, "cboDisplayMode"), &wheel);
    EXPECT_EQ(Find<QComboBox>(*window, "cboDisplayMode")->currentIndex(), 0);

    window->Charts().ShowMaxMin(123456789012.5, -98765432109.25);   // large values are shown whole
    QTest::qWait(0);
    for (const QLabel* label : {Find<QLabel>(*window, "lblMax"), Find<QLabel>(*window, "lblMin")})
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
}

// Every read-out of the FFT panel is shown whole in the panel's design width: a cut
// minus sign would show a wrong figure.
TEST_F(MainWindowTest, TheFftPanelShowsEveryReadOutWhole)
{
    LoadBoardProgram();
    ctx.CurrentSettings.NumberOfSamples = 2;
    ctx.CurrentSettings.SampleFreq = 100000;
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    Sample();
    QApplication::processEvents();
    const QList<QLabel*> labels = Find<FFTControl>(*window, "VEXMFFTControl1")->findChildren<QLabel*>();
    QStringList shown;
    for (const QLabel* label : labels) {
        if (!label->isVisible())
            continue;
        shown << label->text();
        EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
            << label->text().toStdString();
    }
    EXPECT_GE(shown.size(), 20);
    EXPECT_FALSE(shown.filter(QRegularExpression("^-1\\d\\d\\.\\d dBFS/Hz$")).isEmpty()) << shown.join(", ").toStdString();
}
