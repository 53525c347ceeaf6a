#include "MainWindowFixture.h"

#include <QAction>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWindow>

TEST_F(MainWindowTest, PortChoiceMovesTheAddressAndTheCheckMark)
{
    window->mnuLPT2_Click();
    EXPECT_EQ(ctx.PortBaseAddress, 632);
    window->mnuPRN_Click();
    EXPECT_EQ(ctx.PortBaseAddress, 956);
    window->mnuLPT1_Click();
    EXPECT_EQ(ctx.PortBaseAddress, 888);
    EXPECT_TRUE(window->mnuLPT1->isChecked());
    EXPECT_FALSE(window->mnuLPT2->isChecked());
    EXPECT_FALSE(window->mnuPRN->isChecked());
    // The simulated port sits at 888: only the other entries were switched off at start-up.
    EXPECT_TRUE(window->mnuLPT1->isEnabled());
    EXPECT_FALSE(window->mnuLPT2->isEnabled());
    EXPECT_FALSE(window->mnuPRN->isEnabled());
}

TEST_F(MainWindowTest, MenuItemsStartAsDesigned)
{
    EXPECT_FALSE(window->LoadEXE->isEnabled());
    EXPECT_FALSE(window->mnuLoadFFTData->isEnabled());
    EXPECT_TRUE(window->mnuLoadRawData->isEnabled());
    EXPECT_EQ(window->mnuSetup->text(), "S&etup Menu");
    EXPECT_EQ(window->ExitProgram->text(), "E&xit");
}

TEST_F(MainWindowTest, SavingWithoutDataSaysSo)
{
    window->SaveRawData_Click();
    window->mnuSaveBinary_Click();
    window->SaveFFTData_Click();
    ASSERT_EQ(messages.shown.size(), 3u);
    for (const auto& m : messages.shown) {
        EXPECT_EQ(m.text, "There is no data to save.");
        EXPECT_EQ(m.title, QString(""));
        EXPECT_EQ(m.icon, MessageIcon::Information);
    }
}

TEST_F(MainWindowTest, TheStatusBoxOfTheSSSwitchWaitsForTheWindow)
{
    os.commandLine = "/ss";
    frmMainScreen next(ctx);
    next.SetSettingsStore(store.get());
    next.Form_Load();
    EXPECT_TRUE(messages.shown.empty());
    next.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.shown.empty(); }));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, QString("Show Status"));
}

namespace {
// Records the moment the port is released, to check the store was already written.
class ReleaseWatcher : public SimulatedPorts {
public:
    std::int16_t ReleaseParallelPort(std::int32_t port) override
    {
        releasedPort = port;
        if (onRelease)
            onRelease();
        return SimulatedPorts::ReleaseParallelPort(port);
    }
    int releasedPort = 0;
    std::function<void()> onRelease;
};
}

TEST_F(MainWindowTest, UnloadStoresThenDeletesThenReleasesThePortLast)
{
    ReleaseWatcher watcher;
    ctx.Port = &watcher;
    os.commandLine = "/save";
    bool storedAtRelease = false;
    const QString ini = dir.filePath("settings.ini");
    watcher.onRelease = [&] { storedAtRelease = QSettings(ini, QSettings::IniFormat).contains("Position/Width"); };
    window->close();
    EXPECT_EQ(watcher.releasedPort, 1);
    EXPECT_TRUE(storedAtRelease);

    // With /DEL as well the store ends up empty.
    window = std::make_unique<frmMainScreen>(ctx);
    window->SetSettingsStore(store.get());
    os.commandLine = "/SAVE /DEL";
    window->close();
    EXPECT_TRUE(QSettings(ini, QSettings::IniFormat).allKeys().isEmpty());
}

TEST_F(MainWindowTest, ACloseRequestDuringAContinuousRunEndsTheRunThenUnloads)
{
    ReleaseWatcher watcher;
    ctx.Port = &watcher;
    LoadBoardProgram();
    os.commandLine = "/SAVE";
    const QString ini = dir.filePath("settings.ini");
    QStringList statusAtRelease;
    bool storedAtRelease = false;
    watcher.onRelease = [&] {
        statusAtRelease = Status1();
        storedAtRelease = QSettings(ini, QSettings::IniFormat).contains("Position/Width");
    };
    window->show();
    // The window manager's close box, a few blocks into the run.
    QTimer::singleShot(30, window.get(), [&] { window->windowHandle()->close(); });
    window->cmdContSample_Click();

    EXPECT_EQ(watcher.releasedPort, 0);   // the port stays claimed until the loop is over
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 1000));
    EXPECT_EQ(watcher.releasedPort, 1);
    ASSERT_FALSE(statusAtRelease.isEmpty());
    EXPECT_EQ(statusAtRelease.last(), "Continuous Sampling Stopped");
    EXPECT_TRUE(storedAtRelease);
}
