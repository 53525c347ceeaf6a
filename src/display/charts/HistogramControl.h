#pragma once

#include "analysis/CodeHistogram.h"
#include "analysis/SineCodeDensity.h"

#include <QWidget>
#include <cstdint>
#include <vector>

// A view of a code histogram summed over blocks: the counts over the full code range of
// the resolution, and the sine-histogram DNL/INL once every code in range could expect
// enough hits. It keeps what it was shown last, to draw it again in another view.
class HistogramControl : public QWidget {
    Q_OBJECT
public:
    explicit HistogramControl(QWidget* parent = nullptr);
    ~HistogramControl() override;

    // Shows a sum of blocks and its sine linearity.
    void Show(const CodeHistogram& histogram, int blocks, const SineLinearity& linearity);

    // What the plot shows: the counts, or the sine code-density DNL or INL per code.
    enum class View { Counts, Dnl, Inl };
    void SetView(View view);

    // What is shown.
    const CodeHistogram& Histogram() const;
    int Blocks() const;
    const SineLinearity& Linearity() const;

signals:
    // The user asked for the sum to be emptied.
    void Restart();

private:
    struct Impl;
    Impl* d;
};
