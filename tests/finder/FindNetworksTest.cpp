#include "finder/FindNetworks.h"

#include "finder/RadioFinder.h"

#include <gtest/gtest.h>

namespace {

quint32 ip(const char *text) {
    quint32 address = 0;
    EXPECT_TRUE(ParseIpv4(QString::fromLatin1(text), address)) << text;
    return address;
}

QString parsed(const char *text) {
    const FindNetworkChoice choice = ParseFindNetwork(QString::fromLatin1(text));
    return choice.ok() ? choice.network.text() : QStringLiteral("refused: ") + choice.error;
}

} // namespace

TEST(FindNetworks, AddressesAreFourDecimalFieldsAndNothingElse) {
    quint32 address = 0;
    ASSERT_TRUE(ParseIpv4(QStringLiteral("192.168.1.7"), address));
    EXPECT_EQ(address, 0xC0A80107u);
    EXPECT_EQ(Ipv4Text(address), QStringLiteral("192.168.1.7"));
    EXPECT_EQ(Ipv4Text(0xFFFFFFFFu), QStringLiteral("255.255.255.255"));
    // The short and odd forms inet_aton would take name other hosts than a reader thinks.
    for (const char *bad : {"10.1", "10.0.0", "10.0.0.0.1", "256.1.1.1", "1.2.3.-4", "1.2.3.+4", "1.2.3. 4", "1.2.3.4x",
                            "0x0a.0.0.1", "1..2.3", "1234.1.1.1", ""}) {
        EXPECT_FALSE(ParseIpv4(QString::fromLatin1(bad), address)) << bad;
    }
}

TEST(FindNetworks, OnlyPrivateAndLoopbackNetworksAreSearched) {
    EXPECT_EQ(parsed("192.168.1.0/24"), QStringLiteral("192.168.1.0/24"));
    EXPECT_EQ(parsed("10.255.255.0/24"), QStringLiteral("10.255.255.0/24"));
    EXPECT_EQ(parsed("172.16.0.0/24"), QStringLiteral("172.16.0.0/24"));
    EXPECT_EQ(parsed("172.31.255.0/24"), QStringLiteral("172.31.255.0/24"));
    EXPECT_EQ(parsed("127.0.0.0/24"), QStringLiteral("127.0.0.0/24"));
    // Just outside each range.
    for (const char *outside :
         {"9.255.255.0/24", "11.0.0.0/24", "172.15.255.0/24", "172.32.0.0/24", "192.167.255.0/24", "192.169.0.0/24",
          "128.0.0.0/24", "8.8.8.8", "0.0.0.0/24", "255.255.255.255", "169.254.1.0/24", "100.64.0.0/24"}) {
        const QString result = parsed(outside);
        EXPECT_TRUE(result.startsWith(QStringLiteral("refused: ")) && result.contains(QStringLiteral("not a private")))
            << outside << ": " << result.toStdString();
    }
    EXPECT_TRUE(IsFindableAddress(ip("172.20.1.1")));
    EXPECT_FALSE(IsFindableAddress(ip("172.32.0.1")));
    EXPECT_TRUE(IsLoopbackAddress(ip("127.255.0.1")));
    EXPECT_FALSE(IsLoopbackAddress(ip("10.0.0.1")));
}

TEST(FindNetworks, NetworksAreAtMostASlash24AndHostBitsAreDropped) {
    EXPECT_EQ(parsed("192.168.1.77/24"), QStringLiteral("192.168.1.0/24"));
    EXPECT_EQ(parsed(" 192.168.1.77/28 "), QStringLiteral("192.168.1.64/28"));
    EXPECT_EQ(parsed("192.168.1.77"), QStringLiteral("192.168.1.77/32"));
    const QString wide = parsed("10.1.2.3/16");
    EXPECT_TRUE(wide.contains(QStringLiteral("wider than a /24"))) << wide.toStdString();
    EXPECT_TRUE(wide.contains(QStringLiteral("10.1.2.0/24"))) << "the /24 to name instead: " << wide.toStdString();
    EXPECT_TRUE(parsed("192.168.0.0/23").contains(QStringLiteral("wider")));
    // A public network is refused as public even when it is also too wide.
    EXPECT_TRUE(parsed("0.0.0.0/0").contains(QStringLiteral("not a private")));
    for (const char *bad : {"10.0.0.0/", "10.0.0.0/33", "10.0.0.0/-1", "10.0.0.0/2 4", "10.0.0.0/24/1", "fe80::/64"}) {
        EXPECT_TRUE(parsed(bad).startsWith(QStringLiteral("refused: "))) << bad;
    }
}

