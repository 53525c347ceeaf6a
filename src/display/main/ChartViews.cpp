#include "display/main/ChartViews.h"

#include "analysis/Decibels.h"
#include "core/EvalError.h"
#include "core/Numbers.h"
#include "display/charts/HistogramControl.h"
#include "display/charts/ReadoutGrid.h"
#include "display/charts/StripChart.h"
#include "display/widgets/FFTControl.h"
#include "display/widgets/ToggleButton.h"
#include "engine/BoardSession.h"
#include "engine/WaveformScaling.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <cmath>
#include <limits>

namespace {

// Swallows every key press and wheel turn over the display-mode box, so it changes only
// from its list.
class ListOnly : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override
    {
        return e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride
               || e->type() == QEvent::Wheel;
    }
};

template <class T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The element at a chart position (positions count from 1); raises error 9 outside.
double ElementAt(const std::vector<double>& data, double x)
{
    const double index = RoundHalfEven(x - 1);
    if (!(index >= 0 && index < double(data.size())))
        throw EvalError(9, QStringLiteral("Cursor"), QStringLiteral("Subscript out of range"));
    return data[std::size_t(index)];
}

} // namespace

ChartViews::ChartViews(EvalContext& context, BoardSession& session, TwipsGeometry& geometry, QMainWindow& window)
    : QObject(&window), ctx(context), session_(session), geometry_(geometry)
{
}

void ChartViews::CreateControls(QMainWindow& window)
{
    QWidget* area = window.centralWidget();
    ToggleButton1 = Named(new ToggleButton(area), "ToggleButton1");

    picMaxMinBox = Named(new QFrame(area), "picMaxMinBox");
    picMaxMinBox->setFrameShape(QFrame::StyledPanel);
    auto* maxCaption = new QLabel(tr("Max:"), picMaxMinBox);
    auto* minCaption = new QLabel(tr("Min:"), picMaxMinBox);
    lblMax = Named(new QLabel(QStringLiteral("0"), picMaxMinBox), "lblMax");
    lblMin = Named(new QLabel(QStringLiteral("0"), picMaxMinBox), "lblMin");
    auto* grid = new QGridLayout(picMaxMinBox);
    grid->setContentsMargins(4, 1, 4, 1);
    grid->setVerticalSpacing(0);
    grid->addWidget(maxCaption, 0, 0);
    grid->addWidget(lblMax, 0, 1);
    grid->addWidget(minCaption, 1, 0);
    grid->addWidget(lblMin, 1, 1);
    grid->setColumnStretch(1, 1);
    lblMax->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblMin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    cboDisplayMode = Named(new QComboBox(area), "cboDisplayMode");
    cboDisplayMode->installEventFilter(new ListOnly(cboDisplayMode));
    cboDisplayMode->addItems({tr("Integers"), tr("Volts")});
    chkVGrid = Named(new QCheckBox(tr("Vertical Grid"), area), "chkVGrid");
    chkHGrid = Named(new QCheckBox(tr("Horizontal Grid"), area), "chkHGrid");
    chkHoldZoom = Named(new QCheckBox(tr("Hold Zoom"), area), "chkHoldZoom");
    chkTickPoints = Named(new QCheckBox(tr("Tick Data Points"), area), "chkTickPoints");
    chkZoomHandles = Named(new QCheckBox(tr("Zoom Handles"), area), "chkZoomHandles");

    lblCursorInfo = Named(new QLabel(area), "lblCursorInfo");
    lblCursorInfo->setFrameShape(QFrame::StyledPanel);
    lblCursorInfo->setAutoFillBackground(true);
    lblCursorInfo->setVisible(false);

    stripDSO = Named(new StripChart(area), "stripDSO");
    StripFFT = Named(new StripChart(area), "StripFFT");
    stripDSO->SetAxisLabels(tr("Sample"), tr("Code"));
    StripFFT->SetAxisLabels(tr("Bin"), tr("dBFS"));
    VEXMFFTControl1 = Named(new FFTControl(area), "VEXMFFTControl1");
    VEXMHistogram1 = Named(new HistogramControl(area), "VEXMHistogram1");
    VEXMHistogram1->setVisible(false);

    // Zoom is explained where the user looks: on the charts, the option and the status bar.
    const QString chartTip = tr("Press and drag to read the values under the cursor.\n"
                                "To zoom in: tick Zoom Handles, drag the dashed handles around the part "
                                "to see, then double-click the chart.\n"
                                "Back to the whole trace: Full View below, or right-click the chart.");
    stripDSO->setToolTip(chartTip);
    StripFFT->setToolTip(chartTip);
    chkZoomHandles->setToolTip(tr("Shows the dashed handles that mark the part of a chart to zoom in to."));
    lblZoomHint = Named(new QLabel(&window), "lblZoomHint");
    window.statusBar()->addWidget(lblZoomHint, 1);
    cmdFullView = Named(new QPushButton(tr("Full View"), &window), "cmdFullView");
    cmdFullView->setToolTip(tr("Shows the whole trace on both charts again."));
    window.statusBar()->addPermanentWidget(cmdFullView);
    ShowZoomHint();

    // Start-up states: grids on, the FFT view in front, no block to show yet.
    chkHGrid->setChecked(true);
    chkVGrid->setChecked(true);
    chkHoldZoom->setEnabled(false);
    cboDisplayMode->setEnabled(false);
    ConnectHandlers();
    VEXMFFTControl1->Show(session_.Analyzer());
    DrawHistogram();
}

