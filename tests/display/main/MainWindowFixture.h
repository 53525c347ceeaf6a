#pragma once

#include "board/SimulatedPorts.h"
#include "display/main/AcquisitionControls.h"
#include "engine/AcquisitionRun.h"
#include "engine/SessionWaiter.h"
#include "display/main/ChartViews.h"
#include "display/main/DataFileMenus.h"
#include "display/main/frmMainScreen.h"
#include "display/charts/HistogramControl.h"
#include "display/widgets/FFTControl.h"
#include "display/widgets/StatusBox.h"
#include "display/widgets/ToggleButton.h"
#include "display/charts/StripChart.h"
#include "files/StoredSettings.h"
#include "link/CommsFunctions.h"
#include "support/FakeFileChooser.h"
#include "support/FindControl.h"
#include "support/FakePort.h"
#include "support/FakeUi.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// A main window on the simulated board, loaded and started as the setup dialog leaves it,
// with a scripted user, a scripted file chooser and an isolated settings store.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        os.version.PlatformId = 2;
        os.version.MajorVersion = 5;
        ctx.Link.Port = &ports;
        ctx.Os = &os;
        ctx.Messages = &messages;
        store = std::make_unique<SettingsStore>(dir.filePath("settings.ini"));
        window = std::make_unique<frmMainScreen>(ctx);
        window->SetSettingsStore(store.get());
        window->SetFileChooser(&files);
        window->Form_Load();
        window->resize(1000, 720);
    }

    // Downloads a small board program and starts it, with supplies and bus switches on.
    void LoadBoardProgram()
    {
        const QString program = dir.filePath("TEST.PRG");
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x\r\n@PA\r\n000000\r\n123456\r\nABCDEF\r\n#\r\n");
        f.close();
        ctx.CurrentSettings.EXEName = program;
        ctx.BoardLatch.SetValue(0x7C);
        ASSERT_EQ(LoadProgram(ctx.Link, program, ctx.BoardLatch.Value(), ctx.CurrentPeriodWord()), 0);
        ctx.CurrentSettings.ProgramLoaded = True;
        window->Acquisition().SetBoardButtonsEnabled(true);
        ports.Board().Trace().Clear();
    }

    // Answers the next file dialog with the file of that name in the test folder.
    QString Answer(const QString& name)
    {
        files.answers.push_back(dir.filePath(name));
        return dir.filePath(name);
    }

    QStringList Status1() const { return window->Status1().Lines(); }

    // A click that starts an acquisition, and the wait for the acquisition's end.
    void Click(QPushButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        window->Acquisition().Wait();
    }
    void Sample()
    {
        window->Acquisition().Sample();
        window->Acquisition().Wait();
    }
    void ContinuousRun()
    {
        window->Acquisition().StartContinuous();
        window->Acquisition().Wait();
    }

    // The enabled state of the seven command buttons, in a fixed order.
    std::vector<bool> ButtonStates() const
    {
        std::vector<bool> states;
        for (const char* name : {"cmdSample", "cmdContSample", "cmdStopSampling", "cmdReset", "cmdPowerDown",
                                 "cmdPowerUp", "cmdQuit"})
            states.push_back(Find<QPushButton>(*window, name)->isEnabled());
        return states;
    }
    static std::vector<bool> IdleStates() { return {true, true, false, true, true, true, true}; }

    QTemporaryDir dir;
    SimulatedPorts ports;
    FakeOs os;
    ScriptedMessenger messages;
    ScriptedFileChooser files;
    EvalContext ctx;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<frmMainScreen> window;
};
