#include "LinkHarness.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

Timer &checkOut(LinkHarness &h) {
    return h.link.telnet.CheckOutBuffer();
}

} // namespace

TEST(Queue, SendsOnePerTickChannelZeroFirstAndQxDelaySpacesThem) {
    LinkHarness h;
    h.link.telnet.QueueCommand(1, QStringLiteral("MINFO"));
    h.link.telnet.QueueCommand(0, QStringLiteral("A"));
    h.link.telnet.QueueCommand(0, QStringLiteral("B"));
    h.link.telnet.QueueCommand(0, QStringLiteral("QXDELAY"));
    h.link.telnet.QueueCommand(0, QStringLiteral("C"));
    h.link.telnet.QueueCommand(0, QStringLiteral("QXDELAY"));
    h.link.telnet.QueueCommand(0, QStringLiteral("QXDELAY"));
    h.link.telnet.QueueCommand(0, QStringLiteral("D"));
    h.run(2000);

    EXPECT_EQ(h.commands(), (QStringList{"A", "B", "C", "D", "MINFO"}));
    // 75 ms pace; one QXDELAY holds the next command 200 ms, two hold it 400 ms.
    EXPECT_EQ(h.times(), (QList<qint64>{75, 150, 425, 900, 975}));
    // Each command went on a connection of its own, exactly as queued.
    EXPECT_EQ(h.port(0).connectCalls, 4);
    EXPECT_EQ(h.port(1).connectCalls, 1);
    EXPECT_EQ(h.port(0).host, QStringLiteral("192.168.1.119"));
    EXPECT_EQ(h.port(0).port, 8080);
    EXPECT_EQ(h.port(0).localPort, 0);
    EXPECT_TRUE(h.link.telnet.pending(0).isEmpty());
    EXPECT_TRUE(h.link.telnet.pending(1).isEmpty());
}

TEST(Queue, WaitsForTheReplyInFiftyMillisecondSteps) {
    LinkHarness h;
    h.replyDelay = 210;
    h.link.telnet.QueueCommand(0, QStringLiteral("A"));
    h.link.telnet.QueueCommand(0, QStringLiteral("B"));
    h.run(80);
    ASSERT_EQ(h.commands(), QStringList{"A"});
    EXPECT_TRUE(h.link.connection.ResetTimer().isEnabled());
    const int firesBefore = static_cast<FakeTimer &>(checkOut(h)).fireCount();
    h.run(200); // up to 280: the reply comes at 285
    EXPECT_EQ(h.commands(), QStringList{"A"});
    EXPECT_EQ(checkOut(h).interval(), 50);
    EXPECT_EQ(static_cast<FakeTimer &>(checkOut(h)).fireCount() - firesBefore, 3); // 150, 200, 250
    h.run(100);
    EXPECT_EQ(h.times(), (QList<qint64>{75, 300}));
}

TEST(Queue, UnreachableRadioKeepsTheHeadCommandAndStretchesTheTimeout) {
    LinkHarness h;
    h.accept = false;
    h.link.telnet.QueueCommand(0, QStringLiteral("A"));
    h.link.telnet.QueueCommand(0, QStringLiteral("B"));
    h.link.telnet.QueueCommand(1, QStringLiteral("STATE"));

    QStringList results;
    QObject::connect(&h.link.view, &LinkView::changed, [&] {
        if (results.isEmpty() || results.last() != h.link.view.StatusPanel[3]) {
            results << h.link.view.StatusPanel[3];
        }
    });
    h.run(2000);
    // Attempts at 75, 600 and 1275, each waiting 0.1 s longer than the one before.
    EXPECT_EQ(h.port(0).connectCalls, 3);
    EXPECT_EQ(results, (QStringList{"Fail in 0.5 sec [0.5]", "Fail in 0.6 sec [0.6]", "Fail in 0.7 sec [0.7]"}));
    EXPECT_EQ(h.link.view.UrlToolTip, QStringLiteral("Could not open port"));
    EXPECT_TRUE(h.sent.empty());
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"A", "B"}));
    EXPECT_EQ(h.link.telnet.pending(1), QStringList{"STATE"});
    EXPECT_FLOAT_EQ(h.link.connection.ConnectExtra, 0.3f);

    // The radio comes back: nothing was lost or reordered, and each success gives 0.1 s back.
    h.accept = true;
    h.run(1000);
    EXPECT_EQ(h.commands(), (QStringList{"A", "B", "STATE"}));
    EXPECT_NEAR(h.link.connection.ConnectExtra, 0.0f, 1e-6);

    // A refused connection fails at once and is tried again on the next tick.
    h.port(0).state = TcpSocket::sckClosed;
    h.accept = false;
    h.link.telnet.QueueCommand(0, QStringLiteral("C"));
    h.run(80);
    h.port(0).refuseConnection();
    h.run(1);
    EXPECT_TRUE(h.link.view.StatusPanel[3].startsWith(QStringLiteral("Fail in 0")));
    EXPECT_EQ(h.link.view.PointerBorderColour, LinkColour::Blue);
    EXPECT_EQ(h.link.telnet.pending(0), QStringList{"C"});
    h.accept = true;
    h.run(200);
    EXPECT_EQ(h.commands().last(), QStringLiteral("C"));

    // Past 3 s of extra waiting the extra starts again from nothing.
    h.link.connection.ConnectExtra = 2.95f;
    h.accept = false;
    h.link.connection.DoOpenPort(1);
    h.run(3440);
    EXPECT_NEAR(h.link.connection.ConnectExtra, 2.95f, 1e-6);
    h.run(20);
    EXPECT_EQ(h.link.view.StatusPanel[3], QStringLiteral("Fail in 3.45 sec [3.45]"));
    EXPECT_EQ(h.link.connection.ConnectExtra, 0.0f);
}

