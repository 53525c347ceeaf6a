#pragma once

#include <cstdint>

// Where the board's program is: the loader that runs after power-on and after a reset,
// the reset hand-over, or the downloaded acquisition program and its block cycle.
enum class FirmwareState : std::uint8_t {
    Off,             // board switched off: no program runs, the lines float
    LoaderCommand,   // loader waiting for a four-byte command frame
    LoaderLength,    // loader reading the two program-length bytes after command 2
    LoaderPacket,    // loader reading a four-byte program packet
    LoaderAnswer,    // loader holding its answer to a packet (13 or a refusal) for a read
    ResetPending,    // command 8 obeyed: waiting for the control-line reset pulse
    RunningCommand,  // acquisition program waiting for a command frame
    Converting,      // block command obeyed: converting, wait line high (busy)
    Ready,           // block converted: wait line low until the PC's ready strobe
    Uploading,       // sending the block, high byte then low byte of each value
};

constexpr bool InLoader(FirmwareState s)
{
    return s == FirmwareState::LoaderCommand || s == FirmwareState::LoaderLength
        || s == FirmwareState::LoaderPacket || s == FirmwareState::LoaderAnswer;
}

constexpr bool InProgram(FirmwareState s)
{
    return s == FirmwareState::RunningCommand || s == FirmwareState::Converting
        || s == FirmwareState::Ready || s == FirmwareState::Uploading;
}

const char* FirmwareStateName(FirmwareState s);
