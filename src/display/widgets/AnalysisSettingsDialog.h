#pragma once

#include "engine/AnalysisSettings.h"

#include <QDialog>
#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QSettings;
class QSpinBox;

// The analysis settings the FFT panel has no room for: window, highest harmonic, DC bins
// left out, averaging count, and the coherent-frequency helper for the current sample
// rate and block length.
class AnalysisSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // fs and n: the last block's sample rate (if known) and length, for the helper.
    AnalysisSettingsDialog(const AnalysisSettings& settings, std::optional<std::int32_t> fs, std::size_t n,
                           QWidget* parent = nullptr);

    AnalysisSettings Settings() const;

private:
    void ShowCoherentFrequencies();

    QComboBox* window_;
    QSpinBox *harmonics_, *dcBins_, *averaging_;
    QLineEdit* wanted_;
    QLineEdit* coherent_;
    std::optional<std::int32_t> fs_;
    std::size_t n_;
};
