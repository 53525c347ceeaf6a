// Keeps the charts taking the free space when the window changes size.
#include "display/main/frmMainScreen.h"

#include "display/widgets/FFTControl.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/StripChart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

void frmMainScreen::Form_Resize()
{
    if (isMinimized())
        return;
    TwipsGeometry& g = Geometry;
    // The window's outer size, frame included; the status bar below the charts counts as
    // part of the frame.
    const QRect outer = frameGeometry();
    const int statusBarHeight = statusBar()->isVisible() ? statusBar()->height() : 0;
    const double w = g.ToTwipsX(outer.width());
    const double h = g.ToTwipsY(outer.height() - statusBarHeight);
    // Each step may fail on a window too small for it; the rest then waits for the next
    // resize, and the steps already taken stay applied.
    RunStep([&] {
        g.SetWidth(StripFFT, w - g.Width(VEXMFFTControl1) - 240);
        g.SetWidth(stripDSO, g.Width(StripFFT));
        g.SetLeft(chkVGrid, g.Left(stripDSO) + g.Width(stripDSO) + 60);
        for (QWidget* c : std::initializer_list<QWidget*>{chkHGrid, chkZoomHandles, chkTickPoints,
                                                          chkHoldZoom, cboDisplayMode})
            g.SetLeft(c, g.Left(chkVGrid));
        g.SetLeft(VEXMFFTControl1, g.Left(StripFFT) + g.Width(StripFFT) + 60);
        g.SetLeft(VEXMHistogram1, g.Left(StripFFT));
        g.SetWidth(VEXMHistogram1, w - 180);
        g.SetLeft(lblCursorInfo, g.Left(VEXMFFTControl1));
        g.SetWidth(lblCursorInfo, g.Width(VEXMFFTControl1));
        g.SetHeight(stripDSO, (h - g.Top(cmdQuit) - g.Height(cmdQuit)) / 2 - 420);
        g.SetTop(StripFFT, g.Top(stripDSO) + g.Height(stripDSO) + 60);
        g.SetHeight(StripFFT, g.Height(stripDSO));
        g.SetTop(VEXMFFTControl1, g.Top(StripFFT));
        g.SetHeight(VEXMFFTControl1, g.Height(StripFFT));
        g.SetHeight(VEXMHistogram1, g.Height(StripFFT));
        g.SetTop(VEXMHistogram1, g.Top(StripFFT));
        g.SetTop(lblCursorInfo, g.Top(StripFFT) - g.Height(lblCursorInfo) - 60);
        if (ctx.CurrentSettings.DataLoaded == True)
            VEXMHistogram1->BuildHistogram(ctx.SampleCodes, ctx.CurrentSettings.NumberOfBits);
    });
}
