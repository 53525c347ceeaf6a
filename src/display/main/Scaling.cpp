// Waveform and spectrum plotting, ranges and the chart options.
#include "display/main/frmMainScreen.h"

#include "engine/WaveformScaling.h"
#include "analysis/Decibels.h"
#include "display/widgets/StripChart.h"

#include <cmath>
#include <limits>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

void frmMainScreen::PlotWaveform(const std::vector<double>& data, std::int16_t count,
                                 std::optional<double> top, std::optional<double> bottom)
{
    if (data.empty())
        throw EvalError(9, QStringLiteral("PlotWaveform"), QStringLiteral("Subscript out of range"));
    if (SpansChanged)
        ResetChartSpans();
    stripDSO->ClearTrace();
    stripDSO->SetPointCapacity(ToInt16(count + 10));
    if (!HoldZoom) {
        stripDSO->SetXViewEnd(count - 1);
        stripDSO->SetRightHandle(count - 1);
        stripDSO->SetXSpan(count);
    }
    if (!HoldZoom) {
        if (top)
            stripDSO->SetTopLimit(*top);
        if (bottom)
            stripDSO->SetBottomLimit(*bottom);
    }
    stripDSO->LoadTrace(0, data);
    ctx.CurrentSettings.DataLoaded = True;
}

void frmMainScreen::PlotSpectrum(const std::vector<double>& spectrum, std::int16_t count)
{
    StripFFT->ClearTrace();
    StripFFT->SetPointCapacity(ToInt16(count + 10));
    if (!HoldZoom) {
        StripFFT->SetRightHandle(count - 1);
        StripFFT->SetLeftHandle(0);
        StripFFT->SetXSpan(count - 1);
        // The view ends at the last bin, also before the spans were first reset and after
        // a configuration brought another block length.
        StripFFT->SetXViewEnd(count - 1);
    }
    // The spectrum's own length sets the frequency of a bin (a loaded block of any length
    // has half as many bins as values).
    const std::int32_t fs = ctx.CurrentSettings.SampleFreq;
    const double n = 2.0 * count;
    StripFFT->SetXUnitsPerPoint(fs > 0 ? fs / n : 1.0);
    StripFFT->SetAxisLabels(fs > 0 ? tr("Frequency (Hz)") : tr("Bin"), tr("dBFS"));
    // Bins whose power was taken out (the mean at DC) sit on the dB floor: they are left
    // out of the drawing and of the range instead of pulling a line down to it.
    std::vector<double> drawn(spectrum);
    const double removed = 10.0 * std::log10(PowerFloor);
    for (double& v : drawn)
        if (v <= removed)
            v = std::numeric_limits<double>::quiet_NaN();
    StripFFT->LoadTrace(0, drawn);
    ShowSpectrumRange(drawn);
    StripFFT->Redraw();
}

void frmMainScreen::ShowWaveformRange(const std::vector<double>& data)
{
    const auto [maximum, minimum] = MaxMin(data);
    if (!chkHoldZoom->isChecked()) {
        stripDSO->SetTopLimit(maximum);
        stripDSO->SetBottomLimit(minimum);
        stripDSO->SetTopHandle(maximum);
        stripDSO->SetBottomHandle(minimum);
        stripDSO->Redraw();
    }
    ShowMaxMin(maximum, minimum);
}

void frmMainScreen::ShowSpectrumRange(const std::vector<double>& spectrum)
{
    const double maximum = SpectrumTop(spectrum);
    if (!chkHoldZoom->isChecked()) {
        StripFFT->SetTopLimit(maximum);
        StripFFT->SetBottomLimit(std::int16_t(-120));
        StripFFT->SetTopHandle(maximum);
    }
}

void frmMainScreen::ResetChartSpans()
{
    const std::int32_t n = BlockLength();
    stripDSO->SetXViewEnd(n - 1);
    stripDSO->SetRightHandle(n - 1);
    stripDSO->SetXSpan(n);
    stripDSO->ClearTrace();
    StripFFT->SetXViewEnd(n / 2 - 1);
    StripFFT->SetRightHandle(n - 1);
    StripFFT->SetXSpan(n);
    SpansChanged = false;
}

void frmMainScreen::ShowMaxMin(double maximum, double minimum)
{
    lblMax->setText(FormatFixed(maximum, 4));
    lblMin->setText(FormatFixed(minimum, 4));
    // Values of any size stay whole: the box widens to the right, where the top row has
    // room, and never gets narrower than drawn.
    const int width = std::max(Geometry.ToPixelsX(Geometry.Width(picMaxMinBox)), picMaxMinBox->sizeHint().width());
    picMaxMinBox->resize(width, picMaxMinBox->height());
}

void frmMainScreen::cboDisplayMode_Click()
{
    RunStep([&] {
        const std::int16_t n = ToInt16(double(ctx.SampleCodes.size()));
        const bool volts = cboDisplayMode->currentIndex() == 1;
        if (volts)
            ConvertToVolts(ctx.CurrentSettings, ctx.SampleCodes, ctx.SampleVolts);
        const std::vector<double>& shown = volts ? ctx.SampleVolts : ctx.SampleCodes;
        stripDSO->SetAxisLabels(tr("Sample"), volts ? tr("Volts") : tr("Code"));
        PlotWaveform(shown, n);
        ShowWaveformRange(shown);
        stripDSO->SetTopHandle(stripDSO->TopLimit());
        stripDSO->SetBottomHandle(stripDSO->BottomLimit());
    });
}

void frmMainScreen::chkHoldZoom_Click() { HoldZoom = chkHoldZoom->isChecked(); }

void frmMainScreen::chkHGrid_Click()
{
    const std::int32_t g = stripDSO->GridLines();
    stripDSO->SetGridLines(chkHGrid->isChecked() ? (g | 1) : (g & 14));
}

void frmMainScreen::chkVGrid_Click()
{
    const std::int32_t g = stripDSO->GridLines();
    stripDSO->SetGridLines(chkVGrid->isChecked() ? (g | 2) : (g & 13));
}

void frmMainScreen::chkTickPoints_Click()
{
    const int on = chkTickPoints->isChecked() ? 1 : 0;
    stripDSO->SetTickPoints(on);
    StripFFT->SetTickPoints(on);
}

void frmMainScreen::chkZoomHandles_Click()
{
    ShowZoomHint();
    for (StripChart* chart : {stripDSO, StripFFT}) {
        if (chkZoomHandles->isChecked()) {
            chart->SetTopHandle(chart->TopLimit());
            chart->SetBottomHandle(chart->BottomLimit());
            chart->SetHandleMode(3);
        } else {
            chart->SetHandleMode(0);
        }
    }
}

void frmMainScreen::ShowZoomHint()
{
    const bool zoomed = stripDSO->Zoomed() || StripFFT->Zoomed();
    cmdFullView->setEnabled(zoomed);
    if (zoomed)
        lblZoomHint->setText(tr("Zoomed in: press Full View, or right-click the chart, to see the whole trace."));
    else if (chkZoomHandles->isChecked())
        lblZoomHint->setText(tr("To zoom in, drag the dashed handles around the part to see, then double-click the chart."));
    else
        lblZoomHint->setText(tr("To zoom in, tick Zoom Handles."));
}