void ChartViews::Place()
{
    TwipsGeometry& g = geometry_;
    g.Place(ToggleButton1, 7500, 60, 1755, 315);
    // The max/min box and the option column take the full column width, so codes of any
    // size and the option texts are not clipped.
    g.Place(picMaxMinBox, 7500, 420, 1755, 435);
    g.Place(cboDisplayMode, 7560, 1560, 1335, 315);
    g.Place(chkVGrid, 7560, 1980, 1755, 240);
    g.Place(chkHGrid, 7560, 2220, 1755, 240);
    g.Place(chkHoldZoom, 7560, 2460, 1755, 240);
    g.Place(chkTickPoints, 7560, 2700, 1755, 240);
    g.Place(chkZoomHandles, 7560, 2940, 1755, 240);
    g.Place(lblCursorInfo, 7500, 3660, 1755, 435);
    g.Place(stripDSO, 60, 1560, 7395, 2535);
    g.Place(StripFFT, 120, 4080, 7335, 2295);
    g.Place(VEXMFFTControl1, 7500, 4140, 1755, 2235);
    g.Place(VEXMHistogram1, 360, 6480, 9135, 1515);
}

void ChartViews::PlaceHistogramUnderSpectrum()
{
    geometry_.SetTop(VEXMHistogram1, geometry_.Top(StripFFT));
    geometry_.SetLeft(VEXMHistogram1, geometry_.Left(StripFFT));
}

void ChartViews::Fit(double w, double h, double chartsTop)
{
    TwipsGeometry& g = geometry_;
    g.SetWidth(StripFFT, w - g.Width(VEXMFFTControl1) - 240);
    g.SetWidth(stripDSO, g.Width(StripFFT));
    g.SetLeft(chkVGrid, g.Left(stripDSO) + g.Width(stripDSO) + 60);
    for (QWidget* c : std::initializer_list<QWidget*>{chkHGrid, chkZoomHandles, chkTickPoints, chkHoldZoom, cboDisplayMode})
        g.SetLeft(c, g.Left(chkVGrid));
    g.SetLeft(VEXMFFTControl1, g.Left(StripFFT) + g.Width(StripFFT) + 60);
    g.SetLeft(VEXMHistogram1, g.Left(StripFFT));
    g.SetWidth(VEXMHistogram1, w - 180);
    g.SetLeft(lblCursorInfo, g.Left(VEXMFFTControl1));
    g.SetWidth(lblCursorInfo, g.Width(VEXMFFTControl1));
    g.SetHeight(stripDSO, (h - chartsTop) / 2 - 420);
    g.SetTop(StripFFT, g.Top(stripDSO) + g.Height(stripDSO) + 60);
    g.SetHeight(StripFFT, g.Height(stripDSO));
    g.SetTop(VEXMFFTControl1, g.Top(StripFFT));
    g.SetHeight(VEXMFFTControl1, g.Height(StripFFT));
    g.SetHeight(VEXMHistogram1, g.Height(StripFFT));
    g.SetTop(VEXMHistogram1, g.Top(StripFFT));
    g.SetTop(lblCursorInfo, g.Top(StripFFT) - g.Height(lblCursorInfo) - 60);
    if (ctx.CurrentSettings.DataLoaded == True)
        ShowHistogram();
}

