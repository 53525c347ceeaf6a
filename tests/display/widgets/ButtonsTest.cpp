#include "display/widgets/SupplyButton.h"
#include "display/widgets/SupplyDialog.h"
#include "display/widgets/ToggleButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(ToggleButton, ClickFlipsTheStateAndTextThenRaisesClick)
{
    ToggleButton toggle;
    EXPECT_FALSE(toggle.ShowHistogram());
    EXPECT_EQ(toggle.text(), "FFT Mode");

    bool stateSeenInHandler = false;
    QObject::connect(&toggle, &ToggleButton::Click,
                     [&] { stateSeenInHandler = toggle.ShowHistogram(); });
    QSignalSpy clicks(&toggle, &ToggleButton::Click);
    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(stateSeenInHandler);
    EXPECT_EQ(toggle.text(), "Histogram Mode");

    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_FALSE(toggle.ShowHistogram());
    EXPECT_EQ(toggle.text(), "FFT Mode");

    toggle.SetShowHistogram(true);   // from code: no Click
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(toggle.text(), "Histogram Mode");
}

// Clicks the button and, once its dialog is up, edits it and closes it. Returns whether
// a dialog appeared.
bool EditInDialog(SupplyButton& button, const std::function<void(SupplyDialog&)>& edit, bool accept)
{
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<SupplyDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        opened = true;
        edit(*dialog);
        accept ? dialog->accept() : dialog->reject();
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    QApplication::processEvents();
    return opened;
}

template <typename W>
W* Find(SupplyDialog& d, const char* name)
{
    W* w = d.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST(SupplyButton, DialogShowsTheLatchByName)
{
    SupplyDialog dialog(0x90);   // the start-up latch: both voltage bits set, all off
    EXPECT_EQ(Find<QComboBox>(dialog, "cboAvddVoltage")->currentText(), "3.3 V");
    EXPECT_EQ(Find<QComboBox>(dialog, "cboDvddVoltage")->currentText(), "3.3 V");
    for (const char* box : {"chkAvddOn", "chkDvddOn", "chkHiSupply", "chkBusSwitches",
                            "chkMemoryPage0", "chkMemoryPage1"})
        EXPECT_FALSE(Find<QCheckBox>(dialog, box)->isChecked()) << box;
    EXPECT_EQ(Find<QLabel>(dialog, "lblLatchValue")->text(), "Latch byte: 0x90");

    Find<QComboBox>(dialog, "cboDvddVoltage")->setCurrentIndex(0);   // 5 V clears bit 7
    EXPECT_EQ(dialog.LatchValue(), 0x10);
    EXPECT_EQ(Find<QLabel>(dialog, "lblLatchValue")->text(), "Latch byte: 0x10");
}

TEST(SupplyButton, ClickFollowsAChangedByteOnly)
{
    struct Case {
        const char* what;
        int start;
        std::function<void(SupplyDialog&)> edit;
        bool accept;
        int expected;
        int clicks;
    };
    auto tick = [](const char* name) {
        return [name](SupplyDialog& d) { Find<QCheckBox>(d, name)->setChecked(true); };
    };
    const Case cases[] = {
        {"AVDD on at 5 V, +/-15 V on", 0x90,
         [](SupplyDialog& d) {
             Find<QCheckBox>(d, "chkAvddOn")->setChecked(true);
             Find<QComboBox>(d, "cboAvddVoltage")->setCurrentIndex(0);
             Find<QCheckBox>(d, "chkHiSupply")->setChecked(true);
         },
         true, 0xA8, 1},
        {"DVDD on", 0x00, tick("chkDvddOn"), true, 0x40, 1},
        {"bus switches", 0x00, tick("chkBusSwitches"), true, 0x04, 1},
        {"memory pages", 0x00,
         [](SupplyDialog& d) {
             Find<QCheckBox>(d, "chkMemoryPage0")->setChecked(true);
             Find<QCheckBox>(d, "chkMemoryPage1")->setChecked(true);
         },
         true, 0x03, 1},
        {"bits above the byte stay", 0x1FF,
         [](SupplyDialog& d) { Find<QCheckBox>(d, "chkMemoryPage0")->setChecked(false); }, true,
         0x1FE, 1},
        {"cancelled", 0x90, tick("chkDvddOn"), false, 0x90, 0},
        {"accepted unchanged", 0x90, [](SupplyDialog&) {}, true, 0x90, 0},
        {"changed and changed back", 0x90,
         [](SupplyDialog& d) {
             Find<QCheckBox>(d, "chkHiSupply")->setChecked(true);
             Find<QCheckBox>(d, "chkHiSupply")->setChecked(false);
         },
         true, 0x90, 0},
    };
    for (const Case& c : cases) {
        SupplyButton button;
        button.SetSupplyEnabled(true);
        button.SetSupplyLatchValue(c.start);
        QSignalSpy clicks(&button, &SupplyButton::Click);
        EXPECT_TRUE(EditInDialog(button, c.edit, c.accept)) << c.what;
        EXPECT_EQ(button.SupplyLatchValue(), c.expected) << c.what;
        EXPECT_EQ(clicks.count(), c.clicks) << c.what;
    }
}

TEST(SupplyButton, StaysShutUntilEnabled)
{
    SupplyButton button;
    EXPECT_FALSE(button.SupplyEnabled());
    EXPECT_TRUE(button.text().startsWith("Supply Settings"));
    EXPECT_FALSE(EditInDialog(button, [](SupplyDialog&) {}, true));
    button.SetSupplyEnabled(true);
    EXPECT_TRUE(button.SupplyEnabled());
}

} // namespace
