#pragma once

#include <QString>

// The stored-settings switches of the command line. A switch counts as present when its
// text occurs anywhere in the upper-cased command line, so "/get/save" holds both.
struct CommandLineSwitches {
    bool Get = false;     // "/GET": restore the window position and configuration at start-up
    bool Save = false;    // "/SAVE": store them at shut-down
    bool Delete = false;  // "/DEL": delete them at shut-down, after the store
    bool Echo = false;    // "/E": echo every board command as a "Sent:" line

    static CommandLineSwitches From(const QString& commandLine);
};
