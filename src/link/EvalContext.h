#pragma once

#include "config/ClockSettings.h"
#include "config/Latch.h"
#include "config/Settings.h"
#include "core/UserInterface.h"
#include "link/LinkUi.h"
#include "link/OsLayer.h"
#include "link/PortLibrary.h"

#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <vector>

// The one application object: the settings, the latch and clock models, the port in use,
// the sample buffers and flags, and the interfaces to the user and the main window.
// main() creates it and hands references down; each test creates a fresh one. The
// pointers are not owned and must outlive their use.
struct EvalContext {
    Settings CurrentSettings;
    Settings SavedSettings;
    Latch BoardLatch;
    ClockSettings SampleClock;

    std::int16_t PortBaseAddress = 0;
    QString WindowsVersionName;
    std::int16_t SelectedConfigIndex = -1;

    // Sample buffers; an empty buffer was never filled and has nothing to save.
    std::vector<double> SampleCodes;
    std::vector<double> SampleVolts;
    std::vector<double> Spectrum;

    bool ContinuousSampling = false;
    bool HoldZoom = false;
    bool SpansChanged = false;
    bool TimeOutFlag = false;   // set by Timer1's tick, cleared before each wait

    QStringList lstINI_File;    // scratch list of the configuration reader and the download

    PortLibrary* Port = nullptr;
    OsLayer* Os = nullptr;
    Messenger* Messages = nullptr;
    StatusLines* Status1 = nullptr;   // VEXMStatus1: progress and error lines
    StatusLines* Status2 = nullptr;   // VEXMStatus2: configuration summary
    LinkUi* Ui = nullptr;
    EventPump* Events = nullptr;
    QTimer* Timer1 = nullptr;         // the link's watchdog, owned by the main window

    // The upper-cased command line, where switches are found as substrings.
    QString UpperCommandLine() const { return Os ? Os->CommandLine().toUpper() : QString(); }
    bool HasSwitch(const QString& sw) const { return UpperCommandLine().contains(sw); }
};
