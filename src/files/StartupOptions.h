#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The switches of the stored window position and configuration. A switch counts as
// present when its text occurs anywhere in the upper-cased command line, so "/get/save"
// holds both.
struct CommandLineSwitches {
    bool Get = false;     // "/GET": restore the window position and configuration at start-up
    bool Save = false;    // "/SAVE": store them at shut-down
    bool Delete = false;  // "/DEL": delete them at shut-down, after the store
    bool Echo = false;    // "/E": echo every board command as a "Sent:" line

    static CommandLineSwitches From(const QString& commandLine);
};

// Everything the command line decides at start-up, read once, in any letter case.
struct StartupOptions {
    QString CommandLine;                  // the arguments after the program name
    CommandLineSwitches Stored;
    std::optional<std::int32_t> TimeOut;  // "/T:n": the time-out value (no digits: 1)
    bool ShowStatus = false;              // "/SS": the system name and port address at start-up
    // "/PPDEV" or "/PPDEV:n": a real board on /dev/parportn (anything after "/PPDEV" that is
    // not ":" and a number gives 0); absent: the simulated board.
    std::optional<int> PpdevPort;
    // "/SIMFAULT:list": faults for the simulated board, up to the next blank.
    std::optional<QString> SimulatedFaults;
    // "/SIGNAL:list": the simulated converter's input, up to the next blank.
    std::optional<QString> SignalSource;
    // "/VERIFY": after each block, check that the board has nothing left to send, so a
    // block shifted by a spurious acknowledge fails instead of being shown.
    bool VerifyUpload = false;

    static StartupOptions Parse(const QString& commandLine);
};
