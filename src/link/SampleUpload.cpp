#include "link/CommsFunctions.h"

#include "core/EvalError.h"
#include "core/Numbers.h"

#include <cmath>

// One acquisition's board side: block command, watchdog, ready handshake and
// the upload of the block, high byte first, masked and signed.

namespace {

const QString kReadData = QStringLiteral("ReadData");

void ShowCommandFailure(EvalContext& ctx)
{
    if (!ctx.Messages)
        return;
    ctx.Messages->ShowMessage({QStringLiteral("Evaluation Control Board failed to respond to a command.\r"
                                              "A reset may be necessary"),
                               QStringLiteral("Send Command Error"), MessageIcon::Critical,
                               MessageButtons::OkCancel});
}

void StopWatchdog(EvalContext& ctx)
{
    if (ctx.Timer1)
        ctx.Timer1->stop();
}

} // namespace

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

void ReadData(EvalContext& ctx, std::int32_t n, std::vector<double>& samples)
{
    const Settings& s = ctx.CurrentSettings;

    // The period count as the board's 16-bit timer word; its two lowest bits always set.
    const std::int32_t p = (std::int32_t(ctx.SampleClock.TPeriodHigh()) * 256 + ctx.SampleClock.TPeriodLow()) & 0xFFFF;
    const std::int32_t w = p | 3;
    try {
        SendCommand(ctx, s.NumberOfSamples, w, 7);
    } catch (const EvalError&) {
        ShowCommandFailure(ctx);
        throw;   // 504 stays pending; the samples are not touched
    }

    if (ctx.Timer1) {
        ctx.Timer1->setInterval(WatchdogInterval(s.SampleFreq));
        if (!ctx.Timer1->isActive())
            ctx.Timer1->start();
    }
    ctx.TimeOutFlag = false;
    try {
        WaitForReady(ctx);
    } catch (const EvalError&) {
        StopWatchdog(ctx);
        throw EvalError(LinkError::ReadDataFailed, kReadData, QStringLiteral("Timeout"));
    }
    StopWatchdog(ctx);

    samples.assign(n > 0 ? std::size_t(n) : 0, 0.0);

    const int bits = s.NumberOfBits;
    const std::int32_t mask = bits >= 31 ? 0x7FFFFFFF : bits <= 0 ? 0 : std::int32_t((1u << bits) - 1u);
    const bool twos = s.DataFormat == 1;
    const double half = std::ldexp(1.0, bits - 1), full = std::ldexp(1.0, bits);
    double* out = samples.data();
    for (std::int32_t i = 0; i < n; ++i) {
        std::int32_t v;
        try {
            v = ReadValue(ctx);
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
}
