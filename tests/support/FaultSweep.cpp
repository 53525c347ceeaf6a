#include "support/FaultSweep.h"

#include "link/BoardRig.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr std::int16_t kNewLatch = 0x2C;
constexpr int kUploadSamples = 256;

// The board rig with a budget of register accesses per case (far more than any exchange
// and its recovery need) and the watchdog ticking every few thousand event passes.
struct SweepRig : BoardRig {
    SweepRig(const QString& programFile, const SweepOptions& options) : options(options)
    {
        ports.budget = 20'000'000;
        events.onPass = [this](long pass) { if (pass % 5000 == 0) link.Timer1.Trip(); };
        ctx.CurrentSettings.EXEName = programFile;
        board.Trace().SetEnabled(false);
    }
    // One block read back exactly as the board converted it.
    bool Usable()
    {
        std::vector<double> samples;
        return RunStep([&] { Read(kUploadSamples, samples); }) == 0
            && samples == BlockCodes(kUploadSamples);
    }
    // The block of the exchange under test, with the sweep's upload check.
    void ReadBlock(std::vector<double>& samples)
    {
        BlockRequest request = ctx.CurrentBlockRequest();
        request.VerifyEnd = options.verifyUploads;
        ReadData(link, request, kUploadSamples, samples);
    }
    // Reset, then Setup Load's download, as the user recovers.
    bool Recover()
    {
        session.Reset();
        return Load() == 0 && Usable();
    }
    SweepOptions options;
};

// What an exchange reported, whether that is a documented outcome, and whether the board
// really did what a success claims.
struct Outcome {
    bool success, documented, true_;
};

bool LastFrameIs(EvalBoard& board, std::uint8_t first, std::uint8_t code)
{
    const auto frames = board.Trace().Frames();
    return !frames.empty() && frames.back().obeyed && frames.back().code == code && frames.back().first == first
        && frames.back().Word() == 0 && board.State() == FirmwareState::RunningCommand;
}

Outcome Run(SweepRig& rig, SweepFrame frame)
{
    EvalBoard& board = rig.board;
    switch (frame) {
    case SweepFrame::Command:
    case SweepFrame::LatchLoad: {
        const bool latch = frame == SweepFrame::LatchLoad;
        const int n = RunStep([&] { SendCommand(rig.link, latch ? kNewLatch : 0, 0, latch ? 3 : 22); });
        return {n == 0, n == 0 || n == LinkError::SendCommandFailed,
                latch ? LastFrameIs(board, kNewLatch, 3) && board.LatchValue() == kNewLatch : LastFrameIs(board, 0, 22)};
    }
    case SweepFrame::BlockCommand:
    case SweepFrame::ShortUpload: {
        std::vector<double> samples;
        const int n = RunStep([&] { rig.ReadBlock(samples); });
        return {n == 0, n == 0 || n == LinkError::SendCommandFailed || n == LinkError::ReadDataFailed,
                board.State() == FirmwareState::RunningCommand && samples == rig.BlockCodes(kUploadSamples)};
    }
    case SweepFrame::Download: {
        const std::int16_t n = rig.Load();
        return {n == 0, n == 0 || n == 3 || n == 5 || n == 6 || n == 7,
                InProgram(board.State()) && board.LatchValue() == BoardRig::kKv2680Latch
                    && board.Firmware().ProgramWords() == std::vector<std::uint32_t>{0x123456, 0xABCDEF, 0}};
    }
    case SweepFrame::Reset:
        rig.session.Reset();
        const QStringList lines = rig.status1.Texts();
        return {lines == QStringList{"Board Reset"}, lines == QStringList{"Board Reset"} || lines == QStringList{"Reset Failure"},
                board.State() == FirmwareState::LoaderCommand};
    }
    return {};
}

// Transfers of each exchange that a fault may hit, by SweepFrame: the frame's own bytes,
// the upload's samples, for the download its command, length, three packets with answers,
// latch load, start and the start of the check block; for the reset its command and the
// loader check.
constexpr int kPositions[kSweepFrames] = {4, 4, 4, 2 * kUploadSamples, 4 + 2 + 15 + 8 + 4 + 4, 4 + 10 + 1};

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

SweepCounts RunCase(const QString& programFile, const SweepOptions& options, SweepFrame frame, LineFault fault,
                    int position)
{
    SweepCounts c;
    c.cases = 1;
    SweepRig rig(programFile, options);
    if (rig.Load() != 0)
        return c;   // not handled: the healthy board did not even boot
    if (frame == SweepFrame::Download) {
        rig.session.Reset();   // as Setup Load does before it downloads
        rig.status1.ClearLines();
    }
    rig.board.StrikeAfter(fault, (frame == SweepFrame::ShortUpload ? 4 : 0) + position);
    rig.ports.ResetAccessCounts();
    try {
        const Outcome o = Run(rig, frame);
        // A fault on a transfer the exchange never reached does not strike the recovery.
        rig.board.Faults().lineFault = LineFault::None;
        c.falseSuccesses = o.success && !o.true_;
        c.undocumented = !o.documented;
        bool usable = o.success && o.true_ && frame != SweepFrame::Reset && rig.Usable();
        if (!usable)
            usable = rig.Recover();
        if (!usable) {
            rig.board.PressResetButton();
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

SweepResult RunFaultSweep(const SweepOptions& options)
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
            for (int p = 0; p < kPositions[f]; ++p) {
                const SweepCounts c = RunCase(programFile, options, SweepFrame(f), kSweepFaults[k], p);
                Add(result.byCase[std::size_t(f)][k], c);
                Add(result.total, c);
                if (!c.handled)
                    result.notHandled.push_back(std::string(SweepFrameName(SweepFrame(f))) + " / "
                                                + LineFaultName(kSweepFaults[k]) + " / transfer "
                                                + std::to_string(p + 1) + ": " + SweepSummaryLine(c));
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
    using std::to_string;
    return "cases " + to_string(c.cases) + ", handled " + to_string(c.handled) + ", hangs " + to_string(c.hangs)
        + ", false successes " + to_string(c.falseSuccesses) + ", needing the board's button " + to_string(c.needButton)
        + ", undocumented errors " + to_string(c.undocumented) + ", not recovered " + to_string(c.lost);
}
