#include "scpi/ScpiServer.h"

#include "scpi/ScpiError.h"
#include "scpi/ScpiInstrument.h"

ScpiServer::ScpiServer(ScpiInstrument& instrument, ClientFilter filter, QObject* parent)
    : QObject(parent), instrument_(instrument), filter_(std::move(filter))
{
    connect(&server_, &QTcpServer::newConnection, this, &ScpiServer::Accept);
    connect(&instrument_, &ScpiInstrument::Response, this, &ScpiServer::Send);
    unterminated_.setSingleShot(true);
    unterminated_.setInterval(kUnterminatedMs);
    connect(&unterminated_, &QTimer::timeout, this, &ScpiServer::Unterminated);
}

// The sockets go with the listening server; their last signals must not reach a server
// that is half gone.
ScpiServer::~ScpiServer()
{
    for (QTcpSocket* socket : server_.findChildren<QTcpSocket*>())
        socket->disconnect(this);
    server_.close();
}

bool ScpiServer::Listen(const ListenEndpoint& endpoint)
{
    return server_.listen(endpoint.address, endpoint.port);
}

void ScpiServer::Accept()
{
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (!filter_.Allows(socket->peerAddress())) {
            socket->abort();
            continue;
        }
        if (!client_) {
            Admit(socket);
            continue;
        }
        // A client that just closed may not have been noticed yet: look again shortly
        // before turning the newcomer away.
        QTimer::singleShot(kRecheckMs, socket, [this, socket] {
            if (client_) {
                socket->write(kBusyLine);
                socket->disconnectFromHost();
            } else {
                Admit(socket);
            }
        });
    }
}

void ScpiServer::Admit(QTcpSocket* socket)
{
    client_ = socket;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, &ScpiServer::Read);
    connect(socket, &QTcpSocket::bytesWritten, this, &ScpiServer::Flush);
    connect(socket, &QTcpSocket::disconnected, this, &ScpiServer::Dropped);
    if (socket->bytesAvailable() > 0)
        Read();
}

void ScpiServer::Dropped()
{
    if (sender() != client_.data())
        return;
    client_ = nullptr;
    input_.clear();
    overrun_ = false;
    output_.clear();
    unterminated_.stop();
    instrument_.EndSession();
}

void ScpiServer::Read()
{
    if (!client_)
        return;
    input_ += client_->readAll();
    for (;;) {
        const qsizetype end = input_.indexOf('\n');
        if (end < 0)
            break;
        QByteArray line = input_.left(end);
        input_.remove(0, end + 1);
        if (overrun_ || line.size() > kMaxLine) {
            overrun_ = false;
            instrument_.QueueError(ScpiError::InputBufferOverrun);
            continue;
        }
        if (line.endsWith('\r'))
            line.chop(1);
        Line(std::move(line));
        if (!client_)
            return;
    }
    if (input_.size() > kMaxLine) {
        overrun_ = true;
        input_.clear();
    }
    if (input_.isEmpty())
        unterminated_.stop();
    else
        unterminated_.start();
}

void ScpiServer::Line(QByteArray line)
{
    // The previous answer is still waiting for a client that did not read it.
    if (!output_.empty() || client_->bytesToWrite() > 0) {
        output_.clear();
        instrument_.QueueError(ScpiError::QueryInterrupted);
    }
    instrument_.Execute(line);
}

void ScpiServer::Unterminated()
{
    // A client waiting for the answer to a query it never ended; a slow command may go on.
    if (!input_.contains('?'))
        return;
    instrument_.QueueError(ScpiError::QueryUnterminated);
    input_.clear();
}

void ScpiServer::Send(const QByteArray& message)
{
    if (!client_)
        return;
    for (qsizetype at = 0; at < message.size(); at += kChunk)
        output_.push_back(message.mid(at, kChunk));
    Flush();
}

void ScpiServer::Flush()
{
    while (client_ && !output_.empty() && client_->bytesToWrite() < kChunk) {
        client_->write(output_.front());
        output_.pop_front();
        client_->flush();   // straight to the kernel, so bytesToWrite() means an unread client
    }
}
