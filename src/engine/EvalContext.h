#pragma once

#include "config/ClockSettings.h"
#include "config/Latch.h"
#include "config/Settings.h"
#include "core/UserInterface.h"
#include "engine/OsLayer.h"
#include "engine/SessionListener.h"
#include "files/StartupOptions.h"
#include "link/BoardLink.h"
#include "link/CommsFunctions.h"

#include <QStringList>
#include <atomic>
#include <cstdint>
#include <vector>

// The one application object: the start-up options, the settings, the latch and clock
// models, the board link, the sample buffers, and the interfaces to the user. main()
// creates it and hands references down; each test creates a fresh one. The pointers are
// not owned and must outlive their use.
struct EvalContext {
    StartupOptions Options;
    Settings CurrentSettings;
    Settings SavedSettings;
    Latch BoardLatch;
    ClockSettings SampleClock;
    BoardLink Link;

    QString WindowsVersionName;
    std::int16_t SelectedConfigIndex = -1;

    // Sample buffers; an empty buffer was never filled and has nothing to save.
    std::vector<double> SampleCodes;
    std::vector<double> SampleVolts;
    std::vector<double> Spectrum;

    // Cleared (from any thread) to end a continuous run after its current block.
    std::atomic<bool> ContinuousSampling{false};

    QStringList lstINI_File;    // scratch list of the configuration reader

    OsLayer* Os = nullptr;
    Messenger* Messages = nullptr;
    StatusLines* Status1 = nullptr;   // VEXMStatus1: progress and error lines
    StatusLines* Status2 = nullptr;   // VEXMStatus2: configuration summary
    SessionListener* Listener = nullptr;

    // N = 256 * 2^NumberOfSamples: the block the board is asked for.
    std::int32_t BlockLength() const;
    // What the board is asked for a block at the current settings and clock.
    BlockRequest CurrentBlockRequest() const;
    std::int32_t CurrentPeriodWord() const;
};
