#pragma once

#include "scpi/NetworkPolicy.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>

class ScpiInstrument;

// The instrument on a raw TCP socket: newline-terminated program messages in, response
// messages out. One client at a time; a second one is told the instrument is in use and
// closed (after kRecheckMs, so a client reconnecting at once is not mistaken for one).
// A line longer than kMaxLine is dropped with -363. A response the client does not read
// is given up (-410) when the next message arrives while it still waits to be sent; a
// query left without its newline for kUnterminatedMs is dropped with -420 (text without
// a '?' waits for its newline however long it takes).
class ScpiServer : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype kMaxLine = 64 * 1024;
    static constexpr qsizetype kChunk = 64 * 1024;
    static constexpr int kUnterminatedMs = 5000;
    static constexpr int kRecheckMs = 100;
    static constexpr const char* kBusyLine = "The instrument is in use by another client.\n";

    ScpiServer(ScpiInstrument& instrument, ClientFilter filter, QObject* parent = nullptr);
    ~ScpiServer() override;

    bool Listen(const ListenEndpoint& endpoint);
    QString ErrorString() const { return server_.errorString(); }
    quint16 Port() const { return server_.serverPort(); }
    void SetUnterminatedTimeout(int ms) { unterminated_.setInterval(ms); }

private:
    void Accept();
    void Admit(QTcpSocket* socket);
    void Read();
    void Dropped();
    void Line(QByteArray line);
    void Send(const QByteArray& message);
    void Flush();
    void Unterminated();

    ScpiInstrument& instrument_;
    ClientFilter filter_;
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    QByteArray input_;
    bool overrun_ = false;               // dropping the rest of an over-long line
    std::deque<QByteArray> output_;
    QTimer unterminated_;
};