void ChartViews::ConnectHandlers()
{
    connect(cboDisplayMode, &QComboBox::currentIndexChanged, this, &ChartViews::DisplayModeChosen);
    // Programmatic changes run the handlers as well, as the board reset relies on.
    connect(chkHoldZoom, &QCheckBox::toggled, this, [this] { holdZoom_ = chkHoldZoom->isChecked(); });
    connect(chkHGrid, &QCheckBox::toggled, this, &ChartViews::GridChosen);
    connect(chkVGrid, &QCheckBox::toggled, this, &ChartViews::GridChosen);
    connect(chkTickPoints, &QCheckBox::toggled, this, &ChartViews::TickPointsChosen);
    connect(chkZoomHandles, &QCheckBox::toggled, this, &ChartViews::ZoomHandlesChosen);
    connect(ToggleButton1, &ToggleButton::Click, this, &ChartViews::ToggleButton1_Click);
    connect(VEXMFFTControl1, &FFTControl::BHWindow, this, [this] {
        session_.Analyzer().SetWindow(VEXMFFTControl1->Window());
        VEXMFFTControl1_BHWindow();
    });
    connect(VEXMFFTControl1, &FFTControl::SettingsChosen, this, &ChartViews::ApplyAnalysisSettings);
    connect(VEXMFFTControl1, &FFTControl::RestartAveraging, this, [this] {
        session_.Analyzer().Restart();
        VEXMFFTControl1->Show(session_.Analyzer(), analysisFrequency_);
    });
    connect(VEXMHistogram1, &HistogramControl::Restart, this, [this] {
        session_.RestartHistogram();
        DrawHistogram();
    });
    VEXMFFTControl1->AttachChart(StripFFT);   // harmonic markers on the spectrum
    connect(stripDSO, &StripChart::CursorChange, this, &ChartViews::stripDSO_CursorChange);
    connect(StripFFT, &StripChart::CursorChange, this, &ChartViews::StripFFT_CursorChange);
    for (StripChart* chart : {stripDSO, StripFFT}) {
        connect(chart, &StripChart::MouseUp, this, [this] { lblCursorInfo->setVisible(false); });
        connect(chart, &StripChart::ZoomChanged, this, &ChartViews::ShowZoomHint);
    }
    connect(cmdFullView, &QPushButton::clicked, this, [this] {
        stripDSO->FullView();
        StripFFT->FullView();
    });
}

void ChartViews::UseSettingsStore(QSettings& store)
{
    store_ = &store;
    AnalysisSettings::Load(store).ApplyTo(session_.Analyzer());
    VEXMFFTControl1->Show(session_.Analyzer(), analysisFrequency_);
}

void ChartViews::ApplyAnalysisSettings(const AnalysisSettings& chosen)
{
    SpectrumAnalyzer& analyzer = session_.Analyzer();
    const bool newWindow = chosen.metrics.window != analyzer.Window();
    chosen.ApplyTo(analyzer);
    if (store_)
        chosen.Save(*store_);
    analyzer.Reanalyse();
    VEXMFFTControl1->Show(analyzer, analysisFrequency_);
    if (newWindow)
        VEXMFFTControl1_BHWindow();
}

