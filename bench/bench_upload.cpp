// One 32768-sample upload through the whole link (ReadData: block command, ready wait,
// 65536 handshaked byte reads, masking) over the simulated board in instant mode, against
// a bare loop that makes exactly the same InByte/OutByte calls on the same board. The
// ratio of the two is the program's own overhead on top of the port calls; the goal is
// at most 1.5.

#include "board/SimulatedPorts.h"
#include "link/CommsFunctions.h"
#include "link/EvalContext.h"

#include <QCoreApplication>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kSamples = 32768;
constexpr std::int16_t kExponent = 7;

struct NoEvents : EventPump {
    void ProcessEvents() override {}
};

struct Access {
    std::int32_t address;
    std::int32_t value;   // the value written, or the value read when recorded
    bool out;
};

// Forwards to the simulated port and logs every call.
class RecordingPort final : public PortLibrary {
public:
    explicit RecordingPort(PortLibrary& inner) : inner_(inner) { log.reserve(600000); }
    std::int32_t GetParallelPortCount() override { return inner_.GetParallelPortCount(); }
    std::int16_t ClaimParallelPort(std::int32_t p, std::int32_t f) override { return inner_.ClaimParallelPort(p, f); }
    std::int16_t GetParallelPortInfo(std::int32_t p, PortInfo& i) override { return inner_.GetParallelPortInfo(p, i); }
    std::int16_t ReleaseParallelPort(std::int32_t p) override { return inner_.ReleaseParallelPort(p); }
    std::int32_t InByte(std::int32_t a) override
    {
        const std::int32_t v = inner_.InByte(a);
        log.push_back({a, v, false});
        return v;
    }
    std::int32_t OutByte(std::int32_t a, std::int32_t v) override
    {
        log.push_back({a, v, true});
        return inner_.OutByte(a, v);
    }
    std::vector<Access> log;

private:
    PortLibrary& inner_;
};

// The application object on the simulated board, with the one-word program running.
struct Rig {
    Rig()
    {
        ports.Board().Trace().SetEnabled(false);
        ctx.Port = &ports;
        ctx.PortBaseAddress = 888;
        ctx.Events = &events;
        ctx.Timer1 = &timer1;
        ctx.CurrentSettings.SampleFreq = 100000;
        ctx.CurrentSettings.NumberOfSamples = kExponent;
        ctx.CurrentSettings.NumberOfBits = 12;
        ctx.SampleClock.SetCrystalFrequency(40000000);
        ctx.SampleClock.SetSampleFrequency(100000);
        SendCommand(ctx, 0, 0, 2);
        SendProgramLength(ctx, 1);
        SendPacket(ctx, QStringLiteral("000000"));
        SendCommand(ctx, 0x6C, 0, 3);
        SendCommand(ctx, 0, 0, 4);
    }
    void Upload() { ReadData(ctx, kSamples, ctx.SampleCodes); }

    SimulatedPorts ports;
    NoEvents events;
    QTimer timer1;
    EvalContext ctx;
};

// The calls of one upload, recorded on a twin rig (the board is deterministic, so the
// replay meets the same status values).
std::vector<Access> RecordUpload()
{
    Rig twin;
    RecordingPort recorder(twin.ports);
    twin.ctx.Port = &recorder;
    twin.Upload();
    return std::move(recorder.log);
}

// The bare loop: the same calls through the same interface, nothing else.
std::int64_t Replay(PortLibrary& port, const std::vector<Access>& log)
{
    std::int64_t sink = 0;
    for (const Access& a : log) {
        if (a.out)
            port.OutByte(a.address, a.value);
        else
            sink += port.InByte(a.address);
    }
    return sink;
}

void CheckReplayMatches(Rig& rig, const std::vector<Access>& log)
{
    for (const Access& a : log) {
        if (a.out) {
            rig.ports.OutByte(a.address, a.value);
        } else if (rig.ports.InByte(a.address) != a.value) {
            std::fprintf(stderr, "replay diverged from the recorded upload\n");
            std::abort();
        }
    }
}

void SetSampleCounters(benchmark::State& state)
{
    state.counters["samples_per_second"] =
        benchmark::Counter(double(kSamples) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Upload32768(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.Upload();
        benchmark::DoNotOptimize(rig.ctx.SampleCodes.data());
    }
    SetSampleCounters(state);
    rig.ports.ResetAccessCounts();
    rig.Upload();
    state.counters["register_accesses_per_byte"] = double(rig.ports.Accesses().Total()) / (2.0 * kSamples);
}
BENCHMARK(BM_Upload32768)->Unit(benchmark::kMillisecond);

void BM_BareRegisterLoop(benchmark::State& state)
{
    const std::vector<Access> log = RecordUpload();
    Rig rig;
    CheckReplayMatches(rig, log);
    PortLibrary& port = rig.ports;
    for (auto _ : state)
        benchmark::DoNotOptimize(Replay(port, log));
    state.counters["port_calls"] = double(log.size());
}
BENCHMARK(BM_BareRegisterLoop)->Unit(benchmark::kMillisecond);

// Both, alternating on one board, so the ratio is measured under the same conditions.
// The reported time is the upload's.
void BM_UploadOverBareLoop(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const std::vector<Access> log = RecordUpload();
    Rig rig;
    PortLibrary& port = rig.ports;
    double upload = 0, bare = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        rig.Upload();
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(Replay(port, log));
        const auto t2 = Clock::now();
        const double u = std::chrono::duration<double>(t1 - t0).count();
        upload += u;
        bare += std::chrono::duration<double>(t2 - t1).count();
        state.SetIterationTime(u);
    }
    SetSampleCounters(state);
    state.counters["ratio_to_bare_loop"] = upload / bare;
}
BENCHMARK(BM_UploadOverBareLoop)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);   // Timer1 is a QTimer
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
