#include "SupplyButton.h"

#include "SupplyDialog.h"

SupplyButton::SupplyButton(QWidget* parent) : QPushButton(tr("Supply Settings..."), parent)
{
    // Nothing to edit until a configuration has been loaded.
    SetSupplyEnabled(false);
    connect(this, &QPushButton::clicked, this, &SupplyButton::EditInDialog);
}

int SupplyButton::SupplyLatchValue() const
{
    return latchValue_;
}

void SupplyButton::SetSupplyLatchValue(int value)
{
    latchValue_ = value;
    setToolTip(tr("Latch byte 0x%1").arg(QString::number(value & 0xFF, 16).toUpper()));
}

bool SupplyButton::SupplyEnabled() const
{
    return isEnabled();
}

void SupplyButton::SetSupplyEnabled(bool on)
{
    setEnabled(on);
}

void SupplyButton::EditInDialog()
{
    SupplyDialog dialog(latchValue_, this);
    if (dialog.exec() != QDialog::Accepted || dialog.LatchValue() == latchValue_)
        return;
    SetSupplyLatchValue(dialog.LatchValue());
    emit Click();
}