TEST(Queue, MoreThanTwoHundredWaitingCommandsCollapseToTheOldest) {
    LinkHarness h;
    for (int i = 0; i < 200; ++i) {
        h.link.telnet.QueueCommand(1, QStringLiteral("Q%1").arg(i));
    }
    h.link.telnet.CompactQueues();
    EXPECT_EQ(h.link.telnet.pending(1).size(), 200);
    h.link.telnet.QueueCommand(1, QStringLiteral("Q200"));
    EXPECT_EQ(h.link.telnet.pending(1).size(), 201);
    h.link.telnet.CompactQueues();
    EXPECT_EQ(h.link.telnet.pending(1), QStringList{"Q0"});
    // Gaps close in one pass and a command is never "" (that would be a free slot).
    h.link.telnet.QueueCommand(1, QString());
    h.link.telnet.Channels[1].Outbound = QStringList{"", "X", "", "", "Y", "", "Z"};
    h.link.telnet.CompactQueues();
    EXPECT_EQ(h.link.telnet.Channels[1].Outbound, (QStringList{"X", "Y", "Z", ""}));
}

TEST(Queue, OkEmptiesTheQueryChannelButKeepsCommands) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("sounds")));
    QFile wav(folder.filePath(QStringLiteral("sounds/ok.wav")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.close();

    LinkHarness h;
    h.link.settings.ProgramFolder = folder.path();
    h.link.connection.start();
    h.answer = [](const QString &command) {
        return std::optional<QString>(command == QLatin1String("A") ? QStringLiteral("OK\r\n\r\n")
                                                                    : QStringLiteral("ERR\r\n"));
    };
    h.link.telnet.QueueCommand(0, QStringLiteral("A"));
    h.link.telnet.QueueCommand(0, QStringLiteral("QXDELAY"));
    h.link.telnet.QueueCommand(0, QStringLiteral("B"));
    h.link.telnet.QueueCommand(1, QStringLiteral("MINFO"));
    h.run(110); // the reply tick ran at 100; the refresh it asked for comes at 120
    EXPECT_EQ(h.commands(), QStringList{"A"});
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"QXDELAY", "B"}));
    EXPECT_TRUE(h.link.telnet.pending(1).isEmpty());
    // The pair of line ends shows as one, the sound plays from the sounds folder whatever its
    // letter case, and the poll is told to ask at once.
    EXPECT_EQ(h.link.view.TelnetData, QStringLiteral("OK\r\n\r\n"));
    ASSERT_EQ(h.platform.fakeSound.played.size(), 1);
    EXPECT_TRUE(h.platform.fakeSound.played[0].endsWith(QStringLiteral("sounds/ok.wav")));
    EXPECT_TRUE(h.state.ExpectVolume && h.state.ExpectState && h.state.NeedVolume);
    EXPECT_EQ(h.link.view.PointerBorderColour, LinkColour::Green);

    // While a macro runs the acknowledgement is silent and leaves the poll countdown alone.
    h.link.hooks.macroRunning = [] { return true; };
    h.state.ExpectVolume = false;
    h.link.telnet.QueueCommand(0, QStringLiteral("A"));
    h.run(600);
    EXPECT_EQ(h.commands(0), (QStringList{"A", "B", "A"}));
    EXPECT_EQ(h.platform.fakeSound.played.size(), 1);
    EXPECT_FALSE(h.state.ExpectVolume);
}

