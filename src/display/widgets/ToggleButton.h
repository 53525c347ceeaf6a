#pragma once

#include <QPushButton>

// Two-state button: on shows "Histogram Mode", off shows "FFT Mode".
class ToggleButton : public QPushButton {
    Q_OBJECT
public:
    explicit ToggleButton(QWidget* parent = nullptr);
    bool ShowHistogram() const;
    void SetShowHistogram(bool on);

signals:
    void Click();
};
