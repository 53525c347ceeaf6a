#pragma once

#include "engine/OsLayer.h"

// The operating system the program runs on (Linux): it belongs to neither Windows
// family, so the start-up claims the port through the port library.
class SystemOs : public OsLayer {
public:
    // Platform id 0 with the system's name and release ("Linux 6.1.0-18-amd64").
    OsVersionInfo GetVersion() override;
    // The program's arguments after its own name, joined by single spaces.
    QString CommandLine() override;
};
