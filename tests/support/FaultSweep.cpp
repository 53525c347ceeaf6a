#include "support/FaultSweep.h"

#include "board/SimulatedPorts.h"
#include "core/EvalError.h"
#include "link/CommsFunctions.h"
#include "link/EvalContext.h"
#include "link/PortAccess.h"
#include "support/FakeUi.h"

#include <QFile>
#include <QTemporaryDir>
#include <optional>

namespace {

struct Hang {};

// The simulated port with a budget of register accesses per case: far more than any
// exchange and its recovery need, so running out means the link would spin for ever.
class BudgetPorts : public SimulatedPorts {
public:
    static constexpr std::uint64_t kBudget = 20'000'000;
    std::int32_t InByte(std::int32_t address) override
    {
        if (Accesses().Total() > kBudget)
            throw Hang{};
        return SimulatedPorts::InByte(address);
    }
};

// The watchdog tick, every few thousand event passes: a board that never signals ready
// costs a bounded number of polls.
class WatchdogPump : public EventPump {
public:
    explicit WatchdogPump(EvalContext& ctx) : ctx_(ctx) {}
    void ProcessEvents() override
    {
        if (++passes_ % 5000 == 0)
            ctx_.TimeOutFlag = true;
    }

private:
    EvalContext& ctx_;
    long passes_ = 0;
};

constexpr std::int16_t kBase = 888;
constexpr std::int16_t kBootLatch = 0x6C, kNewLatch = 0x2C;
constexpr int kUploadSamples = 256;
const std::vector<std::uint32_t> kProgram = {0x123456, 0xABCDEF, 0};

struct Rig {
    explicit Rig(const QString& programFile) : pump(ctx)
    {
        ctx.Port = &ports;
        ctx.PortBaseAddress = kBase;
        ctx.Messages = &messages;
        ctx.Status1 = &status1;
        ctx.Status2 = &status2;
        ctx.Ui = &ui;
        ctx.Events = &pump;
        Settings& s = ctx.CurrentSettings;
        s.SampleFreq = 100000;
        s.NumberOfBits = 12;
        s.EXEName = programFile;
        ctx.SampleClock.SetCrystalFrequency(40000000);
        ctx.SampleClock.SetSampleFrequency(s.SampleFreq);
        ctx.BoardLatch.SetValue(kBootLatch);
        ports.Board().Trace().SetEnabled(false);
        WritePortByte(ctx, kBase + 2, std::int16_t((ReadPortByte(ctx, kBase + 2) & 0xD4) | 0x20));
    }

    // One block read back exactly as the board converted it.
    bool Usable()
    {
        std::vector<double> samples;
        if (RunStep([&] { ReadData(ctx, kUploadSamples, samples); }) != 0)
            return false;
        const std::uint16_t* v = ports.Board().Firmware().BlockValues();
        for (int i = 0; i < kUploadSamples; ++i)
            if (samples[std::size_t(i)] != (v[i] & 0xFFF))
                return false;
        return true;
    }
    // Reset, then Setup Load's download, as the user recovers.
    bool Recover()
    {
        ResetBoard(ctx);
        return LoadProgram(ctx) == 0 && Usable();
    }

