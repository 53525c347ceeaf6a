#pragma once

#include "analysis/DynamicMetrics.h"
#include "analysis/Window.h"
#include "engine/AnalysisSettings.h"

#include <QWidget>
#include <cstdint>
#include <optional>

class SpectrumAnalyzer;
class StripChart;

// The FFT panel: a view of the engine's spectrum analysis. It shows the dynamic metrics of
// the (averaged) spectrum it is given, marks the fundamental, the harmonics and the worst
// spur on its chart, and offers the window on the panel and the rest of the analysis
// settings in a dialog; what the user chooses there is told to the owner, who puts it in
// force and shows the new result. A metric that cannot be trusted shows as a grey dash
// with the reason as its tooltip.
class FFTControl : public QWidget {
    Q_OBJECT
public:
    explicit FFTControl(QWidget* parent = nullptr);
    ~FFTControl() override;

    // Shows the analysis: its metrics and marks, how many blocks it averaged, and its
    // settings as what the panel and the dialog start from. Frequencies read in hertz with
    // a sample frequency, else in bins.
    void Show(const SpectrumAnalyzer& analysis, std::optional<std::int32_t> sampleFrequency = std::nullopt);
    // The choices shown on the panel and offered by the dialog; setting them raises nothing.
    void ShowSettings(const AnalysisSettings& settings);

    // The window chosen on the panel.
    WindowKind Window() const;
    // The dynamic metrics shown last.
    const DynamicMetrics& Metrics() const;

    // The chart the spectrum is drawn on: each analysis shown marks it.
    void AttachChart(StripChart* chart);
    void ShowSettingsDialog();

signals:
    // The user chose another window on the panel (read it from Window()).
    void BHWindow();
    // The user accepted the settings dialog.
    void SettingsChosen(const AnalysisSettings& settings);
    // The user asked for the spectrum average to start again.
    void RestartAveraging();

private:
    struct Impl;
    Impl* d;
};
