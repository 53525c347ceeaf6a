#pragma once

#include "analysis/DynamicMetrics.h"
#include "analysis/Window.h"

class SpectrumAnalyzer;

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

class QSettings;
class SpectrumAnalyzer;
class StripChart;

// The FFT control: computes a windowed spectrum in dBFS with FFTW, power-averaged over
// the blocks chosen in its settings, offers the window on its own panel (and the rest of
// the analysis settings in a dialog) and shows the converter's dynamic metrics of the
// averaged spectrum. A metric that cannot be trusted shows as a grey dash with the reason
// as its tooltip.
class FFTControl : public QWidget {
    Q_OBJECT
public:
    explicit FFTControl(QWidget* parent = nullptr);
    ~FFTControl() override;

    // Adds the block to the average and fills output with its N/2 bins in dB (dBFS);
    // bin k stands for k * fs / N. If the transform fails, the metrics read "FFT failed"
    // before the failure goes on to the caller.
    void ComputeSpectrum(const std::vector<double>& input, std::vector<double>& output,
                         std::optional<std::int32_t> sampleFrequency = std::nullopt);
    // Shows the attached analyzer's last result (its metrics, and its marks on the chart)
    // without analysing anything: the engine analysed the block.
    void ShowAnalysis(std::optional<std::int32_t> sampleFrequency = std::nullopt);
    // Analyses with the given analyzer from now on (one owned by the acquisition engine,
    // so the window and the engine share one spectrum); it must outlive the control.
    void AttachAnalyzer(SpectrumAnalyzer& analyzer);
    // Full scale comes from the converter's resolution, told when a configuration loads.
    void SetResolution(int bits);

    // The window in use (4-term Blackman-Harris at start); set from code it raises no
    // BHWindow.
    WindowKind Window() const;
    void SetWindow(WindowKind kind);
    void SetAveraging(int blocks);
    void RestartAveraging();
    // The dynamic metrics of the last (averaged) spectrum.
    const DynamicMetrics& Metrics() const;
    const SpectrumAnalyzer& Analyzer() const;

    // The chart the spectrum is drawn on: each analysis marks the fundamental, the
    // harmonics and the worst spur on it.
    void AttachChart(StripChart* chart);
    // Where the analysis settings are kept: read now, written when the dialog is accepted.
    void UseSettingsStore(QSettings* store);
    void ShowSettingsDialog();

signals:
    void BHWindow();

private:
    struct Impl;
    Impl* d;
};
