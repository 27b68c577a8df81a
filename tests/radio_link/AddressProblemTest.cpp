#include "LinkHarness.h"

#include <QAbstractSocket>

#include <gtest/gtest.h>

// What a connection attempt cannot fix is named in the status bar, and the command waits
// until the user has put it right.
TEST(AddressProblems, AreNamedAndTheCommandWaitsForTheCorrection) {
    LinkHarness h;
    h.link.settings.txtPort = QStringLiteral("99999999");
    h.queue(0, {QStringLiteral("POWER")});
    h.run(400);
    EXPECT_EQ(h.port(0).connectCalls, 0);
    EXPECT_EQ(h.link.view.StatusPanel[3], QStringLiteral("Invalid port 99999999: use 1 to 65535"));
    EXPECT_EQ(h.link.telnet.pending(0), QStringList{QStringLiteral("POWER")});

    h.link.settings.txtPort = QStringLiteral("8080");
    h.link.settings.txtUrl = QStringLiteral("  ");
    h.run(200);
    EXPECT_EQ(h.link.view.StatusPanel[3], QStringLiteral("No address: type the radio's address"));
    EXPECT_EQ(h.port(0).connectCalls, 0);

    // A name that does not resolve fails as such.
    h.accept = false;
    h.link.settings.txtUrl = QStringLiteral("radio.invalid");
    h.run(80);
    ASSERT_EQ(h.port(0).state, TcpSocket::sckConnecting);
    h.port(0).fail(int(QAbstractSocket::HostNotFoundError), QStringLiteral("Host not found"));
    EXPECT_TRUE(h.link.view.StatusPanel[3].startsWith(QStringLiteral("Unknown host radio.invalid: Fail in ")))
        << h.link.view.StatusPanel[3].toStdString();
    EXPECT_EQ(h.link.telnet.pending(0), QStringList{QStringLiteral("POWER")});

    // Corrected, the command goes, once.
    h.accept = true;
    h.link.settings.txtUrl = QStringLiteral("192.168.1.119");
    h.run(1500);
    EXPECT_EQ(h.commands(0), QStringList{QStringLiteral("POWER")});
    EXPECT_TRUE(h.link.view.StatusPanel[3].startsWith(QStringLiteral("Open in ")));
}

// Noise from the radio reaches the terminal with its control characters made visible and inert;
// line ends and tabs stay as they are.
TEST(TerminalView, ShowsControlCharactersHarmlessly) {
    LinkView view;
    view.clearTerminal();
    view.appendTerminal(QString::fromLatin1("a\x00\x1b[2J\x07\tb\r\n\x7f\x85\xa0z", 15));
    EXPECT_EQ(view.TelnetData, QStringLiteral("a\u2400\u241b[2J\u2407\tb\r\n\u2421\ufffd z"));
    view.TerminalUnlocked = true;
    view.editTerminal(QString::fromLatin1("\x1b"));
    EXPECT_EQ(view.TelnetData, QStringLiteral("\u241b"));
}
