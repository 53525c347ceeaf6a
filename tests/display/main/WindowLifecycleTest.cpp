#include "MainWindowFixture.h"

#include <QWindow>

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
} // namespace

TEST_F(MainWindowTest, TheStatusBoxOfTheSSSwitchWaitsForTheWindow)
{
    ctx.Options = StartupOptions::Parse("/ss");
    frmMainScreen next(ctx);
    next.SetSettingsStore(store.get());
    next.Form_Load();
    EXPECT_TRUE(messages.shown.empty());
    next.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.shown.empty(); }));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, QString("Show Status"));
}

// The store is written before the port is released, and a run in progress ends first.
TEST_F(MainWindowTest, ACloseRequestDuringAContinuousRunEndsTheRunThenUnloads)
{
    ReleaseWatcher watcher;
    ctx.Link.Port = &watcher;
    LoadBoardProgram();
    ctx.Options = StartupOptions::Parse("/SAVE");
    const QString ini = dir.filePath("settings.ini");
    QStringList statusAtRelease;
    bool storedAtRelease = false, runningAtRelease = true;
    watcher.onRelease = [&] {
        statusAtRelease = Status1();
        runningAtRelease = window->Acquisition().Acquiring();
        storedAtRelease = QSettings(ini, QSettings::IniFormat).contains("Position/Width");
    };
    window->show();
    // The window manager's close box, a few blocks into the run.
    QTimer::singleShot(30, window.get(), [&] { window->windowHandle()->close(); });
    window->Acquisition().StartContinuous();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 1000));
    EXPECT_EQ(watcher.releasedPort, 1);
    ASSERT_FALSE(statusAtRelease.isEmpty());
    EXPECT_EQ(statusAtRelease.last(), "Continuous Sampling Stopped");
    EXPECT_FALSE(runningAtRelease) << "the port stays claimed until the run is over";
    EXPECT_TRUE(storedAtRelease);
}

// /GET restores what /SAVE stored at close; /DEL empties the store at close.
TEST_F(MainWindowTest, GetAndSaveBringTheWindowBackWhereItWasClosedAndDelEmptiesTheStore)
{
    ctx.Options = StartupOptions::Parse("/get/save");
    window->move(123, 77);
    window->resize(640, 480);   // above the minimum size, within the offscreen screen
    window->close();
    frmMainScreen next(ctx);
    next.SetSettingsStore(store.get());
    next.Form_Load();
    EXPECT_EQ(next.pos(), QPoint(123, 77));
    EXPECT_EQ(next.size(), QSize(640, 480));
    ctx.Options = StartupOptions::Parse("/SAVE /DEL");
    next.close();
    EXPECT_TRUE(QSettings(dir.filePath("settings.ini"), QSettings::IniFormat).allKeys().isEmpty());
}

TEST_F(MainWindowTest, AStoreThatCannotBeWrittenIsReportedAtClose)
{
    ctx.Options = StartupOptions::Parse("/save");
    SettingsStore folder(dir.path());   // a folder: never opened, never written
    window->SetSettingsStore(&folder);
    window->close();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QString("The settings store %1 could not be written:\r\n"
                                              "the window position and configuration were not stored.")
                                          .arg(QDir::toNativeSeparators(dir.path())));
}
