#pragma once

#include "link/EvalContext.h"

#include <cstdint>

// Register access through the port library: every board access goes through these two.
inline std::int16_t ReadPortByte(EvalContext& ctx, std::int16_t address)
{
    return static_cast<std::int16_t>(ctx.Port->InByte(static_cast<std::uint16_t>(address)) & 0xFF);
}

inline void WritePortByte(EvalContext& ctx, std::int16_t address, std::int16_t value)
{
    ctx.Port->OutByte(static_cast<std::uint16_t>(address), value);
}
