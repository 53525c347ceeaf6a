#include "scpi/NetworkPolicy.h"

std::optional<ListenEndpoint> ParseListenAddress(const QString& text)
{
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    QString host = text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(u':'))
        return std::nullopt;   // an IPv6 address needs its brackets
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!ok || port > 65535)
        return std::nullopt;
    ListenEndpoint endpoint{QHostAddress(host), quint16(port)};
    if (endpoint.address.isNull()) {
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
            return std::nullopt;
        endpoint.address = QHostAddress(QHostAddress::LocalHost);
    }
    return endpoint;
}

bool ClientFilter::Add(const QString& cidr)
{
    auto network = QHostAddress::parseSubnet(cidr.contains(u'/') ? cidr : cidr + (cidr.contains(u':') ? "/128" : "/32"));
    if (network.second < 0)
        return false;
    networks_ << network;
    return true;
}

bool ClientFilter::Allows(const QHostAddress& peer) const
{
    if (networks_.isEmpty())
        return true;
    QHostAddress address = peer;
    bool mapped = false;
    const quint32 v4 = peer.toIPv4Address(&mapped);
    if (mapped)
        address = QHostAddress(v4);
    for (const auto& network : networks_) {
        if (address.isInSubnet(network))
            return true;
    }
    return false;
}