void ChartViews::ShowNewestBlock()
{
    const std::int32_t n = ctx.BlockLength();
    const bool volts = cboDisplayMode->currentIndex() == 1;
    const std::vector<double>& shown = volts ? ctx.SampleVolts : ctx.SampleCodes;
    RunStep([&] { PlotWaveform(shown, ToInt16(n)); });
    RunStep([&] { ShowWaveformRange(shown); });
    RunStep([&] { ShowSpectrumAnalysis(ctx.CurrentSettings.SampleFreq); });
    RunStep([&] { PlotSpectrum(ctx.Spectrum, ToInt16(n / 2)); });
    RunStep([&] { ShowHistogram(); });
}

void ChartViews::ShowSpectrumAnalysis(std::optional<std::int32_t> sampleFrequency)
{
    analysisFrequency_ = sampleFrequency;
    VEXMFFTControl1->Show(session_.Analyzer(), sampleFrequency);
}

void ChartViews::ShowHistogram()
{
    // A hidden histogram is drawn when it is shown again.
    if (VEXMHistogram1->isHidden())
        histogramStale_ = true;
    else
        DrawHistogram();
}

void ChartViews::DrawHistogram()
{
    histogramStale_ = false;
    const CodeHistogramAccumulator& sum = session_.Histogram();
    VEXMHistogram1->Show(sum.Histogram(), sum.Blocks(), session_.Linearity());
}

void ChartViews::PlotWaveform(const std::vector<double>& data, std::int16_t count, std::optional<double> top,
                              std::optional<double> bottom)
{
    if (data.empty())
        throw EvalError(9, QStringLiteral("PlotWaveform"), QStringLiteral("Subscript out of range"));
    if (spansChanged_)
        ResetChartSpans();
    stripDSO->ClearTrace();
    stripDSO->SetPointCapacity(ToInt16(count + 10));
    if (!holdZoom_) {
        stripDSO->SetXViewEnd(count - 1);
        stripDSO->SetRightHandle(count - 1);
        stripDSO->SetXSpan(count);
        if (top)
            stripDSO->SetTopLimit(*top);
        if (bottom)
            stripDSO->SetBottomLimit(*bottom);
    }
    stripDSO->LoadTrace(0, data);
    ctx.CurrentSettings.DataLoaded = True;
}

