#include "link/CommsFunctions.h"

#include "core/BoardCommandCode.h"
#include "core/EvalError.h"
#include "core/Numbers.h"

#include <cmath>

// One acquisition's board side: block command, watchdog, ready handshake and
// the upload of the block, high byte first, masked and signed.

namespace {

const QString kReadData = QStringLiteral("ReadData");

} // namespace

std::int32_t PeriodWord(std::int16_t periodHigh, std::int16_t periodLow)
{
    return (std::int32_t(periodHigh) * 256 + periodLow) | 3;
}

std::chrono::nanoseconds ConversionTime(std::int32_t samples, std::int32_t periodWord, double crystalHz)
{
    if (samples <= 0 || !(crystalHz > 0))
        return std::chrono::nanoseconds(0);
    const double seconds = double(samples) * double((periodWord & 0xFFFF) + 1) / crystalHz;
    return std::chrono::nanoseconds(std::int64_t(seconds * 1e9));
}

int WatchdogInterval(std::int32_t sampleFreq)
{
    // A negative frequency gives a negative time, which the 3000 ms floor takes; only a
    // zero frequency, which gives no time at all, waits as long as the timer can.
    if (sampleFreq == 0)
        return LinkLimits::kMaxWatchdogMs;
    const double t = 32768.0 / sampleFreq * 1000.0;
    if (t <= LinkLimits::kMinWatchdogMs)
        return LinkLimits::kMinWatchdogMs;
    const double rounded = RoundHalfEven(t);
    return rounded > LinkLimits::kMaxWatchdogMs ? LinkLimits::kMaxWatchdogMs : int(rounded);
}

void ReadData(BoardLink& link, const BlockRequest& request, std::int32_t n, std::vector<double>& samples)
{
    SendCommand(link, request.Exponent, request.PeriodWord, BoardCommandCode::Block);   // 504: samples untouched

    link.Timer1.setInterval(WatchdogInterval(request.SampleFreq));
    if (!link.Timer1.isActive())
        link.Timer1.start();
    link.Timer1.ClearTimeOut();
    // The board converts for a known time: the link waits it out before it polls.
    link.Pause(request.ConversionTime);
    try {
        WaitForReady(link);
    } catch (const EvalError&) {
        link.Timer1.stop();
        throw EvalError(LinkError::ReadDataFailed, kReadData, QStringLiteral("Timeout"));
    }
    link.Timer1.stop();

    samples.assign(n > 0 ? std::size_t(n) : 0, 0.0);

    const int bits = request.NumberOfBits;
    const std::int32_t mask = bits >= 31 ? 0x7FFFFFFF : bits <= 0 ? 0 : std::int32_t((1u << bits) - 1u);
    const bool twos = request.DataFormat == 1;
    const double half = std::ldexp(1.0, bits - 1), full = std::ldexp(1.0, bits);
    double* out = samples.data();
    for (std::int32_t i = 0; i < n; ++i) {
        std::int32_t v;
        try {
            v = ReadValue(link);
        } catch (const EvalError&) {
            // The failing element and those after it stay 0.
            throw EvalError(LinkError::ReadDataFailed, kReadData,
                            QStringLiteral("Error Reading Data Sample ") + QString::number(i + 1));
        }
        double code = v & mask;
        if (twos && code >= half)
            code -= full;
        out[i] = code;
    }
    if (request.VerifyEnd && !NothingLeftToSend(link))
        throw EvalError(LinkError::ReadDataFailed, kReadData,
                        QStringLiteral("Block Out Of Step: Board Still Sending After Sample ") + QString::number(n));
}

bool NothingLeftToSend(BoardLink& link)
{
    // A board with nothing to send ignores the strobe; a real EPP board does the same, so
    // this costs one acknowledge phase of status reads and changes nothing on the board.
    return RunStep([&] { EPPRead(link, link.PortBaseAddress); }) == LinkError::EppReadNoAcknowledge;
}
