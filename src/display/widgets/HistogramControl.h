#pragma once

#include "analysis/CodeHistogram.h"
#include "analysis/SineCodeDensity.h"

#include <QWidget>
#include <cstdint>
#include <vector>

// Code histogram over the full code range of a resolution, with the code-density
// DNL/INL estimate for a sine input.
class HistogramControl : public QWidget {
    Q_OBJECT
public:
    explicit HistogramControl(QWidget* parent = nullptr);
    ~HistogramControl() override;

    // Counts and draws; negative codes (two's complement) count over -2^(b-1)..2^(b-1)-1.
    // Codes outside the range are counted as out of range, not clamped.
    void BuildHistogram(const std::vector<double>& codes, std::int16_t bits);

    // What the plot shows: the counts, or the sine code-density DNL or INL per code.
    enum class View { Counts, Dnl, Inl };
    void SetView(View view);

    const CodeHistogram& Histogram() const;
    // Valid only when the last block looked like a sine.
    const SineLinearity& Linearity() const;

private:
    struct Impl;
    Impl* d;
};
