#include "display/widgets/SupplyButton.h"
#include "display/widgets/SupplyDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

template <typename W>
W* Find(SupplyDialog& d, const char* name)
{
    W* w = d.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Boxes to tick (1) or clear (0) and voltage lists to set to an index, in order.
using Edits = std::vector<std::pair<const char*, int>>;

// Clicks the button and, once its dialog is up, edits it and closes it. Returns whether
// a dialog appeared.
bool EditInDialog(SupplyButton& button, const Edits& edits, bool accept)
{
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<SupplyDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        opened = true;
        for (const auto& [name, value] : edits) {
            if (QByteArray(name).startsWith("chk"))
                Find<QCheckBox>(*dialog, name)->setChecked(value != 0);
            else
                Find<QComboBox>(*dialog, name)->setCurrentIndex(value);
        }
        accept ? dialog->accept() : dialog->reject();
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QApplication::processEvents();
    return opened;
}

TEST(SupplyButton, DialogShowsTheLatchByte)
{
    SupplyDialog dialog(0x90);   // the start-up latch: both voltage bits set, all off
    EXPECT_EQ(Find<QComboBox>(dialog, "cboAvddVoltage")->currentText(), "3.3 V");
    EXPECT_EQ(Find<QLabel>(dialog, "lblLatchValue")->text(), "Latch byte: 0x90");
    Find<QComboBox>(dialog, "cboDvddVoltage")->setCurrentIndex(0);   // 5 V clears bit 7
    EXPECT_EQ(Find<QLabel>(dialog, "lblLatchValue")->text(), "Latch byte: 0x10");
}

TEST(SupplyButton, ClickOnceEnabledFollowsAChangedByteOnly)
{
    struct Case { const char* what; int start; Edits edits; bool accept; int expected; };
    const Case cases[] = {
        {"AVDD on at 5 V, +/-15 V on", 0x90, {{"chkAvddOn", 1}, {"cboAvddVoltage", 0}, {"chkHiSupply", 1}}, true, 0xA8},
        {"DVDD on", 0x00, {{"chkDvddOn", 1}}, true, 0x40},
        {"bus switches", 0x00, {{"chkBusSwitches", 1}}, true, 0x04},
        {"memory pages", 0x00, {{"chkMemoryPage0", 1}, {"chkMemoryPage1", 1}}, true, 0x03},
        {"bits above the byte stay", 0x1FF, {{"chkMemoryPage0", 0}}, true, 0x1FE},
        {"cancelled", 0x90, {{"chkDvddOn", 1}}, false, 0x90},
        {"accepted unchanged", 0x90, {}, true, 0x90},
        {"changed and changed back", 0x90, {{"chkHiSupply", 1}, {"chkHiSupply", 0}}, true, 0x90},
    };
    {
        SupplyButton shut;   // until enabled
        EXPECT_TRUE(shut.text().startsWith("Supply Settings"));
        EXPECT_FALSE(EditInDialog(shut, {}, true));
    }
    for (const Case& c : cases) {
        SupplyButton button;
        EXPECT_FALSE(button.SupplyEnabled());
        button.SetSupplyEnabled(true);
        button.SetSupplyLatchValue(c.start);
        QSignalSpy clicks(&button, &SupplyButton::Click);
        EXPECT_TRUE(EditInDialog(button, c.edits, c.accept)) << c.what;
        EXPECT_EQ(button.SupplyLatchValue(), c.expected) << c.what;
        EXPECT_EQ(clicks.count(), c.expected != c.start ? 1 : 0) << c.what;
    }
}

} // namespace
