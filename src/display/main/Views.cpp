// Switching between the spectrum and the histogram, and the chart cursor read-outs.
#include "display/main/frmMainScreen.h"

#include "display/widgets/FFTControl.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/StripChart.h"
#include "display/widgets/ToggleButton.h"

#include <QComboBox>
#include <QLabel>

void frmMainScreen::ToggleButton1_Click()
{
    if (ToggleButton1->ShowHistogram()) {
        VEXMHistogram1->setVisible(true);
        VEXMFFTControl1->setVisible(false);
        StripFFT->setVisible(false);
    } else {
        VEXMHistogram1->setVisible(false);
        StripFFT->setVisible(true);
        VEXMFFTControl1->setVisible(true);
    }
}

void frmMainScreen::VEXMFFTControl1_BHWindow()
{
    if (ctx.CurrentSettings.DataLoaded != True)
        return;
    RunStep([&] {
        VEXMFFTControl1->ComputeSpectrum(ctx.SampleCodes, ctx.Spectrum, ctx.CurrentSettings.SampleFreq);
    });
    RunStep([&] { PlotSpectrum(ctx.Spectrum, ToInt16(double(ctx.Spectrum.size()))); });
}

namespace {

// The element at a chart position (positions count from 1); raises error 9 outside.
double ElementAt(const std::vector<double>& data, double x)
{
    const double index = RoundHalfEven(x - 1);
    if (!(index >= 0 && index < double(data.size())))
        throw EvalError(9, QStringLiteral("Cursor"), QStringLiteral("Subscript out of range"));
    return data[std::size_t(index)];
}

} // namespace

// Once data exists, shows the read-out label and the caption the lookup builds; a
// position outside the buffer leaves the caption as it was.
void frmMainScreen::ShowCursorInfo(const std::function<QString()>& caption)
{
    if (ctx.CurrentSettings.DataLoaded != True)
        return;
    RunStep([&] {
        lblCursorInfo->setVisible(true);
        lblCursorInfo->raise();
        cursorInfoCaption_ = caption();
        QString shown = cursorInfoCaption_;
        lblCursorInfo->setText(shown.replace(u'\r', u'\n'));
    });
}

void frmMainScreen::stripDSO_CursorChange(double x)
{
    ShowCursorInfo([&] {
        const QString sample = QStringLiteral("Sample:") + PlainNumber(x) + QStringLiteral("\rValue:");
        if (cboDisplayMode->currentIndex() == 1)
            return sample + FormatFixed(ElementAt(ctx.SampleVolts, x), 6) + QStringLiteral("V");
        return sample + PlainNumber(ElementAt(ctx.SampleCodes, x));
    });
}

void frmMainScreen::StripFFT_CursorChange(double x)
{
    ShowCursorInfo([&] {
        const double n = 2.0 * double(ctx.Spectrum.size());   // the spectrum's own block length
        const double f = x > 1 ? ctx.CurrentSettings.SampleFreq / (n / (x - 1)) : 0.0;
        return QStringLiteral("Freq:") + FormatFixed(f, 2) + QStringLiteral("Hz\rValue:")
               + FormatFixed(ElementAt(ctx.Spectrum, x), 2) + QStringLiteral("dB");
    });
}

void frmMainScreen::Chart_MouseUp() { lblCursorInfo->setVisible(false); }
