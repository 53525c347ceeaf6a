#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;

// Edits the eight functions of the board's latch byte by name. The two supply voltages
// are a choice of "5 V" or "3.3 V" (their bits are active low: set means 3.3 V).
class SupplyDialog : public QDialog {
    Q_OBJECT
public:
    explicit SupplyDialog(int latchValue, QWidget* parent = nullptr);

    // The edited byte; bits above the byte are kept as they came in.
    int LatchValue() const;

private:
    void ShowValue();

    int upperBits_;
    QCheckBox* bitBoxes_[8] = {};   // the on/off functions, by bit; null for the voltages
    QComboBox* avddVoltage_ = nullptr;
    QComboBox* dvddVoltage_ = nullptr;
    QLabel* value_ = nullptr;
};
