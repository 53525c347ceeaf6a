#pragma once

#include "link/EvalContext.h"

#include <QString>
#include <cstdint>
#include <vector>

// The board protocol over the software-driven EPP handshake. Failures are raised as
// EvalError with the documented numbers; the callers catch them where they carry on.

namespace LinkError {
constexpr int SendCommandFailed = 504;
constexpr int SendProgramLengthFailed = 505;
constexpr int SendPacketFailed = 506;
constexpr int EppReadNoAcknowledge = 513;
constexpr int EppReadNotReleased = 514;
constexpr int EppWriteNoAcknowledge = 515;
constexpr int EppWriteNotReleased = 516;
constexpr int ReadDataFailed = 517;
constexpr int ReadValueFailed = 518;
constexpr int ChecksumError = 520;
constexpr int WaitForReadyTimeout = 537;
}

namespace LinkLimits {
// Status reads a byte transfer may make in its acknowledge and release phases together.
constexpr int kPollLimit = 1000;
// Event passes of the reset pause.
constexpr int kResetPauseEvents = 15000;
// The shortest watchdog, and the longest (the classic window timer's limit).
constexpr int kMinWatchdogMs = 3000;
constexpr int kMaxWatchdogMs = 65535;
// Answer of the board to a packet with a good checksum.
constexpr std::int16_t kPacketAccepted = 13;
}

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

// Whether the board answers as its loader does after a reset: a one-word download
// answered 13. Whether the board runs its program: a 256-sample block answered.
bool LoaderAnswers(EvalContext& ctx);
bool ProgramAnswers(EvalContext& ctx);
// Gets a board that is out of step with the PC (part of a frame taken, a block or an
// answer still to send, a reset pulse missed) back to its loader. Never raises.
void Resynchronise(EvalContext& ctx);

// The echo line of a command frame ("Sent:" + 2 + 4 + 2 hex digits).
QString CommandEchoLine(std::int16_t first, std::int32_t word, std::int16_t code);
// What the user is told when the board did not take a command; label names the step
// that failed ("(Error 507)" and so on).
QString CommunicationFailedText(int label);

// One block of n samples into samples; raises 517 (or 504 after the command box).
void ReadData(EvalContext& ctx, std::int32_t n, std::vector<double>& samples);
// The watchdog interval ReadData gives Timer1 for a sample frequency, in ms: the time of
// a 32768-sample block rounded half to even, at least 3000 and at most 65535 (the
// board's 16-bit sample timer cannot run slower than 40 MHz / 65536, so no block takes
// longer than 53.7 s); 65535 for a frequency that is not above 0.
int WatchdogInterval(std::int32_t sampleFreq);

// Program download: result 0 running (the program answered a block), 1..7 failures; a
// packet whose write failed ends the download with 6. The program file is
// CurrentSettings.EXEName, relative to the current directory, found in any letter case;
// a file that ends before its "#" terminator gives 2 and nothing is sent.
std::int16_t LoadProgram(EvalContext& ctx);
void SendProgramLength(EvalContext& ctx, std::int16_t length);   // error 505
void SendPacket(EvalContext& ctx, const QString& word);          // errors 506, 520
