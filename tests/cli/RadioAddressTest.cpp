#include "cli/RadioAddress.h"

#include <gtest/gtest.h>

TEST(RadioAddress, HostsPortsAndBracketedIpv6) {
    const struct {
        const char *text;
        const char *host;
        int port;
    } good[] = {
        {"192.168.1.20", "192.168.1.20", 8080},
        {"192.168.1.20:9000", "192.168.1.20", 9000},
        {"  radio.local:1  ", "radio.local", 1},
        {"radio:65535", "radio", 65535},
        {"[::1]:8081", "::1", 8081},
        {"[fe80::1]", "fe80::1", 8080},
        {"fe80::1", "fe80::1", 8080}, // more than one colon: an address without a port
    };
    for (const auto &c : good) {
        const RadioAddress address = ParseRadioAddress(QString::fromLatin1(c.text));
        EXPECT_TRUE(address.ok()) << c.text << ": " << address.error.toStdString();
        EXPECT_EQ(address.host, QString::fromLatin1(c.host)) << c.text;
        EXPECT_EQ(address.port, c.port) << c.text;
    }
    // Printed back as it would be typed: an IPv6 address gets its brackets again.
    EXPECT_EQ(ParseRadioAddress("[::1]:8081").text(), "[::1]:8081");
    EXPECT_EQ(ParseRadioAddress("radio").text(), "radio:8080");
}

TEST(RadioAddress, BadPortsAndHostsSayWhatIsWrong) {
    for (const char *text : {"radio:0", "radio:65536", "radio:99999999999", "radio:-1", "radio:+80", "radio:80x",
                             "radio: 80", "radio:", "radio:0x50", "[::1]:", "[::1", "[::1]8080", "", "   ", ":8080",
                             "ra dio:8080", "radio/x", "[]:80", "radio\n:80"}) {
        const RadioAddress address = ParseRadioAddress(QString::fromLatin1(text));
        EXPECT_FALSE(address.ok()) << '"' << text << "\" was taken as " << address.host.toStdString() << ':'
                                   << address.port;
    }
    EXPECT_TRUE(ParseRadioAddress("radio:65536").error.contains("1 to 65535"));
    EXPECT_TRUE(ParseRadioAddress("[::1").error.contains("bracket"));
}
