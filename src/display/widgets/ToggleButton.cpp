#include "ToggleButton.h"

ToggleButton::ToggleButton(QWidget* parent) : QPushButton(parent)
{
    setCheckable(true);
    SetShowHistogram(false);
    connect(this, &QPushButton::clicked, this, [this](bool on) {
        SetShowHistogram(on);
        emit Click();
    });
}

bool ToggleButton::ShowHistogram() const
{
    return isChecked();
}

void ToggleButton::SetShowHistogram(bool on)
{
    setChecked(on);
    setText(on ? QStringLiteral("Histogram Mode") : QStringLiteral("FFT Mode"));
}
