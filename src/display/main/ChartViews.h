#pragma once

#include "display/main/TwipsGeometry.h"
#include "engine/AnalysisSettings.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class BoardSession;
class EvalContext;
class FFTControl;
class HistogramControl;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMainWindow;
class QPushButton;
class QSettings;
class QWidget;
class StripChart;
class ToggleButton;

// The window's views of the session's results: the waveform and spectrum charts, the
// FFT panel and the code histogram, the max/min box, the chart options, the cursor
// read-out and the zoom hint in the status bar. It draws what the session holds and puts
// the analysis choices made on the FFT panel in force on the session's analyzer.
class ChartViews : public QObject {
    Q_OBJECT
public:
    ChartViews(EvalContext& ctx, BoardSession& session, TwipsGeometry& geometry, QMainWindow& window);
    // The controls, made in the window's central area and status bar.
    void CreateControls(QMainWindow& window);

    // The design-time places, and the charts fitted to the window's outer size in twips
    // (the status bar left out) below the row that ends at chartsTop.
    void Place();
    void Fit(double widthTwips, double heightTwips, double chartsTop);
    void PlaceHistogramUnderSpectrum();
    // Analysis settings are read from the store now and written to it when the user
    // changes them.
    void UseSettingsStore(QSettings& store);

    // The newest block of an acquisition: waveform (codes or volts), its range, the FFT
    // panel, the spectrum and the histogram.
    void ShowNewestBlock();
    // A waveform drawn with count points; top and bottom set the axis unless zoom is held.
    void PlotWaveform(const std::vector<double>& data, std::int16_t count,
                      std::optional<double> top = std::nullopt, std::optional<double> bottom = std::nullopt);
    void PlotSpectrum(const std::vector<double>& spectrum, std::int16_t count);
    void ShowWaveformRange(const std::vector<double>& data);
    void ShowMaxMin(double maximum, double minimum);
    // The FFT panel shows the session's spectrum analysis (frequencies in hertz with a
    // sample frequency, else in bins); the histogram its summed code histogram, at once or,
    // while hidden, when it is shown again.
    void ShowSpectrumAnalysis(std::optional<std::int32_t> sampleFrequency);
    void ShowHistogram();

    // The display-mode box and Hold Zoom, which need a block.
    void SetBlockOptionsEnabled(bool enabled);
    void SetDisplayModeEnabled(bool enabled);
    // Shows codes again, as the user's choice in the box would.
    void SelectCodes();
    // The board is being reset: no block options, zoom no longer held.
    void BoardReset();
    // The block length changed: the spans start afresh with the next block.
    void BlockLengthChanged();

    // For chart export and the metrics copy.
    QWidget* WaveformChart() const;
    QWidget* SpectrumChart() const;
    QWidget* HistogramChart();   // brought up to date first
    QString MetricsTable() const;
    // The caption of the cursor read-out with its lines separated by a carriage return.
    QString CursorInfoCaption() const { return cursorInfoCaption_; }

private:
    void ConnectHandlers();
    void ResetChartSpans();
    void ShowSpectrumRange(const std::vector<double>& spectrum);
    void DrawHistogram();
    void ApplyAnalysisSettings(const AnalysisSettings& chosen);

    // What the user does with the views.
    void DisplayModeChosen();
    void ToggleButton1_Click();
    void VEXMFFTControl1_BHWindow();
    void GridChosen();
    void TickPointsChosen();
    void ZoomHandlesChosen();
    void ShowZoomHint();
    void ShowCursorInfo(const std::function<QString()>& caption);
    void stripDSO_CursorChange(double x);
    void StripFFT_CursorChange(double x);

    EvalContext& ctx;
    BoardSession& session_;
    TwipsGeometry& geometry_;
    QSettings* store_ = nullptr;
    StripChart *stripDSO = nullptr, *StripFFT = nullptr;
    FFTControl* VEXMFFTControl1 = nullptr;
    HistogramControl* VEXMHistogram1 = nullptr;
    ToggleButton* ToggleButton1 = nullptr;
    QFrame* picMaxMinBox = nullptr;
    QLabel *lblMax = nullptr, *lblMin = nullptr, *lblCursorInfo = nullptr, *lblZoomHint = nullptr;
    QComboBox* cboDisplayMode = nullptr;
    QCheckBox *chkVGrid = nullptr, *chkHGrid = nullptr, *chkHoldZoom = nullptr, *chkTickPoints = nullptr,
              *chkZoomHandles = nullptr;
    QPushButton* cmdFullView = nullptr;
    bool holdZoom_ = false;       // the chart spans stay as the user zoomed them
    bool spansChanged_ = false;   // the block length changed: the spans start afresh
    bool histogramStale_ = false; // blocks summed while the histogram was hidden
    std::optional<std::int32_t> analysisFrequency_;   // of the analysis shown last
    QString cursorInfoCaption_;
};
