#pragma once

#include "link/BoardLink.h"

#include <cstdint>

// Register access through the port library: every board access goes through these two.
inline std::int16_t ReadPortByte(BoardLink& link, std::int16_t address)
{
    return static_cast<std::int16_t>(link.Port->InByte(static_cast<std::uint16_t>(address)) & 0xFF);
}

inline void WritePortByte(BoardLink& link, std::int16_t address, std::int16_t value)
{
    link.Port->OutByte(static_cast<std::uint16_t>(address), value);
}
