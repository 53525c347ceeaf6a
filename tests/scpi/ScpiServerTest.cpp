#include "FakeBackend.h"

#include "scpi/ScpiServer.h"

#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Harness {
    FakeInstrument fake;
    ScpiServer server{fake.instrument, ClientFilter()};

    Harness()
    {
        EXPECT_TRUE(server.Listen({QHostAddress(QHostAddress::LocalHost), 0}));
        server.SetUnterminatedTimeout(200);
    }
    std::unique_ptr<QTcpSocket> Connect()
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress(QHostAddress::LocalHost), server.Port());
        EXPECT_TRUE(socket->waitForConnected(5000));
        return socket;
    }
};

QByteArray Query(QTcpSocket& socket, const QByteArray& message)
{
    socket.write(message + '\n');
    if (!QTest::qWaitFor([&] { return socket.canReadLine(); }, 5000))
        return "(no answer)";
    return socket.readLine().trimmed();
}

TEST(ScpiServer, OneClientAtATimeAndBadInputNeverHurts)
{
    Harness h;
    auto first = h.Connect();
    EXPECT_EQ(Query(*first, "*IDN?"), "KV2680,SIM,0,2.0");

    // A second client is told and closed; the first one goes on.
    auto second = h.Connect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return second->canReadLine(); }, 5000));
    EXPECT_EQ(second->readLine(), ScpiServer::kBusyLine);
    EXPECT_TRUE(QTest::qWaitFor([&] { return second->state() == QAbstractSocket::UnconnectedState; }, 5000));

    // Lines longer than the limit are dropped whole, in one piece or in many.
    first->write(QByteArray(ScpiServer::kMaxLine + 1, 'A') + '\n');
    for (int i = 0; i < 3; ++i)
        first->write(QByteArray(ScpiServer::kMaxLine / 2, 'B'));
    first->write("\r\n");
    // A query without its newline is dropped after the timeout; other text waits on.
    first->write("*IDN?");
    QTest::qWait(500);
    first->write("\nSAMP:");
    QTest::qWait(500);
    first->write("COUN 2048\n");
    EXPECT_EQ(Query(*first, "SAMP:COUN?\r"), "2048");
    EXPECT_EQ(Query(*first, "SYST:ERR?;ERR?;ERR?;ERR?"),
              "-363,\"Input buffer overrun\";-363,\"Input buffer overrun\";-420,\"Query UNTERMINATED\";0,\"No error\"");

    // Leaving in a continuous run stops it and the next client starts afresh.
    first->write("BOGUS\n");
    EXPECT_EQ(Query(*first, "INIT:CONT ON;CONT?"), "1");
    first->disconnectFromHost();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !h.fake.backend.running; }, 5000));
    auto third = h.Connect();
    EXPECT_EQ(Query(*third, "SYST:ERR:COUN?;:INIT:CONT?"), "0;0");
}

TEST(ScpiServer, OnlyAllowedNetworksGetIn)
{
    FakeInstrument fake;
    ClientFilter filter;
    ASSERT_TRUE(filter.Add("192.0.2.0/24"));
    ScpiServer server(fake.instrument, filter);
    ASSERT_TRUE(server.Listen({QHostAddress(QHostAddress::LocalHost), 0}));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), server.Port());
    ASSERT_TRUE(socket.waitForConnected(5000));
    socket.write("*IDN?\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000));
    EXPECT_TRUE(fake.responses.isEmpty());
}

} // namespace
