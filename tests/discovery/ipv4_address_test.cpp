// The IPv4 address the join list shows and the beacon sends to: its text forms
// and which addresses count as this machine.
#include "ipv4_address.h"

#include <gtest/gtest.h>

using namespace discovery;

TEST(Ipv4Address, ReadsAndWritesDottedQuadsInNetworkOrder)
{
    EXPECT_EQ(Ipv4Address(0xC0000207u).toString(), QStringLiteral("192.0.2.7"));
    EXPECT_EQ(Ipv4Address().toString(), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(Ipv4Address::loopbackBroadcast().toString(), QStringLiteral("127.255.255.255"));
    EXPECT_EQ(Ipv4Address::fromString(QStringLiteral("10.1.2.3")), Ipv4Address(0x0A010203u));
    for (const char* text : { "255.255.255.255", "127.0.0.1", "198.51.100.5" })
        EXPECT_EQ(Ipv4Address::fromString(QString::fromLatin1(text))->toString(), QString::fromLatin1(text));

    for (const QString& text : { QStringLiteral(""), QStringLiteral("10.1.2"), QStringLiteral("256.1.2.3"),
             QStringLiteral(" 10.1.2.3"), QStringLiteral("::1"), QStringLiteral("::ffff:10.1.2.3"),
             QStringLiteral("host.example"), QStringLiteral("10.1.2.3") + QChar(0) + QStringLiteral("9"),
             QStringLiteral("10.1.2.\u0663") })
        EXPECT_FALSE(Ipv4Address::fromString(text).has_value()) << text.toStdString();
}

TEST(Ipv4Address, LoopbackIsTheWholeOf127)
{
    EXPECT_TRUE(Ipv4Address::localHost().isLoopback());
    EXPECT_TRUE(Ipv4Address::loopbackBroadcast().isLoopback());
    EXPECT_TRUE(Ipv4Address(0x7F000102u).isLoopback());
    EXPECT_FALSE(Ipv4Address(0x7EFFFFFFu).isLoopback());
    EXPECT_FALSE(Ipv4Address(0x80000001u).isLoopback());
    EXPECT_FALSE(Ipv4Address(0x0100007Fu).isLoopback()) << "1.0.0.127: 127 in the wrong byte";
}
