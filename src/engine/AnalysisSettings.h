#pragma once

#include "analysis/DynamicMetrics.h"

class QSettings;
class SpectrumAnalyzer;

// The analysis choices a user makes: window, highest harmonic, DC bins left out and the
// averaging count. The window keeps them between runs; the analyzer works with them.
struct AnalysisSettings {
    MetricSettings metrics;
    int averaging = 1;

    // Kept in the settings store under a section of their own ("Analysis"); a missing or
    // unusable value takes its default.
    static AnalysisSettings Load(QSettings& store);
    void Save(QSettings& store) const;

    // What the analyzer works with now.
    static AnalysisSettings Of(const SpectrumAnalyzer& analyzer);
    // Puts the choices in force; a new averaging count or window starts the average again.
    void ApplyTo(SpectrumAnalyzer& analyzer) const;
};
