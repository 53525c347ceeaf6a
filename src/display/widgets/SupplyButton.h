#pragma once

#include <QPushButton>

// Supply-settings button: holds the latch byte and opens a small dialog in which the
// user switches the eight latch functions by name; raises Click after a change.
class SupplyButton : public QPushButton {
    Q_OBJECT
public:
    explicit SupplyButton(QWidget* parent = nullptr);
    int SupplyLatchValue() const;
    void SetSupplyLatchValue(int value);
    bool SupplyEnabled() const;
    void SetSupplyEnabled(bool on);

signals:
    void Click();

private:
    void EditInDialog();

    int latchValue_ = 0;
};