TEST(Queue, SoundNames) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("sounds")));
    for (const char *name : {"ok.Wav", "sounds/fail.wav", "sounds/Beep.WAV"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    FakeSoundPlayer player;
    EXPECT_EQ(PlaySoundFile(player, folder.path(), QStringLiteral("ok")), folder.path() + "/ok.Wav");
    EXPECT_EQ(PlaySoundFile(player, folder.path(), QStringLiteral("fail")), folder.path() + "/sounds/fail.wav");
    EXPECT_EQ(PlaySoundFile(player, folder.path(), QStringLiteral("beep.wav")), folder.path() + "/sounds/Beep.WAV");
    EXPECT_EQ(PlaySoundFile(player, folder.path(), QStringLiteral("missing")), QString());
    EXPECT_EQ(PlaySoundFile(player, folder.path(), QString()), QString());
    EXPECT_EQ(player.played.size(), 3);
}

TEST(Queue, UnansweredCommandsAreRetriedThenGivenUp) {
    LinkHarness h;
    h.answer = [](const QString &command) -> std::optional<QString> {
        if (command == QLatin1String("A")) {
            return std::nullopt; // stalls
        }
        return QStringLiteral("OK\r\n");
    };
    h.link.telnet.QueueCommand(0, QStringLiteral("A"));
    h.link.telnet.QueueCommand(0, QStringLiteral("B"));
    h.run(3000);
    // The no-reply time-out closes both sockets; A stays first and goes again.
    EXPECT_EQ(h.commands(), (QStringList{"A", "A"}));
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"A", "B"}));
    h.run(5000);
    // After three unanswered tries it is given up (and said so) so B is not held for ever.
    EXPECT_EQ(h.commands(0), (QStringList{"A", "A", "A", "B"}));
    EXPECT_TRUE(h.link.view.TelnetData.contains(QStringLiteral("[no reply to A after 3 tries]")));

    // A connection dropped without a reply: the command goes again at the next tick.
    int drops = 1;
    h.answer = [&](const QString &) -> std::optional<QString> {
        if (drops-- > 0) {
            return QString(); // closed without a reply
        }
        return QStringLiteral("OK\r\n");
    };
    h.sent.clear();
    h.link.telnet.QueueCommand(0, QStringLiteral("C"));
    h.run(400);
    EXPECT_EQ(h.commands(0), (QStringList{"C", "C"}));
    EXPECT_TRUE(h.link.telnet.pending(0).isEmpty());
}

TEST(Queue, QueryQueuedAgainWhileItsTwinIsInFlightIsKept) {
    LinkHarness h;
    h.link.settings.UpdateDisplayLabels = false;
    h.replyDelay = 30;
    h.answer = [](const QString &) { return std::optional<QString>(QStringLiteral("Menu state=3\r\n")); };
    h.link.telnet.QueueCommand(1, QStringLiteral("MINFO"));
    h.run(80); // MINFO is on its way
    ASSERT_EQ(h.commands(), QStringList{"MINFO"});
    // An acknowledgement empties the query channel and the poll asks again.
    h.link.connection.ResetOutboundBuffer();
    h.link.telnet.QueueCommand(1, QStringLiteral("MINFO"));
    h.run(100);
    EXPECT_EQ(h.commands(), (QStringList{"MINFO", "MINFO"}));
}

TEST(Connection, ResolvedHostsAndToolTip) {
    LinkHarness h;
    h.accept = false;
    h.link.settings.txtUrl = QStringLiteral("radio");
    Timer &refresh = h.link.poll.UpdateTimer();
    refresh.setEnabled(true);
    h.link.connection.ConnectButton_Click();
    EXPECT_EQ(h.port(0).host, QStringLiteral("radio"));
    EXPECT_FALSE(refresh.isEnabled()); // no polls pile up while a connection is being opened
    h.run(20);
    h.port(0).acceptConnection(QStringLiteral("192.168.1.119"));
    EXPECT_TRUE(refresh.isEnabled());
    EXPECT_EQ(h.link.view.StatusPanel[3], QStringLiteral("Open in 0.02 sec [0.5]"));
    EXPECT_EQ(h.link.view.UrlToolTip, QStringLiteral("radio Resolves to 192.168.1.119"));
    ASSERT_EQ(h.link.connection.ResolvedHosts.size(), 2u);
    EXPECT_EQ(h.link.connection.ResolvedHosts[1].HostName, QStringLiteral("radio"));
    EXPECT_EQ(h.link.view.PointerBorderColour, LinkColour::Yellow);

    // The next connection goes straight to the cached address.
    h.link.connection.DisconnectButton_Click();
    h.link.connection.ConnectButton_Click();
    EXPECT_EQ(h.port(0).host, QStringLiteral("192.168.1.119"));
    h.port(0).acceptConnection(QStringLiteral("192.168.1.120"));
    EXPECT_EQ(h.link.connection.ResolvedHosts.size(), 2u);
    EXPECT_EQ(h.link.view.UrlToolTip, QStringLiteral("radio Resolves to 192.168.1.120"));
}