void ChartViews::PlotSpectrum(const std::vector<double>& spectrum, std::int16_t count)
{
    StripFFT->ClearTrace();
    StripFFT->SetPointCapacity(ToInt16(count + 10));
    if (!holdZoom_) {
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

void ChartViews::ShowWaveformRange(const std::vector<double>& data)
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

void ChartViews::ShowSpectrumRange(const std::vector<double>& spectrum)
{
    const double maximum = SpectrumTop(spectrum);
    if (!chkHoldZoom->isChecked()) {
        StripFFT->SetTopLimit(maximum);
        StripFFT->SetBottomLimit(std::int16_t(-120));
        StripFFT->SetTopHandle(maximum);
    }
}

void ChartViews::ResetChartSpans()
{
    const std::int32_t n = ctx.BlockLength();
    stripDSO->SetXViewEnd(n - 1);
    stripDSO->SetRightHandle(n - 1);
    stripDSO->SetXSpan(n);
    stripDSO->ClearTrace();
    StripFFT->SetXViewEnd(n / 2 - 1);
    StripFFT->SetRightHandle(n - 1);
    StripFFT->SetXSpan(n);
    spansChanged_ = false;
}

void ChartViews::ShowMaxMin(double maximum, double minimum)
{
    lblMax->setText(FormatFixed(maximum, 4));
    lblMin->setText(FormatFixed(minimum, 4));
    // Values of any size stay whole: the box widens to the right, where the top row has
    // room, and never gets narrower than drawn.
    const int width = std::max(geometry_.ToPixelsX(geometry_.Width(picMaxMinBox)), picMaxMinBox->sizeHint().width());
    picMaxMinBox->resize(width, picMaxMinBox->height());
}

void ChartViews::SetBlockOptionsEnabled(bool enabled)
{
    cboDisplayMode->setEnabled(enabled);
    chkHoldZoom->setEnabled(enabled);
}

void ChartViews::SetDisplayModeEnabled(bool enabled) { cboDisplayMode->setEnabled(enabled); }

// Selecting a different item runs the display-mode handler, as a user's choice does.
void ChartViews::SelectCodes() { cboDisplayMode->setCurrentIndex(0); }

void ChartViews::BoardReset()
{
    SetBlockOptionsEnabled(false);
    chkHoldZoom->setChecked(false);
    holdZoom_ = false;
}

void ChartViews::BlockLengthChanged()
{
    spansChanged_ = true;
    chkHoldZoom->setChecked(false);
    holdZoom_ = false;
}

QWidget* ChartViews::WaveformChart() const { return stripDSO; }
QWidget* ChartViews::SpectrumChart() const { return StripFFT; }

QWidget* ChartViews::HistogramChart()
{
    if (histogramStale_)
        DrawHistogram();
    return VEXMHistogram1;
}

QString ChartViews::MetricsTable() const { return VEXMFFTControl1->findChild<ReadoutGrid*>()->TabSeparated(); }

void ChartViews::DisplayModeChosen()
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

void ChartViews::GridChosen()
{
    stripDSO->SetGridLines((chkHGrid->isChecked() ? 1 : 0) | (chkVGrid->isChecked() ? 2 : 0)
                           | (stripDSO->GridLines() & 12));
}

void ChartViews::TickPointsChosen()
{
    const int on = chkTickPoints->isChecked() ? 1 : 0;
    stripDSO->SetTickPoints(on);
    StripFFT->SetTickPoints(on);
}

void ChartViews::ZoomHandlesChosen()
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

void ChartViews::ShowZoomHint()
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

void ChartViews::ToggleButton1_Click()
{
    const bool histogram = ToggleButton1->ShowHistogram();
    VEXMHistogram1->setVisible(histogram);
    StripFFT->setVisible(!histogram);
    VEXMFFTControl1->setVisible(!histogram);
    if (histogram && histogramStale_)
        DrawHistogram();
}

void ChartViews::VEXMFFTControl1_BHWindow()
{
    if (ctx.CurrentSettings.DataLoaded != True)
        return;
    RunStep([&] {
        try {
            session_.ComputeSpectrum();
        } catch (...) {
            session_.Analyzer().Fail("FFT failed");
            ShowSpectrumAnalysis(ctx.CurrentSettings.SampleFreq);
            throw;
        }
        ShowSpectrumAnalysis(ctx.CurrentSettings.SampleFreq);
    });
    RunStep([&] { PlotSpectrum(ctx.Spectrum, ToInt16(double(ctx.Spectrum.size()))); });
}

// Once data exists, shows the read-out label and the caption the lookup builds; a
// position outside the buffer leaves the caption as it was.
void ChartViews::ShowCursorInfo(const std::function<QString()>& caption)
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

void ChartViews::stripDSO_CursorChange(double x)
{
    ShowCursorInfo([&] {
        const QString sample = QStringLiteral("Sample:") + PlainNumber(x) + QStringLiteral("\rValue:");
        if (cboDisplayMode->currentIndex() == 1)
            return sample + FormatFixed(ElementAt(ctx.SampleVolts, x), 6) + QStringLiteral("V");
        return sample + PlainNumber(ElementAt(ctx.SampleCodes, x));
    });
}

void ChartViews::StripFFT_CursorChange(double x)
{
    ShowCursorInfo([&] {
        const double n = 2.0 * double(ctx.Spectrum.size());   // the spectrum's own block length
        const double f = x > 1 ? ctx.CurrentSettings.SampleFreq / (n / (x - 1)) : 0.0;
        return QStringLiteral("Freq:") + FormatFixed(f, 2) + QStringLiteral("Hz\rValue:")
               + FormatFixed(ElementAt(ctx.Spectrum, x), 2) + QStringLiteral("dB");
    });
}
