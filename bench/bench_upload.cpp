// One 32768-sample upload through the whole link (ReadData: block command, ready wait,
// 65536 handshaked byte reads, masking) over the simulated board in instant mode, against
// an independent loop that performs the same board handshake written out directly on the
// port calls: the four-byte block command, the ready wait, then two handshaked byte reads
// per sample, high byte first. The ratio of the two is the program's own overhead on top
// of the port traffic; the goal is at most 1.1, with both making the same port accesses
// per sample (14 when the board answers at once).
// An 8192-sample upload is also timed with every port access costing 0 and 1000 ns, the
// latter a classic ISA printer port: what a real board's upload costs the program.

#include "board/SimulatedPorts.h"
#include "link/CommsFunctions.h"
#include "engine/EvalContext.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace {

constexpr int kSamples = 32768;
constexpr std::int16_t kExponent = 7;

// The application object on the simulated board, with the one-word program running;
// blocks of 256 * 2^exponent samples.
struct Rig {
    explicit Rig(std::int16_t exponent = kExponent)
    {
        ports.Board().Trace().SetEnabled(false);
        ctx.Link.Port = &ports;
        ctx.Link.PortBaseAddress = 888;
        ctx.CurrentSettings.SampleFreq = 100000;
        ctx.CurrentSettings.NumberOfSamples = exponent;
        ctx.CurrentSettings.NumberOfBits = 12;
        ctx.SampleClock.SetCrystalFrequency(40000000);
        ctx.SampleClock.SetSampleFrequency(100000);
        SendCommand(ctx.Link, 0, 0, 2);
        SendProgramLength(ctx.Link, 1);
        SendPacket(ctx.Link, QStringLiteral("000000"));
        SendCommand(ctx.Link, 0x6C, 0, 3);
        SendCommand(ctx.Link, 0, 0, 4);
    }
    int Samples() const { return 256 << ctx.CurrentSettings.NumberOfSamples; }
    void Upload()
    {
        BlockRequest request = ctx.CurrentBlockRequest();
        request.VerifyEnd = verify;
        ReadData(ctx.Link, request, Samples(), ctx.SampleCodes);
    }

    SimulatedPorts ports;
    EvalContext ctx;
    bool verify = false;   // the check that the board has nothing left after the block
};

// The handshake on the bare port calls, with the data (+0), status (+1) and control (+2)
// registers at base. Every status poll is bounded as the link bounds it; a transfer that
// runs out ends the loop.
class HandshakeLoop {
public:
    HandshakeLoop(PortLibrary& port, std::int32_t base) : port_(port), base_(base) {}

    bool Upload(std::int16_t exponent, std::uint16_t period, int samples, int bits, std::vector<double>& out)
    {
        const std::int32_t word = period | 3;
        for (const std::int32_t byte : {std::int32_t(exponent), word >> 8, word & 0xFF, 7})
            if (!Write(byte))
                return false;
        if (!WaitForReady())
            return false;
        out.assign(std::size_t(samples), 0.0);
        const std::int32_t mask = (1 << bits) - 1;
        for (int i = 0; i < samples; ++i) {
            const int high = Read(), low = high < 0 ? -1 : Read();
            if (low < 0)
                return false;
            out[std::size_t(i)] = double(((high << 8) | low) & mask);
        }
        return true;
    }

private:
    static constexpr int PollLimit = 1000;

    // Polls status bit 7 until it shows level; n counts the status reads of one transfer,
    // and the read that brings it past the limit ends the transfer whatever it shows.
    bool WaitStatus(int level, int& n)
    {
        for (;;) {
            const bool shown = ((port_.InByte(base_ + 1) >> 7) & 1) == level;
            if (++n > PollLimit)
                return false;
            if (shown)
                return true;
        }
    }

    bool Write(std::int32_t value)
    {
        const std::int32_t c = port_.InByte(base_ + 2) & 0xD4;
        port_.OutByte(base_ + 2, c);
        for (int i = 0; i < 3; ++i)
            port_.OutByte(base_, value);
        port_.OutByte(base_ + 2, c | 0x03);
        int n = 0;
        const bool acknowledged = WaitStatus(0, n);
        port_.OutByte(base_ + 2, c);
        return acknowledged && WaitStatus(1, n);
    }

    int Read()
    {
        const std::int32_t c = (port_.InByte(base_ + 2) & 0xD4) | 0x20;
        port_.OutByte(base_ + 2, c);
        port_.OutByte(base_ + 2, c | 0x02);
        int n = 0;
        if (!WaitStatus(0, n)) {
            port_.OutByte(base_ + 2, c);
            return -1;
        }
        const int data = port_.InByte(base_) & 0xFF;
        port_.OutByte(base_ + 2, c);
        return WaitStatus(1, n) ? data : -1;
    }