TEST(FindNetworks, HostsLeaveOutTheNetworkAndBroadcastAddresses) {
    const QList<quint32> hosts24 = ParseFindNetwork(QStringLiteral("192.168.7.0/24")).network.hosts();
    ASSERT_EQ(hosts24.size(), 254);
    EXPECT_EQ(hosts24.first(), ip("192.168.7.1"));
    EXPECT_EQ(hosts24.last(), ip("192.168.7.254"));
    const QList<quint32> hosts30 = ParseFindNetwork(QStringLiteral("10.0.0.8/30")).network.hosts();
    EXPECT_EQ(hosts30, (QList<quint32>{ip("10.0.0.9"), ip("10.0.0.10")}));
    // Point-to-point and single-host networks have no network or broadcast address.
    EXPECT_EQ(ParseFindNetwork(QStringLiteral("10.0.0.8/31")).network.hosts(),
              (QList<quint32>{ip("10.0.0.8"), ip("10.0.0.9")}));
    EXPECT_EQ(ParseFindNetwork(QStringLiteral("10.0.0.8")).network.hosts(), QList<quint32>{ip("10.0.0.8")});
    // Built by hand: host bits are dropped, the top of the address space does not wrap.
    EXPECT_EQ((Ipv4Network{ip("10.0.0.13"), 30}.hosts()), (QList<quint32>{ip("10.0.0.13"), ip("10.0.0.14")}));
    EXPECT_EQ((Ipv4Network{0xFFFFFFFFu, 32}.hosts()), QList<quint32>{0xFFFFFFFFu});
    EXPECT_EQ((Ipv4Network{0xFFFFFF00u, 24}.hosts().size()), 254);
    // A network too wide to search gives nothing at all rather than a sweep.
    EXPECT_TRUE((Ipv4Network{ip("10.0.0.0"), 8}.hosts().isEmpty()));
}

TEST(FindNetworks, TheMachinesNetworksAreItsPrivateOnesCutToTheSlash24AroundIt) {
    const QList<Ipv4Network> networks = NetworksToSearch({
        {ip("127.0.0.1"), 8},    // loopback: not the radio's network
        {ip("10.1.2.3"), 8},     // a wide private network: only the /24 around us
        {ip("192.168.5.9"), 28}, // narrower than a /24: as it is
        {ip("8.8.8.8"), 24},     // a public address
        {ip("10.1.2.200"), 16},  // the same /24 again
        {ip("172.16.9.1"), 8},   // a misconfigured mask reaching out of the private range
        {ip("100.64.0.5"), 10},  // carrier-grade NAT space is not ours either
    });
    QStringList texts;
    for (const Ipv4Network &network : networks) {
        texts << network.text();
    }
    EXPECT_EQ(texts, (QStringList{QStringLiteral("10.1.2.0/24"), QStringLiteral("192.168.5.0/28"),
                                  QStringLiteral("172.16.9.0/24")}));
}

TEST(FindNetworks, OnlyAVersionLineIsTheRadiosAnswer) {
    QString version;
    EXPECT_TRUE(TakeVersionAnswer("VER=3.1.7\r\n", version));
    EXPECT_EQ(version, QStringLiteral("3.1.7"));
    EXPECT_TRUE(TakeVersionAnswer("VER=4.0-beta2", version)) << "a close without the line end";
    EXPECT_EQ(version, QStringLiteral("4.0-beta2"));
    EXPECT_TRUE(TakeVersionAnswer("VER=3.1.7\r\nVOL=20\r\n", version)) << "status lines after the answer";
    for (const char *other : {"", "\r\n", "VER=\r\n", "VER= 3.1.7\r\n", "ver=3.1.7\r\n", " VER=3.1.7\r\n",
                              "ERROR unknown command\r\n", "HTTP/1.1 400 Bad Request\r\n", "SSH-2.0-OpenSSH_9.2\r\n",
                              "VER=3.1.7 extra\r\n", "VER=\x1b[2J\r\n", "VER=012345678901234567890123456789012\r\n"}) {
        EXPECT_FALSE(TakeVersionAnswer(QByteArray(other), version)) << other;
    }
}
