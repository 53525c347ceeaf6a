#include "link/CommsFunctions.h"

#include "core/CaseInsensitivePath.h"
#include "core/BoardCommandCode.h"
#include "core/EvalError.h"
#include "core/Numbers.h"
#include "link/PortAccess.h"
#include "link/ProgramFile.h"

#include <QFileInfo>
#include <array>

// The board program download: marker check, word list, length, one
// checksummed packet per word with two retries, latch load and start.

namespace {

enum Result : std::int16_t {
    Running = 0, NoFile = 1, NotAProgram = 2, DownloadRefused = 3, LengthFailed = 5,
    PacketRefused = 6, StartFailed = 7,
};

bool IsWriteTimeout(int number)
{
    return number == LinkError::EppWriteNoAcknowledge || number == LinkError::EppWriteNotReleased;
}

} // namespace

void SendProgramLength(BoardLink& link, std::int16_t length)
{
    static const QString kSource = QStringLiteral("SendProgramLength");
    try {
        EPPWrite(link, link.PortBaseAddress, std::int16_t(length / 256));
    } catch (const EvalError& e) {
        if (IsWriteTimeout(e.Number))
            throw EvalError(LinkError::SendProgramLengthFailed, kSource,
                            QStringLiteral("SendProgramLength Command Failed on High Byte"));
    }
    try {
        EPPWrite(link, link.PortBaseAddress, std::int16_t(length % 256));
    } catch (const EvalError& e) {
        if (IsWriteTimeout(e.Number))
            throw EvalError(LinkError::SendProgramLengthFailed, kSource,
                            QStringLiteral("SendProgramLength Command Failed on Low Byte"));
    }
}

void SendPacket(BoardLink& link, const QString& word)
{
    static const QString kSource = QStringLiteral("SendPacket");
    static const char* const kWriteNames[] = {"First Write", "Second Write", "Third Write", "Third Write"};
    const std::array<std::int16_t, 3> bytes = PacketBytes(word);
    const std::int16_t base = link.PortBaseAddress;

    std::int16_t sum = 0;
    for (int i = 0; i < 4; ++i) {
        std::int16_t value;
        if (i < 3) {
            value = bytes[i];
            sum = std::int16_t(sum + value);
        } else {
            value = std::int16_t(sum & 0xFF);
        }
        try {
            EPPWrite(link, base, value);
        } catch (const EvalError& e) {
            if (IsWriteTimeout(e.Number))
                throw EvalError(LinkError::SendPacketFailed, kSource,
                                QStringLiteral("SendPacket Command Failed on ") + QLatin1String(kWriteNames[i]));
            return;
        }
    }

    std::int16_t answer = 0;
    RunStep([&] { answer = EPPRead(link, base); });
    if (answer != LinkLimits::kPacketAccepted)
        throw EvalError(LinkError::ChecksumError, kSource, QStringLiteral("Checksum Error"));
}

std::int16_t LoadProgram(BoardLink& link, const QString& programPath, std::int16_t latch,
                         std::int32_t periodWord)
{
    const QString path = ResolveCaseInsensitive(programPath);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return NoFile;

    const ProgramWords program = ReadProgramFile(path);
    if (!program.Words) {   // nothing is sent; the status box says what is wrong
        link.Report(program.Problem, Colour::Red);
        return NotAProgram;
    }
    const QStringList& words = *program.Words;

    using namespace BoardCommandCode;
    if (RunStep([&] { SendCommand(link, 0, 0, Download); }) == LinkError::SendCommandFailed)
        return DownloadRefused;

    const auto length = std::int16_t(words.size() - 1);
    if (RunStep([&] { SendProgramLength(link, length); }) == LinkError::SendProgramLengthFailed)
        return LengthFailed;

    for (int i = 1; i <= length; ++i) {
        const QString& word = words.at(i);
        int attempts = 0, pending;
        do {
            pending = RunStep([&] { SendPacket(link, word); });
        } while (pending == LinkError::ChecksumError && ++attempts < 3);
        // A packet whose write timed out (506) is not retried either: the loader may hold
        // part of it, so every later byte would land in the wrong place.
        if (pending == LinkError::ChecksumError || pending == LinkError::SendPacketFailed)
            return PacketRefused;
    }

    if (RunStep([&] { SendCommand(link, latch, 0, LoadLatch); }) == LinkError::SendCommandFailed)
        return StartFailed;
    if (RunStep([&] { SendCommand(link, 0, 0, Start); }) == LinkError::SendCommandFailed)
        return StartFailed;
    return ProgramAnswers(link, periodWord) ? Running : StartFailed;
}
