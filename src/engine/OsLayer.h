#pragma once

#include <QString>
#include <cstdint>

// What the program asks of the operating system at start-up.
struct OsVersionInfo {
    std::int32_t Size = 148;
    std::int32_t MajorVersion = 0;
    std::int32_t MinorVersion = 0;
    std::int32_t BuildNumber = 0;
    std::int32_t PlatformId = 0;   // 1 = 95 family, 2 = NT family, other = neither
    QString Name;                  // the system's own name, for systems the table does not know
};

class OsLayer {
public:
    virtual ~OsLayer() = default;
    virtual OsVersionInfo GetVersion() = 0;
    // The program's whole argument string (everything after the program name).
    virtual QString CommandLine() = 0;
};