    BudgetPorts ports;
    EvalContext ctx;
    ScriptedMessenger messages;
    RecordingStatus status1, status2;
    RecordingLinkUi ui;
    WatchdogPump pump;
};

// What an exchange reported and whether the board really did it. nullopt: success.
struct Outcome {
    bool success = false;
    bool documented = true;
    bool true_ = true;
};

bool LastFrameIs(EvalBoard& board, std::uint8_t first, std::uint8_t code)
{
    const auto frames = board.Trace().Frames();
    return !frames.empty() && frames.back().obeyed && frames.back().code == code && frames.back().first == first
        && frames.back().Word() == 0 && board.State() == FirmwareState::RunningCommand;
}

Outcome Run(Rig& rig, SweepFrame frame)
{
    EvalContext& ctx = rig.ctx;
    EvalBoard& board = rig.ports.Board();
    Outcome o;
    switch (frame) {
    case SweepFrame::Command:
    case SweepFrame::LatchLoad: {
        const bool latch = frame == SweepFrame::LatchLoad;
        const int n = RunStep([&] { SendCommand(ctx, latch ? kNewLatch : 0, 0, latch ? 3 : 22); });
        o.success = n == 0;
        o.documented = n == 0 || n == LinkError::SendCommandFailed;
        o.true_ = latch ? LastFrameIs(board, kNewLatch, 3) && board.LatchValue() == kNewLatch
                        : LastFrameIs(board, 0, 22);
        break;
    }
    case SweepFrame::BlockCommand:
    case SweepFrame::ShortUpload: {
        std::vector<double> samples;
        const int n = RunStep([&] { ReadData(ctx, kUploadSamples, samples); });
        o.success = n == 0;
        o.documented = n == 0 || n == LinkError::SendCommandFailed || n == LinkError::ReadDataFailed;
        const std::uint16_t* v = board.Firmware().BlockValues();
        o.true_ = board.State() == FirmwareState::RunningCommand && samples.size() == kUploadSamples;
        for (int i = 0; o.true_ && i < kUploadSamples; ++i)
            o.true_ = samples[std::size_t(i)] == (v[i] & 0xFFF);
        break;
    }
    case SweepFrame::Download: {
        const std::int16_t result = LoadProgram(ctx);
        o.success = result == 0;
        o.documented = result == 0 || result == 3 || result == 5 || result == 6 || result == 7;
        o.true_ = InProgram(board.State()) && board.Firmware().ProgramWords() == kProgram
            && board.LatchValue() == kBootLatch;
        break;
    }
    case SweepFrame::Reset: {
        ResetBoard(ctx);
        const QStringList lines = rig.status1.Texts();
        o.success = lines == QStringList{QStringLiteral("Board Reset")};
        o.documented = o.success || lines == QStringList{QStringLiteral("Reset Failure")};
        o.true_ = board.State() == FirmwareState::LoaderCommand && !InProgram(board.State());
        break;
    }
    }
    return o;
}

// Transfers of each exchange that a fault may hit: the frame's own bytes, and for the
// download its command, length, three packets with answers, latch load, start and the
// start of the check block; for the reset its command and the loader check.
int Positions(SweepFrame frame)
{
    switch (frame) {
    case SweepFrame::Command:
    case SweepFrame::LatchLoad:
    case SweepFrame::BlockCommand: return 4;
    case SweepFrame::ShortUpload: return 2 * kUploadSamples;
    case SweepFrame::Download: return 4 + 2 + 15 + 8 + 4 + 4;
    case SweepFrame::Reset: return 4 + 10 + 1;
    }
    return 0;
}

void Add(SweepCounts& to, const SweepCounts& c)
{
    to.cases += c.cases;
    to.handled += c.handled;
    to.hangs += c.hangs;
    to.falseSuccesses += c.falseSuccesses;
    to.undocumented += c.undocumented;
    to.needButton += c.needButton;
    to.lost += c.lost;
}

SweepCounts RunCase(const QString& programFile, SweepFrame frame, LineFault fault, int position)
{
    SweepCounts c;
    c.cases = 1;
    Rig rig(programFile);
    if (LoadProgram(rig.ctx) != 0)
        return c;   // not handled: the healthy board did not even boot
    if (frame == SweepFrame::Download) {
        ResetBoard(rig.ctx);   // as Setup Load does before it downloads
        rig.status1.ClearLines();
    }
    const int offset = frame == SweepFrame::ShortUpload ? 4 : 0;
    rig.ports.Board().StrikeAfter(fault, offset + position);
    rig.ports.ResetAccessCounts();
    try {
        const Outcome o = Run(rig, frame);
        // A fault on a transfer the exchange never reached does not strike the recovery.
        rig.ports.Board().Faults().lineFault = LineFault::None;
        c.falseSuccesses = o.success && !o.true_;
        c.undocumented = !o.documented;
        bool usable = o.success && o.true_ && frame != SweepFrame::Reset && rig.Usable();
        if (!usable)
            usable = rig.Recover();
        if (!usable) {
            rig.ports.Board().PressResetButton();
            c.needButton = rig.Recover();
            c.lost = !c.needButton;
        }
        c.handled = usable && !c.falseSuccesses && !c.undocumented;
    } catch (const Hang&) {
        c.hangs = 1;
    }
    return c;
}

} // namespace

SweepResult RunFaultSweep()
{
    QTemporaryDir dir;
    const QString programFile = dir.filePath(QStringLiteral("ECB.EXE"));
    QFile file(programFile);
    if (file.open(QIODevice::WriteOnly))
        file.write("x\r\n@PA\r\n0000\r\n123456\r\nABCDEF\r\n000000\r\n#\r\n");
    file.close();

    SweepResult result;
    for (int f = 0; f < kSweepFrames; ++f)
        for (std::size_t k = 0; k < kSweepFaults.size(); ++k)
            for (int p = 0; p < Positions(SweepFrame(f)); ++p) {
                const SweepCounts c = RunCase(programFile, SweepFrame(f), kSweepFaults[k], p);
                Add(result.byCase[std::size_t(f)][k], c);
                if (!c.handled)
                    result.notHandled.push_back(std::string(SweepFrameName(SweepFrame(f))) + " / "
                                                + LineFaultName(kSweepFaults[k]) + " / transfer "
                                                + std::to_string(p + 1) + ": " + SweepSummaryLine(c));
                Add(result.total, c);
            }
    return result;
}

const char* SweepFrameName(SweepFrame frame)
{
    static const char* const names[] = {"command", "latch load", "block command", "short upload",
                                        "download", "reset"};
    return names[int(frame)];
}

const char* LineFaultName(LineFault fault)
{
    static const char* const names[] = {"none", "lost strobe", "extra strobe", "flipped bits",
                                        "wait stuck low", "wait stuck high", "spurious acknowledge",
                                        "board reset", "brown-out"};
    return names[int(fault)];
}

std::string SweepSummaryLine(const SweepCounts& c)
{
    return "cases " + std::to_string(c.cases) + ", handled " + std::to_string(c.handled) + ", hangs "
        + std::to_string(c.hangs) + ", false successes " + std::to_string(c.falseSuccesses)
        + ", needing the board's button " + std::to_string(c.needButton) + ", undocumented errors "
        + std::to_string(c.undocumented) + ", not recovered " + std::to_string(c.lost);
}
