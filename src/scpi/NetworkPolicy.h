#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <optional>

// Where the server listens: ADDR:PORT, an IPv6 address in brackets ([::1]:5025).
struct ListenEndpoint {
    QHostAddress address;
    quint16 port = 0;
};
std::optional<ListenEndpoint> ParseListenAddress(const QString& text);

// The networks clients may come from (--allow CIDR); everyone when none is given.
class ClientFilter {
public:
    // False for a text that is no network (192.168.1.0/24, 10.0.0.7, fd00::/8).
    bool Add(const QString& cidr);
    bool Allows(const QHostAddress& peer) const;

private:
    QList<QPair<QHostAddress, int>> networks_;
};
