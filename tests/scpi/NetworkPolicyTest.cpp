#include "scpi/NetworkPolicy.h"

#include <gtest/gtest.h>

namespace {

TEST(NetworkPolicy, ListenAddresses)
{
    const struct {
        QString text;
        QString address;   // empty: refused
        quint16 port;
    } cases[] = {
        {"127.0.0.1:5025", "127.0.0.1", 5025},
        {"0.0.0.0:0", "0.0.0.0", 0},
        {"[::1]:5025", "::1", 5025},
        {"localhost:7000", "127.0.0.1", 7000},
        {"::1:5025", "", 0},
        {"127.0.0.1", "", 0},
        {"127.0.0.1:65536", "", 0},
        {"127.0.0.1:-1", "", 0},
        {"nohost:5025", "", 0},
        {":5025", "", 0},
    };
    for (const auto& c : cases) {
        const auto endpoint = ParseListenAddress(c.text);
        EXPECT_EQ(endpoint.has_value(), !c.address.isEmpty()) << c.text.toStdString();
        if (endpoint && !c.address.isEmpty()) {
            EXPECT_EQ(endpoint->address, QHostAddress(c.address)) << c.text.toStdString();
            EXPECT_EQ(endpoint->port, c.port);
        }
    }
}

TEST(NetworkPolicy, AllowedNetworks)
{
    ClientFilter everyone;
    EXPECT_TRUE(everyone.Allows(QHostAddress("203.0.113.9")));

    ClientFilter lab;
    EXPECT_TRUE(lab.Add("192.168.10.0/24"));
    EXPECT_TRUE(lab.Add("10.1.2.3"));
    EXPECT_TRUE(lab.Add("fd00::/8"));
    EXPECT_FALSE(lab.Add("192.168.10.0/33"));
    EXPECT_FALSE(lab.Add("lab"));
    const struct {
        const char* peer;
        bool allowed;
    } cases[] = {
        {"192.168.10.77", true}, {"192.168.11.1", false},        {"10.1.2.3", true},
        {"10.1.2.4", false},     {"::ffff:192.168.10.5", true},  {"fd12::1", true},
        {"fe80::1", false},      {"127.0.0.1", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lab.Allows(QHostAddress(c.peer)), c.allowed) << c.peer;
}

} // namespace
