#include "MainWindowFixture.h"

#include "display/widgets/FFTControl.h"
#include "display/widgets/StripChart.h"

#include "display/widgets/ToggleButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QTest>

TEST_F(MainWindowTest, WiderAndTallerWindowsGrowTheCharts)
{
    window->show();
    window->resize(900, 650);
    QTest::qWait(0);
    TwipsGeometry& g = window->Geometry;
    const double dsoWidth = g.Width(window->stripDSO);
    const double fftWidth = g.Width(window->StripFFT);
    const double column = g.Left(window->chkVGrid);
    const double fftControl = g.Left(window->VEXMFFTControl1);
    const double controlWidth = g.Width(window->VEXMFFTControl1);
    const double height = g.Height(window->stripDSO);

    window->resize(1000, 650);
    const double dw = g.ToTwipsX(100);
    EXPECT_NEAR(g.Width(window->stripDSO) - dsoWidth, dw, 1);
    EXPECT_NEAR(g.Width(window->StripFFT) - fftWidth, dw, 1);
    EXPECT_NEAR(g.Left(window->chkVGrid) - column, dw, 1);
    EXPECT_NEAR(g.Left(window->VEXMFFTControl1) - fftControl, dw, 1);
    EXPECT_EQ(g.Width(window->VEXMFFTControl1), controlWidth);

    window->resize(1000, 750);
    const double dh = g.ToTwipsY(100);
    EXPECT_NEAR(g.Height(window->stripDSO) - height, dh / 2, 1);
    EXPECT_NEAR(g.Height(window->StripFFT) - height, dh / 2, 1);
    EXPECT_NEAR(g.Top(window->StripFFT), g.Top(window->stripDSO) + g.Height(window->stripDSO) + 60, 1);
}

TEST_F(MainWindowTest, ATinyWindowStopsTheLayoutAndARestoreLaysOutAgain)
{
    window->show();
    LoadBoardProgram();
    window->TakeSamples();
    window->resize(40, 30);
    QTest::qWait(0);
    window->resize(1000, 700);
    TwipsGeometry& g = window->Geometry;
    // The layout works from the outer width, frame included.
    EXPECT_NEAR(g.Width(window->StripFFT),
                g.ToTwipsX(window->frameGeometry().width()) - g.Width(window->VEXMFFTControl1) - 240, 1);
    EXPECT_GT(g.Height(window->stripDSO), 0);
    EXPECT_NEAR(g.Top(window->VEXMFFTControl1), g.Top(window->StripFFT), 1);
}

TEST_F(MainWindowTest, TheDesignSizeIsOuterAndTheSmallestWindowKeepsControlsApart)
{
    window->SetOuterSize(15000, 10800);
    window->show();
    TwipsGeometry& g = window->Geometry;
    const QSize design(g.ToPixelsX(15000), g.ToPixelsY(10800));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().size() == design; }));
    EXPECT_LT(window->width(), design.width());

    window->resize(1, 1);
    QTest::qWait(0);
    window->lblCursorInfo->show();
    const QWidget* controls[] = {
        window->cmdSample, window->cmdContSample, window->cmdStopSampling, window->cmdReset,
        window->cmdPowerDown, window->cmdPowerUp, window->Command2, window->cmdQuit,
        window->VEXMStatus2, window->VEXMStatus1, window->ToggleButton1, window->picMaxMinBox,
        window->cboDisplayMode, window->chkVGrid, window->chkHGrid, window->chkHoldZoom,
        window->chkTickPoints, window->chkZoomHandles, window->lblCursorInfo, window->stripDSO,
        window->StripFFT, window->VEXMFFTControl1,
    };
    const QRect area = window->centralWidget()->rect();
    for (const QWidget* a : controls) {
        EXPECT_TRUE(area.contains(a->geometry())) << a->metaObject()->className();
        for (const QWidget* b : controls)
            if (a < b)
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->metaObject()->className() << " " << b->metaObject()->className();
    }
}