TEST(Connection, RepliesAreJoinedAndLeftoversPrefixTheNextReply) {
    LinkHarness h;
    h.accept = false;
    h.link.connection.start();
    h.link.connection.ConnectButton_Click();
    h.port(0).acceptConnection();
    h.port(0).receive(QStringLiteral("VER="));
    h.port(0).receive(QStringLiteral("1.2.3\r\n"));
    h.run(150);
    EXPECT_EQ(h.state.VersionText, QString()); // handed on only when the radio closes
    h.port(0).peerClose();
    h.run(100);
    EXPECT_EQ(h.state.VersionText, QStringLiteral("1.2.3"));

    // Text on a connection the program closed itself waits for the next reply.
    h.link.connection.ConnectButton_Click();
    h.port(0).acceptConnection();
    h.port(0).receive(QStringLiteral("left"));
    h.link.connection.DisconnectButton_Click();
    h.run(100);
    EXPECT_EQ(h.link.telnet.Channels[0].Received, QStringLiteral("left"));
    h.link.connection.ConnectButton_Click();
    h.port(0).acceptConnection();
    h.port(0).receive(QStringLiteral("over\r\n"));
    h.port(0).peerClose();
    h.run(100);
    EXPECT_TRUE(h.link.view.TelnetData.endsWith(QStringLiteral("leftover\r\n")));
}

TEST(Connection, OversizedReplyIsCutAndTheTerminalKeepsItsTail) {
    LinkHarness h;
    h.link.connection.start();
    h.link.connection.ConnectButton_Click();
    h.port(0).acceptConnection();
    const QString chunk(300000, QLatin1Char('x'));
    for (int i = 0; i < 4; ++i) {
        h.port(0).receive(chunk);
    }
    EXPECT_EQ(h.link.telnet.Channels[0].Received.size(), RadioConnection::ReceivedCap);
    h.port(0).peerClose();
    h.run(100);
    EXPECT_EQ(h.link.view.TelnetData.size(), LinkView::TerminalLimit);
    EXPECT_TRUE(h.link.view.TelnetData.endsWith(QStringLiteral("[reply cut after 1048576 characters]\r\n")));
    EXPECT_TRUE(h.link.telnet.Channels[0].Received.isEmpty());
}

TEST(Connection, NetworkStateKeepAsConnectedAndRemark) {
    LinkHarness h;
    h.link.connection.start();
    h.link.settings.KeepAsConnected = true;
    h.run(100);
    // Found closed on the 100 ms tick: reopened at once.
    EXPECT_EQ(h.port(0).connectCalls, 1);
    EXPECT_EQ(h.port(1).connectCalls, 1);
    h.run(100);
    EXPECT_EQ(h.link.view.StatusPanel[1], QStringLiteral("Connected"));
    EXPECT_EQ(h.link.view.StatusPanel[2], QStringLiteral("1:0"));
    EXPECT_EQ(h.link.view.HoldOnColour, LinkColour::Green);
    h.port(0).peerClose();
    h.run(100);
    EXPECT_EQ(h.port(0).connectCalls, 2);

    h.link.settings.KeepAsConnected = false;
    h.link.connection.KeepAsConnected_Click();
    EXPECT_EQ(h.port(0).state, TcpSocket::sckClosed);
    EXPECT_EQ(h.port(1).state, TcpSocket::sckClosed);
    // Clearing it again with nothing open is harmless.
    h.link.connection.KeepAsConnected_Click();

    // 1750 ms after a socket was last seen closed, the hint and the result are cleared.
    h.run(1900);
    EXPECT_EQ(h.link.view.HoldOnText, QString());
    EXPECT_EQ(h.link.view.StatusPanel[3], QString());
    h.link.connection.RetryButton_Click();
    EXPECT_EQ(h.link.view.HoldOnText, QStringLiteral("Testing the Water"));
    EXPECT_FALSE(h.link.view.RetryButtonVisible);
}
