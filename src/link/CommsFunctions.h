#pragma once

#include "link/EvalContext.h"

#include <QString>
#include <cstdint>
#include <vector>

// The board protocol over the software-driven EPP handshake. Failures are raised as
// EvalError with the documented numbers; the callers catch them where they carry on.

// One handshaked byte write / read; errors 515/516 and 513/514.
std::int16_t EPPWrite(EvalContext& ctx, std::int16_t base, std::int16_t value);
std::int16_t EPPRead(EvalContext& ctx, std::int16_t base);
// Waits for the board's ready handshake under Timer1; error 537.
std::int16_t WaitForReady(EvalContext& ctx);

// Four-byte command frame with the optional "Sent:" echo; error 504.
void SendCommand(EvalContext& ctx, std::int16_t first, std::int32_t word, std::int16_t code);
// A 16-bit value, high byte first; error 518.
std::int32_t ReadValue(EvalContext& ctx);
void SendResetCommand(EvalContext& ctx);
void PulseControlLines(EvalContext& ctx);
// Reset with its messages and button effects; never raises.
void ResetBoard(EvalContext& ctx);

// The echo line of a command frame ("Sent:" + 2 + 4 + 2 hex digits).
QString CommandEchoLine(std::int16_t first, std::int32_t word, std::int16_t code);

// One block of n samples into samples; raises 517 (or 504 after the command box).
void ReadData(EvalContext& ctx, std::int32_t n, std::vector<double>& samples);
// The watchdog interval ReadData gives Timer1 for a sample frequency, in ms.
int WatchdogInterval(std::int32_t sampleFreq);

// Program download: result 0 running, 1..7 failures.
std::int16_t LoadProgram(EvalContext& ctx);
void SendProgramLength(EvalContext& ctx, std::int16_t length);   // error 505
void SendPacket(EvalContext& ctx, const QString& word);          // errors 506, 520
