// The instrument server against the headless engine, in the same run, on the instant
// simulated board at 8192 samples: READ:WAVeform? as INTeger,16 over a loopback socket
// (block, analysis, 16 KiB answer) against the engine's own block. Goal: the server at
// least 0.8 times the engine's rate. And a continuous run on the real-time board, the
// sample configuration (1024 samples at 100 kHz), with FETCh:METRics? polled every 100 ms
// for KV2680_BENCH_SECONDS (default 60): the process's processor time (server and the
// polling client together) at most 30 % of one core.
#include "cli/Commands.h"
#include "cli/ServeBackend.h"
#include "engine/BoardSession.h"
#include "scpi/ScpiInstrument.h"
#include "scpi/ScpiServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <ctime>

// The tool's main() says whether progress goes to a terminal; the bench shows none.
bool ShowProgress() { return false; }

namespace {

const QString kExamples = QStringLiteral(EXAMPLES_DIR);
double g_engineRate = 0, g_serverRate = 0;

double Rate(benchmark::State& state, std::chrono::steady_clock::time_point start)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["blocks_per_s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    return double(state.iterations()) / seconds;
}

void BM_EngineBlock8192(benchmark::State& state)
{
    PortRequest request;
    request.realTime = false;
    ConsoleSession session(request);
    BringUpBoard(session, kExamples + QStringLiteral("/KV2680.cfg"));
    session.ctx.CurrentSettings.NumberOfSamples = 5;
    BoardSession& engine = session.board;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (engine.TakeBlock() != 0)
            return state.SkipWithError("block failed");
    }
    g_engineRate = Rate(state, start);
}
BENCHMARK(BM_EngineBlock8192)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Sends one message and returns the answer line, pumping the server's events meanwhile.
QByteArray Ask(QTcpSocket& client, const QByteArray& message)
{
    client.write(message + '\n');
    while (!client.canReadLine() && client.state() == QAbstractSocket::ConnectedState)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return client.readLine();
}

// Waits for n bytes, pumping the server's events meanwhile.
bool WaitFor(QTcpSocket& client, qint64 n)
{
    while (client.bytesAvailable() < n && client.state() == QAbstractSocket::ConnectedState)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return client.bytesAvailable() >= n;
}

// A definite-length block answer and its newline; the payload size, or -1.
qint64 ReadBlockAnswer(QTcpSocket& client)
{
    if (!WaitFor(client, 2))
        return -1;
    const QByteArray head = client.read(2);
    const int digits = head.at(1) - '0';
    if (head.at(0) != '#' || !WaitFor(client, digits))
        return -1;
    const qint64 length = client.read(digits).toLongLong();
    if (!WaitFor(client, length + 1))
        return -1;
    client.read(length + 1);
    return length;
}

// The server on its own board with a client connected over loopback.
struct ServedBoard {
    explicit ServedBoard(const PortRequest& port)
        : backend(MakeConsoleBackend(port, kExamples)),
          instrument(*backend, kExamples, QDir::tempPath(), QStringLiteral("bench")), server(instrument, ClientFilter())
    {
    }
    // Listening, connected, and the set-up message answered as expected.
    bool Ready(const QByteArray& setUp, const QByteArray& answer)
    {
        if (!server.Listen({QHostAddress(QHostAddress::LocalHost), 0}))
            return false;
        client.connectToHost(QHostAddress(QHostAddress::LocalHost), server.Port());
        return client.waitForConnected(5000) && Ask(client, setUp) == answer;
    }

    std::unique_ptr<InstrumentBackend> backend;
    ScpiInstrument instrument;
    ScpiServer server;
    QTcpSocket client;
};

void BM_ServerReadWaveformInt16(benchmark::State& state)
{
    PortRequest request;
    request.realTime = false;
    ServedBoard served(request);
    QTcpSocket& client = served.client;
    if (!served.Ready("CONF:FILE \"KV2680.cfg\";*OPC?;:SAMP:COUN 8192;:FORM INT,16;:SYST:ERR?", "1;0,\"No error\"\n"))
        return state.SkipWithError("server or configuration load failed");
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        client.write("READ:WAV?\n");
        if (ReadBlockAnswer(client) != 2 * 8192)
            return state.SkipWithError("short answer");
    }
    g_serverRate = Rate(state, start);
}
BENCHMARK(BM_ServerReadWaveformInt16)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ServerContinuousRunCpu(benchmark::State& state)
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("KV2680_BENCH_SECONDS").toDouble(&ok);
    ServedBoard served(PortRequest{});   // the real-time board
    QTcpSocket& client = served.client;
    if (!served.Ready("CONF:FILE \"KV2680.cfg\";*OPC?", "1\n"))
        return state.SkipWithError("server or configuration load failed");
    for (auto _ : state) {
        const std::clock_t cpu = std::clock();
        const auto start = std::chrono::steady_clock::now();
        const auto end = start + std::chrono::duration<double>(ok && seconds > 0 ? seconds : 60.0);
        Ask(client, "INIT:CONT ON;*OPC?");
        int polls = 0;
        while (std::chrono::steady_clock::now() < end) {
            polls += Ask(client, "FETC:METR?").count(',') == 6;
            // The client's pause between polls: the server's events are handled meanwhile,
            // and the waiting itself costs no processor time.
            QEventLoop pause;
            QTimer::singleShot(100, &pause, &QEventLoop::quit);
            pause.exec();
        }
        Ask(client, "ABOR;*OPC?");
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["cpu_of_one_core"] = double(std::clock() - cpu) / CLOCKS_PER_SEC / wall;
        state.counters["polls_answered"] = polls;
    }
}
BENCHMARK(BM_ServerContinuousRunCpu)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_engineRate > 0 && g_serverRate > 0)
        std::printf("engine %.0f blocks/s, server %.0f blocks/s: ratio %.2f (goal >= 0.8)\n", g_engineRate,
                    g_serverRate, g_serverRate / g_engineRate);
    return 0;
}
