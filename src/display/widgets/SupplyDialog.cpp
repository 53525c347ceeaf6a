#include "SupplyDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace LatchBit {
constexpr int MemoryPage0 = 0, MemoryPage1 = 1, BusSwitches = 2, AvddOn = 3, Avdd3V3 = 4,
              HiSupply = 5, DvddOn = 6, Dvdd3V3 = 7;
}

SupplyDialog::SupplyDialog(int latchValue, QWidget* parent)
    : QDialog(parent), upperBits_(latchValue & ~0xFF)
{
    setWindowTitle(tr("Supply Settings"));
    auto* grid = new QGridLayout(this);

    auto addBox = [&](int bit, const QString& text, const char* name, int row, int column) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(QLatin1String(name));
        box->setChecked(latchValue & (1 << bit));
        connect(box, &QCheckBox::toggled, this, &SupplyDialog::ShowValue);
        grid->addWidget(box, row, column);
        bitBoxes_[bit] = box;
    };
    auto addVoltage = [&](int bit, const char* name, int row) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QLatin1String(name));
        combo->addItems({QStringLiteral("5 V"), QStringLiteral("3.3 V")});
        combo->setCurrentIndex(latchValue & (1 << bit) ? 1 : 0);
        connect(combo, &QComboBox::currentIndexChanged, this, &SupplyDialog::ShowValue);
        grid->addWidget(combo, row, 2);
        return combo;
    };

    grid->addWidget(new QLabel(tr("Analog supply AVDD"), this), 0, 0);
    addBox(LatchBit::AvddOn, tr("On"), "chkAvddOn", 0, 1);
    avddVoltage_ = addVoltage(LatchBit::Avdd3V3, "cboAvddVoltage", 0);

    grid->addWidget(new QLabel(tr("Digital supply DVDD"), this), 1, 0);
    addBox(LatchBit::DvddOn, tr("On"), "chkDvddOn", 1, 1);
    dvddVoltage_ = addVoltage(LatchBit::Dvdd3V3, "cboDvddVoltage", 1);

    grid->addWidget(new QLabel(tr("+/-15 V supplies"), this), 2, 0);
    addBox(LatchBit::HiSupply, tr("On"), "chkHiSupply", 2, 1);

    grid->addWidget(new QLabel(tr("Bus switches (QuickSwitches)"), this), 3, 0);
    addBox(LatchBit::BusSwitches, tr("Enabled"), "chkBusSwitches", 3, 1);

    grid->addWidget(new QLabel(tr("Memory page"), this), 4, 0);
    addBox(LatchBit::MemoryPage0, tr("Bit 0"), "chkMemoryPage0", 4, 1);
    addBox(LatchBit::MemoryPage1, tr("Bit 1"), "chkMemoryPage1", 4, 2);

    value_ = new QLabel(this);
    value_->setObjectName(QStringLiteral("lblLatchValue"));
    grid->addWidget(value_, 5, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 6, 0, 1, 3);
    ShowValue();
}

int SupplyDialog::LatchValue() const
{
    int byte = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (bitBoxes_[bit] && bitBoxes_[bit]->isChecked())
            byte |= 1 << bit;
    if (avddVoltage_->currentIndex() == 1)
        byte |= 1 << LatchBit::Avdd3V3;
    if (dvddVoltage_->currentIndex() == 1)
        byte |= 1 << LatchBit::Dvdd3V3;
    return upperBits_ | byte;
}

void SupplyDialog::ShowValue()
{
    const QString hex = QString::number(LatchValue() & 0xFF, 16).toUpper();
    value_->setText(tr("Latch byte: 0x%1").arg(hex.rightJustified(2, QLatin1Char('0'))));
}
