#pragma once

#include "config/Latch.h"
#include "config/Settings.h"
#include "core/UserInterface.h"

#include <QString>
#include <QStringList>
#include <cstdint>

// No real configuration file comes near this size; a larger one is refused unread.
constexpr qint64 MaxConfigFileBytes = 64 * 1024;

// Reads a configuration file (header "[EVAL-CONTROL BOARD]", then KEY:value items) into
// the settings and the latch functions, keeping every item after the header in
// lstINI_File. A file name that only differs in letter case from an existing file opens
// that file. Returns 0 when the file was read (also when the user gave up on a file
// without a program name) and 2 when it is not a configuration file or reading failed;
// the user has been told why. A value outside what the board and the program can work with
// (ValueRanges.h) is refused with a message naming the file, the line and the allowed range;
// keys applied before it keep their new values.
std::int16_t ReadConfigFile(const QString& path, Settings& s, Latch& latch,
                            QStringList& lstINI_File, Messenger& messages);

// The configuration summary: "Configuration:", then part, program, bits and code lines.
void ShowConfigurationStatus(const Settings& s, StatusLines& status2);
