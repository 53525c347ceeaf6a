#pragma once

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
    void BuildHistogram(const std::vector<double>& codes, std::int16_t bits);

private:
    struct Impl;
    Impl* d;
};