    bool WaitForReady()
    {
        const std::int32_t c = port_.InByte(base_ + 2) & 0xD4;
        port_.OutByte(base_ + 2, c);
        for (int n = 0; port_.InByte(base_ + 1) & 0x80; )
            if (++n > 100000000)
                return false;
        port_.OutByte(base_ + 2, c | 0x02);
        port_.OutByte(base_ + 2, c);
        for (int n = 0; !(port_.InByte(base_ + 1) & 0x80); )
            if (++n > 100000000)
                return false;
        return true;
    }

    PortLibrary& port_;
    std::int32_t base_;
};

struct LoopRig : Rig {
    bool Upload()
    {
        const auto period = std::uint16_t(ctx.SampleClock.TPeriodHigh() * 256 + ctx.SampleClock.TPeriodLow());
        return loop.Upload(kExponent, period, kSamples, ctx.CurrentSettings.NumberOfBits, codes);
    }
    HandshakeLoop loop{ports, 888};
    std::vector<double> codes;
};

void SetSampleCounters(benchmark::State& state, int samples = kSamples)
{
    state.counters["samples_per_second"] =
        benchmark::Counter(double(samples) * double(state.iterations()), benchmark::Counter::kIsRate);
}

double AccessesPerSample(SimulatedPorts& ports, const std::function<void()>& upload, int samples = kSamples)
{
    ports.ResetAccessCounts();
    upload();
    return double(ports.Accesses().Total()) / samples;
}

void BM_Upload32768(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        rig.Upload();
        benchmark::DoNotOptimize(rig.ctx.SampleCodes.data());
    }
    SetSampleCounters(state);
    state.counters["port_accesses_per_sample"] = AccessesPerSample(rig.ports, [&] { rig.Upload(); });
}
BENCHMARK(BM_Upload32768)->Unit(benchmark::kMillisecond);

void BM_HandshakeLoop32768(benchmark::State& state)
{
    LoopRig rig;
    for (auto _ : state) {
        if (!rig.Upload()) {
            state.SkipWithError("the board did not answer the handshake loop");
            return;
        }
        benchmark::DoNotOptimize(rig.codes.data());
    }
    SetSampleCounters(state);
    state.counters["port_accesses_per_sample"] = AccessesPerSample(rig.ports, [&] { rig.Upload(); });
}
BENCHMARK(BM_HandshakeLoop32768)->Unit(benchmark::kMillisecond);

// Both, alternating on one board, so the ratio is measured under the same conditions;
// both must deliver the same codes. The reported time is the upload's.
void BM_UploadOverHandshakeLoop(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    LoopRig rig;
    std::vector<double> upload, loop;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        rig.Rig::Upload();
        const auto t1 = Clock::now();
        const bool answered = rig.Upload();
        const auto t2 = Clock::now();
        if (!answered || rig.codes.size() != rig.ctx.SampleCodes.size()) {
            state.SkipWithError("the handshake loop and the upload disagree");
            return;
        }
        const double u = std::chrono::duration<double>(t1 - t0).count();
        upload.push_back(u);
        loop.push_back(std::chrono::duration<double>(t2 - t1).count());
        state.SetIterationTime(u);
    }
    SetSampleCounters(state);
    std::sort(upload.begin(), upload.end());
    std::sort(loop.begin(), loop.end());
    state.counters["median_ratio_to_handshake_loop"] = upload[upload.size() / 2] / loop[loop.size() / 2];
}
BENCHMARK(BM_UploadOverHandshakeLoop)->UseManualTime()->Unit(benchmark::kMillisecond);

// One 8192-sample block through the link with every port access taking the first
// argument's time in ns, without and with the upload check. The upload time over the port
// time of its accesses shows what the link itself adds on a slow port; the check adds one
// unanswered read attempt (about 1000 status reads) per block.
void BM_Upload8192AccessNs(benchmark::State& state)
{
    Rig rig(5);
    rig.verify = state.range(1) != 0;
    const auto perAccess = std::chrono::nanoseconds(state.range(0));
    rig.ports.AccessTime().Set(perAccess);
    for (auto _ : state) {
        rig.Upload();
        benchmark::DoNotOptimize(rig.ctx.SampleCodes.data());
    }
    SetSampleCounters(state, rig.Samples());
    const double perSample = AccessesPerSample(rig.ports, [&] { rig.Upload(); }, rig.Samples());
    state.counters["port_accesses_per_sample"] = perSample;
    state.counters["port_ms_per_block"] = perSample * rig.Samples() * double(perAccess.count()) * 1e-6;
}
BENCHMARK(BM_Upload8192AccessNs)->ArgNames({"access_ns", "verify"})->ArgsProduct({{0, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

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
