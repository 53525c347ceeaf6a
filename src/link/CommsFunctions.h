#pragma once

#include "link/BoardLink.h"

#include <chrono>

#include <QString>
#include <QStringList>
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

// What a block command asks of the board and how its block is read back.
struct BlockRequest {
    std::int16_t Exponent = 0;        // N = 256 * 2^Exponent
    std::int32_t PeriodWord = 3;      // the sample timer's word, its two lowest bits set
    std::int32_t SampleFreq = 0;      // sets the watchdog's interval
    std::chrono::nanoseconds ConversionTime{0};   // how long the board needs for the block
    std::int16_t NumberOfBits = 12;   // bits kept of each 16-bit value
    std::int16_t DataFormat = 0;      // 1: two's complement, sign-extended
    // After the last sample, one more read must find the board with nothing to send: a
    // block it still owes a byte of was shifted by an acknowledge it never gave.
    bool VerifyEnd = false;
};

// The block command's period word for the clock's two period bytes: high * 256 + low with
// its two lowest bits set. Negative period bytes give a negative word, which the command
// frame splits as any word.
std::int32_t PeriodWord(std::int16_t periodHigh, std::int16_t periodLow);
// The board's sample timer takes the word's low 16 bits and counts that many crystal
// periods plus one per sample.
std::chrono::nanoseconds ConversionTime(std::int32_t samples, std::int32_t periodWord, double crystalHz);

// One handshaked byte write / read; errors 515/516 and 513/514.
std::int16_t EPPWrite(BoardLink& link, std::int16_t base, std::int16_t value);
std::int16_t EPPRead(BoardLink& link, std::int16_t base);
// Waits for the board's ready handshake under Timer1; error 537.
std::int16_t WaitForReady(BoardLink& link);

// Four-byte command frame with the optional "Sent:" echo; error 504.
void SendCommand(BoardLink& link, std::int16_t first, std::int32_t word, std::int16_t code);
// A 16-bit value, high byte first; error 518.
std::int32_t ReadValue(BoardLink& link);
void SendResetCommand(BoardLink& link);
void PulseControlLines(BoardLink& link);
// Control register AND 0xD4 OR 0x20: strobes released, data lines released for input.
void SetIdleControlRegister(BoardLink& link);

// Whether the board answers as its loader does after a reset: a one-word download
// answered 13. Whether the board runs its program: a 256-sample block answered.
bool LoaderAnswers(BoardLink& link);
bool ProgramAnswers(BoardLink& link, std::int32_t periodWord);
// Gets a board that is out of step with the PC (part of a frame taken, a block or an
// answer still to send, a reset pulse missed) back to its loader. Never raises.
void Resynchronise(BoardLink& link);

// The echo line of a command frame ("Sent:" + 2 + 4 + 2 hex digits).
QString CommandEchoLine(std::int16_t first, std::int32_t word, std::int16_t code);
// What the user is told when the board did not take a command; label names the step
// that failed ("(Error 507)" and so on).
QString CommunicationFailedText(int label);

// One block of n samples into samples; raises 504 when the board refused the block
// command (the samples are not touched) and 517 when the block did not arrive (or, with
// VerifyEnd, when the board still had data after it).
void ReadData(BoardLink& link, const BlockRequest& request, std::int32_t n, std::vector<double>& samples);
// The watchdog interval ReadData gives Timer1 for a sample frequency, in ms: the time of
// a 32768-sample block rounded half to even, at least 3000 and at most 65535 (the
// board's 16-bit sample timer cannot run slower than 40 MHz / 65536, so no block takes
// longer than 53.7 s); 65535 for a frequency that is not above 0.
int WatchdogInterval(std::int32_t sampleFreq);
// Whether the board has nothing left to send: one read whose strobe is not acknowledged
// (513). A byte taken, or an acknowledge that is not released, means it had more.
bool NothingLeftToSend(BoardLink& link);

// Program download: result 0 running (the program answered a block), 1..7 failures; a
// packet whose write failed ends the download with 6. The program file is found in any
// letter case; a file that ends before its "#" terminator gives 2 and nothing is sent
// (the echo sink says why). The latch is loaded before the start command, and the period
// word is the one the started program's first block is asked at.
std::int16_t LoadProgram(BoardLink& link, const QString& programPath, std::int16_t latch,
                         std::int32_t periodWord);
void SendProgramLength(BoardLink& link, std::int16_t length);   // error 505
void SendPacket(BoardLink& link, const QString& word);          // errors 506, 520
