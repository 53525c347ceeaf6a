#pragma once

#include "analysis/DynamicMetrics.h"
#include "analysis/Window.h"

class SpectrumAnalyzer;

#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

// The FFT control: computes a windowed spectrum in dBFS with FFTW, offers the window on
// its own panel and shows the converter's dynamic metrics of the last spectrum.
class FFTControl : public QWidget {
    Q_OBJECT
public:
    explicit FFTControl(QWidget* parent = nullptr);
    ~FFTControl() override;

    // Fills output with N/2 bins in dB (dBFS); bin k stands for k * fs / N.
    void ComputeSpectrum(const std::vector<double>& input, std::vector<double>& output,
                         std::optional<std::int32_t> sampleFrequency = std::nullopt);
    // Analyses with the given analyzer from now on (one owned by the acquisition engine,
    // so the window and the engine share one spectrum); it must outlive the control.
    void AttachAnalyzer(SpectrumAnalyzer& analyzer);
    // Full scale comes from the converter's resolution, told when a configuration loads.
    void SetResolution(int bits);

    // The window in use (4-term Blackman-Harris at start); set from code it raises no
    // BHWindow.
    WindowKind Window() const;
    void SetWindow(WindowKind kind);
    // The dynamic metrics of the last spectrum.
    const DynamicMetrics& Metrics() const;

signals:
    void BHWindow();

private:
    struct Impl;
    Impl* d;
};
