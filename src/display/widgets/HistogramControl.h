#pragma once

#include "analysis/CodeHistogram.h"
#include "analysis/SineCodeDensity.h"

#include <QWidget>
#include <cstdint>
#include <vector>

// Code histogram over the full code range of a resolution, summed over the blocks it is
// given until restarted, with the sine-histogram DNL/INL once every code in range can
// expect enough hits.
class HistogramControl : public QWidget {
    Q_OBJECT
public:
    explicit HistogramControl(QWidget* parent = nullptr);
    ~HistogramControl() override;

    // Adds the block to the sum and draws; negative codes (two's complement) count over
    // -2^(b-1)..2^(b-1)-1. Codes outside the range are counted as out of range, not
    // clamped. A block of another resolution or code format starts a new sum.
    void BuildHistogram(const std::vector<double>& codes, std::int16_t bits);
    // Sums into the given accumulator from now on (the acquisition engine's, so the window
    // and the engine share one histogram); it must outlive the control.
    void AttachAccumulator(CodeHistogramAccumulator& sum);
    // Shows the attached accumulator's sum after the engine added blocks to it (at once,
    // or when the control is shown again).
    void ShowSum();
    // Empties the sum; the next block starts it again.
    void Restart();

    // What the plot shows: the counts, or the sine code-density DNL or INL per code.
    enum class View { Counts, Dnl, Inl };
    void SetView(View view);

    const CodeHistogram& Histogram() const;
    int Blocks() const;
    // Valid only when the sum looks like a sine; shown once it has enough hits.
    const SineLinearity& Linearity() const;

    // While the owner keeps the control hidden, blocks are summed but the linearity, the
    // read-out and the plot wait until it is shown again.
    void setVisible(bool visible) override;
    // Analyses and draws what was summed while hidden (before the chart is exported).
    void BringUpToDate();

private:
    bool HeldBack() const;

    struct Impl;
    Impl* d;
};
