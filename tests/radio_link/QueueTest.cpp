#include "LinkHarness.h"

#include <QAbstractSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <map>

TEST(Queue, SendsAtOnceOneAtATimeChannelZeroFirstAndQxDelaySpacesThem) {
    LinkHarness h;
    h.quiet();
    h.queue(1, {"MINFO"});
    h.queue(0, {"A", "B", "QXDELAY", "C", "QXDELAY", "QXDELAY", "D"});
    h.run(2000);
    // Each as soon as the one before it was answered and its connection closed (this radio
    // answers at once); one QXDELAY holds the next command 200 ms, two hold it 400 ms.
    EXPECT_EQ(h.commands(-1, true), (QStringList{"1 A", "2 B", "203 C", "604 D", "605 MINFO"}));
    EXPECT_EQ((std::pair{h.port(0).connectCalls, h.port(1).connectCalls}), (std::pair{4, 1})); // one each
}

// While a reply is awaited the queue sleeps: no tick runs until the reply's connection ends,
// and the next command goes at once then.
TEST(Queue, NextCommandGoesAsTheReplyEndsAndTheQueueSleepsMeanwhile) {
    LinkHarness h;
    h.replyDelay = 210;
    h.queue(0, {"A", "B"});
    h.run(80);
    EXPECT_TRUE(h.link.connection.ResetTimer().isEnabled());
    auto &checkOut = static_cast<FakeTimer &>(h.link.telnet.CheckOutBuffer());
    const int firesBefore = checkOut.fireCount();
    h.run(120); // up to 200: the reply comes at 211
    EXPECT_FALSE(checkOut.isEnabled());
    EXPECT_EQ(checkOut.fireCount(), firesBefore);
    h.run(100);
    EXPECT_EQ(h.commands(-1, true), (QStringList{"1 A", "212 B"}));
}

TEST(Queue, UnreachableRadioKeepsEveryCommandInOrderAndStretchesTheTimeout) {
    LinkHarness h;
    h.accept = false;
    h.queue(0, {"A", "B"});
    h.queue(1, {"STATE"});
    QStringList results;
    QObject::connect(&h.link.view, &RadioView::changed,
                     [&] { results << h.link.view.StatusPanel[3].section(QStringLiteral(": "), 0, 0); });
    h.run(2000);
    results.removeDuplicates();
    results.removeAll(QString()); // before the first attempt
    // Attempts at 75, 600 and 1275, each waiting 0.1 s longer than the one before.
    EXPECT_EQ(h.port(0).connectCalls, 3);
    EXPECT_EQ(results, (QStringList{"Fail in 0.5 sec [0.5]", "Fail in 0.6 sec [0.6]", "Fail in 0.7 sec [0.7]"}));
    EXPECT_EQ(h.link.view.UrlToolTip, "Could not open port");
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"A", "B"}));
    EXPECT_FLOAT_EQ(h.link.connection.ConnectExtra.seconds, 0.3f);
    // The radio comes back: nothing was lost or reordered, and each success gives 0.1 s back.
    h.accept = true;
    h.run(1000);
    EXPECT_EQ(h.commands().mid(0, 3), (QStringList{"A", "B", "STATE"})); // then the polls
    EXPECT_NEAR(h.link.connection.ConnectExtra.seconds, 0.0f, 1e-6);
    // Past 3 s of extra waiting the extra starts again from nothing.
    h.link.connection.ConnectExtra.seconds = 2.95f;
    h.accept = false;
    h.link.connection.DoOpenPort(1);
    h.run(3440);
    EXPECT_NEAR(h.link.connection.ConnectExtra.seconds, 2.95f, 1e-6);
    h.run(20);
    EXPECT_TRUE(h.link.view.StatusPanel[3].startsWith("Fail in 3.45 sec [3.45]: "))
        << h.link.view.StatusPanel[3].toStdString();
    EXPECT_EQ(h.link.connection.ConnectExtra.seconds, 0.0f);
    // No cap on the attempts: for a whole minute every tick tries again and the head stays
    // (with a time limit longer than that minute).
    h.timeouts.KeyTimeLimit = 120;
    const int connects = h.port(0).connectCalls;
    h.queue(0, {"C", "D"});
    h.run(60000);
    EXPECT_GE(h.port(0).connectCalls - connects, 30);
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"C", "D"}));
    h.accept = true;
    h.run(4000);
    EXPECT_EQ(h.commands(0), (QStringList{"A", "B", "C", "D"}));
}

// What a connection attempt cannot fix is named in the status bar, and the command waits
// until the user has put it right.
TEST(Queue, AddressProblemsAreNamedAndTheCommandWaitsForTheCorrection) {
    LinkHarness h;
    h.link.settings.txtPort = "99999999";
    h.queue(0, {"POWER"});
    h.run(400);
    EXPECT_EQ(h.port(0).connectCalls, 0);
    EXPECT_EQ(h.link.view.StatusPanel[3], "Invalid port 99999999: use 1 to 65535");
    EXPECT_EQ(h.link.telnet.pending(0), QStringList{"POWER"});
    h.link.settings.txtPort = "8080";
    h.link.settings.txtUrl = "  ";
    h.run(200);
    EXPECT_EQ(h.link.view.StatusPanel[3], "No address: type the radio's address");
    EXPECT_EQ(h.port(0).connectCalls, 0);
    h.accept = false;
    h.link.settings.txtUrl = "radio.invalid";
    h.run(80);
    ASSERT_EQ(h.port(0).state, TcpSocket::sckConnecting);
    h.port(0).fail(int(QAbstractSocket::HostNotFoundError), "Host not found");
    EXPECT_TRUE(h.link.view.StatusPanel[3].contains("Cannot reach radio.invalid:8080: name not found."))
        << h.link.view.StatusPanel[3].toStdString();
    EXPECT_EQ(h.link.view.UrlToolTip, "Unknown host");
    EXPECT_EQ(h.link.telnet.pending(0), QStringList{"POWER"});
    // Corrected, the command goes, once.
    h.accept = true;
    h.link.settings.txtUrl = "192.168.1.119";
    h.run(1500);
    EXPECT_EQ(h.commands(0), QStringList{"POWER"});
    EXPECT_TRUE(h.link.view.StatusPanel[3].startsWith("Open in "));
}

// A full channel refuses what comes after its 200 commands and says how many it refused; what
// was queued before is kept whole and in order.
TEST(Queue, AFullChannelRefusesTheNewestAndSaysSo) {
    LinkHarness h;
    QList<int> refused;
    QObject::connect(&h.link.view, &RadioView::commandsNotSent, [&](int count, const QString &) { refused << count; });
    for (int i = 0; i < Telnet::Limit; ++i) {
        ASSERT_TRUE(h.link.telnet.QueueCommand(1, QStringLiteral("Q%1").arg(i)));
    }
    EXPECT_FALSE(h.link.telnet.QueueCommand(1, "Q200"));
    EXPECT_FALSE(h.link.telnet.QueueCommand(1, "Q201"));
    h.link.telnet.CompactQueues();
    const QStringList pending = h.link.telnet.pending(1);
    EXPECT_EQ(pending.size(), Telnet::Limit);
    EXPECT_EQ(pending.front(), "Q0");
    EXPECT_EQ(pending.back(), "Q199");
    h.run(1); // said once for the burst, at the next turn of the event loop
    EXPECT_EQ(refused, QList<int>{2});
    EXPECT_TRUE(h.link.view.TelnetData.contains("[2 commands not sent: the queue to the radio is full (200 commands)]"))
        << h.link.view.TelnetData.toStdString();
    // Gaps ("" is a free slot) close in one pass.
    h.link.telnet.Channels[1].Outbound = QStringList{"", "X", "", "", "Y", "", "Z"};
    h.link.telnet.CompactQueues();
    EXPECT_EQ(h.link.telnet.Channels[1].Outbound, (QStringList{"X", "Y", "Z", ""}));
}

// A key press means now: while the radio cannot be reached its keys wait their time limit and
// are then dropped with a line in the terminal, and the radio never gets them when it is back.
// A key pressed after that goes at once.
TEST(Queue, KeysTheRadioDoesNotTakeInTimeAreDroppedNeverSentLate) {
    LinkHarness h;
    h.quiet();
    h.accept = false;
    QStringList why;
    QObject::connect(&h.link.view, &RadioView::commandsNotSent, [&](int, const QString &text) { why << text; });
    h.queue(0, {"VOLp", "QXDELAY", "VOLp", "QXDELAY"});
    h.run(2000);
    h.queue(0, {"MUTE"});
    h.run(2900);
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"VOLp", "QXDELAY", "VOLp", "QXDELAY", "MUTE"}));
    EXPECT_EQ(h.link.view.WaitingCommands, 3);
    h.run(200); // the two VOLp are 5 s old: they go, and the MUTE pressed after them with them
    EXPECT_TRUE(h.link.telnet.pending(0).isEmpty());
    EXPECT_TRUE(h.link.view.TelnetData.contains("[not sent: VOLp VOLp MUTE; the radio did not take them within 5 s]"))
        << h.link.view.TelnetData.toStdString();
    EXPECT_EQ(why, QStringList{"the radio did not take them within 5 s"});
    EXPECT_EQ(h.link.view.WaitingCommands, 0);
    h.accept = true;
    h.run(3000);
    EXPECT_TRUE(h.commands(0).isEmpty());
    h.queue(0, {"OK"});
    h.run(100);
    EXPECT_EQ(h.commands(0), QStringList{"OK"});
    // A key whose time runs out while its connection is being opened does not go either.
    h.accept = false;
    h.queue(0, {"HOME"});
    h.run(4990);
    ASSERT_EQ(h.port(0).state, TcpSocket::sckConnecting);
    h.run(20);
    h.port(0).acceptConnection();
    h.run(100);
    EXPECT_EQ(h.commands(0), QStringList{"OK"});
    EXPECT_TRUE(h.link.telnet.pending(0).isEmpty());
}

// Fed keys go whole however many there are, each once the one before has been answered and its
// gap has passed; a key pressed meanwhile goes next, not behind all of them. When the radio goes
// away the key that cannot go and all after it are dropped together.
TEST(Queue, FedKeysGoAsTheQueueDrainsAndGoTogetherWhenOneCannot) {
    LinkHarness h;
    h.quiet();
    QStringList keys;
    for (int i = 0; i < 300; ++i) {
        keys << QStringLiteral("K%1").arg(i);
    }
    h.link.telnet.FeedKeys(keys);
    h.run(1000);
    EXPECT_EQ(h.link.view.WaitingCommands, 300 - 5);
    h.queue(0, {"MUTE"});
    qsizetype mostLive = 0;
    for (int i = 0; i < 70000; i += 10) {
        h.run(10);
        mostLive = std::max(mostLive, h.link.telnet.pending(0).size());
    }
    EXPECT_LE(mostLive, 3);
    QStringList expected = keys;
    expected.insert(5, "MUTE");
    EXPECT_EQ(h.commands(0), expected);
    EXPECT_EQ(h.link.telnet.feeding(), 0);
    // A gap of 200 ms after each key: the pace of the queue as ever.
    const QStringList timed = h.commands(0, true);
    EXPECT_EQ(timed.mid(0, 3), (QStringList{"1 K0", "202 K1", "403 K2"}));

    h.sent.clear();
    h.link.telnet.FeedKeys({"A", "B", "C", "D"});
    h.run(300);
    h.accept = false;
    h.closeAfterReply = true;
    h.port(0).refuseConnection();
    h.run(6000);
    EXPECT_EQ(h.commands(0), (QStringList{"A", "B"}));
    EXPECT_EQ(h.link.telnet.feeding(), 0);
    EXPECT_TRUE(h.link.view.TelnetData.contains("[not sent: C D; the radio did not take them within 5 s]"))
        << h.link.view.TelnetData.toStdString();
}

TEST(Queue, OkEmptiesTheQueryChannelButKeepsCommandsAndSoundsAreFound) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("sounds"));
    for (const char *name : {"sounds/ok.wav", "fail.Wav", "sounds/Beep.WAV"}) {
        ASSERT_TRUE(QFile(folder.filePath(name)).open(QIODevice::WriteOnly));
    }
    LinkHarness h;
    h.link.settings.ProgramFolder = folder.path();
    h.link.connection.start();
    h.answer = [](const QString &command) { return std::optional<QString>(command == "A" ? "OK\r\n\r\n" : "ERR\r\n"); };
    h.queue(0, {"A", "QXDELAY", "B"});
    h.queue(1, {"MINFO"});
    h.run(10); // A's reply was shown at 2; the refresh it asked for comes 20 ms later
    EXPECT_EQ(h.commands(), QStringList{"A"});
    EXPECT_EQ(h.link.telnet.pending(0), QStringList{"B"}); // held back by the QXDELAY
    EXPECT_TRUE(h.link.telnet.pending(1).isEmpty());
    EXPECT_EQ(h.link.view.TelnetData, "OK\r\n\r\n");
    EXPECT_TRUE(h.state.poll.ExpectVolume && h.state.poll.ExpectState && h.state.needs.NeedVolume);
    EXPECT_EQ(h.link.view.PointerBorderColour, LinkColour::Green);
    // While a macro runs the acknowledgement is silent and leaves the poll countdown alone.
    h.macroRun.running = true;
    h.state.poll.ExpectVolume = false;
    h.queue(0, {"A"});
    h.run(600);
    EXPECT_EQ(h.commands(0), (QStringList{"A", "B", "A"}));
    EXPECT_FALSE(h.state.poll.ExpectVolume);
    // Sounds: the folder, then its sounds folder, ".wav" added unless given, any letter case.
    const QString root = folder.path();
    for (const char *name : {"fail", "beep.wav", "missing", ""}) {
        PlaySoundFile(h.platform.fakeSound, root, name);
    }
    EXPECT_EQ(h.platform.fakeSound.played,
              (QStringList{root + "/sounds/ok.wav", root + "/fail.Wav", root + "/sounds/Beep.WAV"}));
}

// Each way a delivery of A can end, driven step by step on the fake socket. A command the radio
// may have received has left the queue, answered or not, and is never sent again; one that
// never got onto the wire, or that the radio reset its connection over, is first and goes on a
// later tick.
TEST(Queue, DeliveredCommandsLeaveTheQueueUndeliveredOnesStayFirst) {
    const std::map<QString, std::function<void(LinkHarness &)>> steps{
        {"tick", [](LinkHarness &h) { h.platform.fakeClock.advance(75); }},
        {"accept", [](LinkHarness &h) { h.port(0).acceptConnection(); }},
        {"sent", [](LinkHarness &h) { h.port(0).completeSends(); }},
        {"reply", [](LinkHarness &h) { h.port(0).receive("OK\r\n"); }},
        {"close", [](LinkHarness &h) { h.port(0).peerClose(); }},
        {"reset", [](LinkHarness &h) { h.port(0).peerReset(); }},
        {"fail", [](LinkHarness &h) { h.port(0).fail(); }},
        {"refuse", [](LinkHarness &h) { h.port(0).refuseConnection(); }},
        {"disconnect", [](LinkHarness &h) { h.link.connection.DisconnectButton_Click(); }},
        {"wait-connect", [](LinkHarness &h) { h.platform.fakeClock.advance(500); }},
        {"wait-reply", [](LinkHarness &h) { h.platform.fakeClock.advance(2500); }}, // the no-reply time-out
    };
    struct Case {
        const char *name;
        const char *steps;
        QStringList pending; // also what the radio gets afterwards
        bool noReplyLine;
    };
    const Case cases[] = {
        {"answered", "tick accept sent reply close", {"B"}, false},
        {"answered before the send reported", "tick accept reply close", {"B"}, false},
        {"closed without a reply", "tick accept sent close", {"B"}, true},
        {"no reply", "tick accept sent wait-reply", {"B"}, true},
        {"late reply", "tick accept sent wait-reply reply", {"B"}, true},
        {"error after the send", "tick accept sent fail", {"B"}, true},
        {"Disconnect after the send", "tick accept sent disconnect", {"B"}, true},
        // The radio closed with A unread: A goes again, first.
        {"reset after the send", "tick accept sent reset", {"A", "B"}, false},
        {"error before the send completed", "tick accept fail", {"A", "B"}, false},
        {"Disconnect before the send completed", "tick accept disconnect", {"A", "B"}, false},
        {"Disconnect while connecting", "tick disconnect", {"A", "B"}, false},
        {"refused", "tick refuse", {"A", "B"}, false},
        {"connect time-out", "tick wait-connect", {"A", "B"}, false},
    };
    for (const Case &c : cases) {
        LinkHarness h;
        h.accept = false;
        h.queue(0, {"A", "B"});
        for (const QString &step : QString(c.steps).split(' ')) {
            steps.at(step)(h);
        }
        EXPECT_EQ(h.port(0).sent, QString(c.steps).contains("accept") ? QStringList{"A"} : QStringList()) << c.name;
        EXPECT_EQ(h.link.telnet.pending(0), c.pending) << c.name;
        EXPECT_EQ(h.link.view.TelnetData.contains("[no reply to A]"), c.noReplyLine) << c.name;
        // Whatever happened, the queue goes on, and what was left goes once each.
        h.accept = true;
        h.replyAll("OK\r\n");
        h.seen[0] = size_t(h.port(0).sent.size());
        h.carrier[0] = h.port(0).sent.isEmpty() ? -1 : h.port(0).connectCalls; // A's connection, if any
        h.run(3000);
        EXPECT_EQ(h.commands(0), c.pending) << c.name;
        EXPECT_TRUE(h.link.telnet.pending(0).isEmpty() && h.secondWrites.isEmpty()) << c.name;
    }
}

// A reply decoded on the reply tick switches the shared no-reply timer off while the next
// command's connection is still open: the queue must still wait for that connection to end.
TEST(Queue, NothingMoreGoesOntoAnOpenConnection) {
    LinkHarness h;
    h.quiet();
    h.replyDelay = 300;
    h.answer = [](const QString &command) {
        return command == "B" ? std::optional<QString>() : std::optional<QString>("VER=" + command + "\r\n");
    };
    h.queue(1, {"A", "B", "C"});
    h.run(310);
    h.link.telnet.Channels[1].Completed = "VER=0\r\n"; // an earlier reply, decoded now
    h.link.connection.Timer_CheckTelnet_Timer();
    ASSERT_FALSE(h.link.connection.ResetTimer().isEnabled());
    h.run(5000);
    // A is answered at 301; B stalls and its connection is given up 2500 ms after its send.
    EXPECT_EQ(h.commands(1, true), (QStringList{"1 A", "302 B", "2803 C"}));
    EXPECT_TRUE(h.secondWrites.isEmpty()) << h.secondWrites.join(',').toStdString();
    EXPECT_EQ(h.state.VersionText, "C");
    EXPECT_TRUE(h.link.view.TelnetData.contains("[no reply to B]"));
}

// A radio that answers but keeps the connection open: after a short silence the program
// closes the connection itself and takes what came as the reply.
TEST(Queue, ReplyOnAConnectionTheRadioKeepsOpenIsTakenAfterAPause) {
    LinkHarness h;
    h.quiet();
    h.closeAfterReply = false;
    h.answer = [](const QString &command) {
        return std::optional<QString>(command == "VERSION" ? "VER=3.1.7\r\n" : "STATE=ON\r\n");
    };
    h.queue(1, {"VERSION", "STATE"});
    h.run(650);
    EXPECT_EQ(h.state.VersionText, "3.1.7"); // closed at 501, shown and decoded at once
    EXPECT_EQ(h.link.view.TelnetData, "VER=3.1.7\r\n");
    h.run(1000);
    EXPECT_EQ(h.commands(1, true), (QStringList{"1 VERSION", "502 STATE"}));
    EXPECT_EQ(h.state.PowerState, "ON");
    EXPECT_TRUE(h.secondWrites.isEmpty());
    EXPECT_FALSE(h.link.view.TelnetData.contains("[no reply"));
}

// The send of the first MINFO is confirmed only after the poll emptied the query queue and asked
// again: the confirmation must not take the new MINFO off the queue.
TEST(Queue, QueryQueuedAgainWhileItsTwinIsInFlightIsKept) {
    LinkHarness h;
    h.queue(1, {"MINFO"});
    h.platform.fakeClock.advance(75);
    h.port(1).acceptConnection();
    ASSERT_EQ(h.port(1).sent, QStringList{"MINFO"});
    h.link.connection.ResetOutboundBuffer(); // as on "OK"
    h.queue(1, {"MINFO"});
    h.port(1).completeSends();
    EXPECT_EQ(h.link.telnet.pending(1), QStringList{"MINFO"});
}

// The parts of an attempt the link cannot show: a failed socket is reset first, a second
// request joins the running one, and a socket connected already succeeds at once.
TEST(Connection, AttemptResetsAFailedSocketRunsOneAtATimeAndTakesAnOpenSocket) {
    FakePlatform platform;
    ConnectExtraTime extra;
    FakeTcpSocket socket;
    ConnectAttempt attempt(platform, socket, extra);
    QStringList results;
    QObject::connect(&attempt, &ConnectAttempt::finished,
                     [&](bool connected, const QString &result) { results << (connected ? "+" : "-") + result; });
    socket.state = TcpSocket::sckError;
    EXPECT_TRUE(attempt.start("radio", 8899, 0.5f));
    EXPECT_EQ((std::tuple{socket.closeCalls, socket.localPort, socket.host, socket.port}),
              (std::tuple{1, quint16(0), QString("radio"), quint16(8899)}));
    EXPECT_FALSE(attempt.start("other", 1, 0.5f));
    platform.fakeClock.advance(20);
    socket.acceptConnection();
    attempt.start("radio", 8899, 0.5f);
    EXPECT_EQ(socket.connectCalls, 1);
    EXPECT_EQ(results, (QStringList{"+Open in 0.02 sec [0.5]", "+Open in 0 sec [0.5]"}));
}

TEST(Connection, ResolvedHostsAndToolTip) {
    LinkHarness h;
    h.accept = false;
    h.link.settings.txtUrl = "radio";
    Timer &refresh = h.link.poll.UpdateTimer();
    refresh.setEnabled(true);
    h.link.connection.ConnectButton_Click();
    EXPECT_EQ(h.port(0).host, "radio");
    EXPECT_FALSE(refresh.isEnabled()); // no polls pile up while a connection is being opened
    h.run(20);
    h.port(0).acceptConnection("192.168.1.119");
    EXPECT_TRUE(refresh.isEnabled());
    EXPECT_EQ((QStringList{h.link.view.StatusPanel[3], h.link.view.UrlToolTip}),
              (QStringList{"Open in 0.02 sec [0.5]", "radio Resolves to 192.168.1.119"}));
    EXPECT_EQ(h.link.connection.ResolvedHosts.size(), 2u);
    EXPECT_EQ(h.link.view.PointerBorderColour, LinkColour::Yellow);
    h.link.connection.DisconnectButton_Click();
    h.link.connection.ConnectButton_Click();
    EXPECT_EQ(h.port(0).host, "192.168.1.119"); // straight to the cached address
    h.port(0).acceptConnection("192.168.1.120");
    EXPECT_EQ(h.link.connection.ResolvedHosts.size(), 2u);
    EXPECT_EQ(h.link.view.UrlToolTip, "radio Resolves to 192.168.1.120");
}

TEST(Connection, RepliesAreJoinedTextLeftOnAClosedConnectionShowsAndOversizedOnesAreCut) {
    LinkHarness h;
    h.accept = false;
    h.link.connection.start();
    const auto reply = [&](const QStringList &packets, bool close = true) {
        h.link.connection.ConnectButton_Click();
        h.port(0).acceptConnection();
        for (const QString &packet : packets) {
            h.port(0).receive(packet);
            EXPECT_LE(h.link.telnet.Channels[0].Received.size(), RadioConnection::ReceivedCap);
        }
        close ? h.port(0).peerClose() : h.link.connection.DisconnectButton_Click();
        h.run(100);
    };
    reply({"VER=", "1.2.3\r\n"});
    EXPECT_EQ(h.state.VersionText, "1.2.3");
    // Text on a connection the program closed itself is that connection's reply: it is shown
    // then, not glued to the front of some later reply.
    reply({"VOL=", "35"}, false);
    EXPECT_EQ(h.state.VolumeText, "35");
    reply({"OK\r\n"});
    EXPECT_TRUE(h.link.view.TelnetData.endsWith("VOL=35\r\n\r\nOK\r\n"));
    EXPECT_TRUE(h.link.telnet.Channels[0].Received.isEmpty());
    const QString chunk(300000, QLatin1Char('x'));
    reply({chunk, chunk, chunk, chunk});
    EXPECT_EQ(h.link.view.TelnetData.size(), RadioView::TerminalLimit);
    EXPECT_TRUE(h.link.view.TelnetData.endsWith("x\r\n[reply cut after 1048576 characters]\r\n"));
    EXPECT_TRUE(h.link.telnet.Channels[0].Received.isEmpty());
}

TEST(Connection, KeepAsConnectedReopensAndTheRemarkClears) {
    LinkHarness h;
    h.quiet();
    h.link.settings.KeepAsConnected = true;
    h.run(100);
    h.port(0).peerClose();
    h.run(100);
    // Found closed as the reply tick starts: reopened at once, and again after the radio closed it.
    EXPECT_EQ((std::pair{h.port(0).connectCalls, h.port(1).connectCalls}), (std::pair{2, 1}));
    EXPECT_EQ((QStringList{h.link.view.StatusPanel[1], h.link.view.StatusPanel[2]}), (QStringList{"Connected", "1:0"}));
    h.link.settings.KeepAsConnected = false;
    h.link.connection.KeepAsConnected_Click();
    EXPECT_TRUE(h.port(0).state == TcpSocket::sckClosed && h.port(1).state == TcpSocket::sckClosed);
    h.link.connection.RetryButton_Click();
    EXPECT_EQ(h.link.view.HoldOnText, "Testing the Water");
    h.run(10);
    h.port(0).peerClose(); // the radio closes the connection Retry opened
    h.run(1900);           // 1750 ms after a socket was last seen closed, the hint and the result are cleared
    EXPECT_TRUE(h.link.view.HoldOnText.isEmpty() && h.link.view.StatusPanel[3].isEmpty());
}

// A radio that trickles its reply a byte at a time must not hold the channel: the wait for the
// reply is counted from the send, not from the last byte, and what came by then is the reply.
TEST(Radio, TricklingReplyEndsAtItsDeadlineAndTheQueueGoesOn) {
    LinkHarness h;
    h.quiet();
    h.closeAfterReply = false;
    h.answer = [](const QString &) { return std::optional<QString>(); };
    h.queue(1, {"VERSION", "STATE"});
    const QString reply = "VER=3.1.7 and a long tail\r\n";
    qsizetype at = 0;
    for (int ms = 0; ms < 4000; ms += 300) {
        h.run(300);
        if (h.port(1).state == TcpSocket::sckConnected && !h.port(1).sent.isEmpty() && at < reply.size()) {
            h.port(1).receive(reply.mid(at++, 1));
        }
    }
    // VERSION went at 75 and its wait ended 2500 ms later; STATE followed on the next tick.
    ASSERT_EQ(h.commands(1).mid(0, 2), (QStringList{"VERSION", "STATE"}));
    EXPECT_LE(h.sent[1].at, 75 + ReplyWait::FloorMs + 100);
    EXPECT_TRUE(h.link.view.TelnetData.startsWith("VER=")) << h.link.view.TelnetData.toStdString();
    EXPECT_TRUE(h.secondWrites.isEmpty());
}

// A radio slower than the usual wait: the first command goes unanswered (and is not sent again),
// the next waits longer, and from the answers that come the wait settles at twice the slowest.
TEST(Radio, ReplyWaitLearnsASlowRadioAndForgetsIt) {
    LinkHarness h;
    h.quiet();
    h.replyDelay = 3000;
    h.answer = [](const QString &command) {
        return std::optional<QString>(command == "VOLUME" ? "VOL=45\r\n" : "STATE=ON\r\n");
    };
    h.queue(1, {"STATE", "VOLUME", "STATE"});
    h.run(20000);
    EXPECT_EQ(h.commands(1), (QStringList{"STATE", "VOLUME", "STATE"})); // each once
    EXPECT_EQ(h.link.view.TelnetData.count("[no reply to"), 1);
    EXPECT_EQ(h.state.VolumeText, "45");
    EXPECT_EQ(h.state.PowerState, "ON");
    EXPECT_EQ(h.link.connection.replyWait().ms(), 6000);

    ReplyWait wait;
    wait.setCeilingSeconds(4);
    wait.answered(3000);
    EXPECT_EQ(wait.ms(), 4000); // the ceiling holds
    wait.setCeilingSeconds(0.1);
    EXPECT_EQ(wait.ceilingMs(), ReplyWait::FloorMs); // never below the floor
    wait.setCeilingSeconds(100);
    wait.unanswered();
    wait.unanswered();
    EXPECT_EQ(wait.ms(), 4 * ReplyWait::FloorMs); // doubled twice, the old answer weighs less
    for (int i = 0; i < ReplyWait::Remembered; ++i) {
        wait.answered(40);
    }
    EXPECT_EQ(wait.ms(), ReplyWait::FloorMs); // a radio that is quick again is waited for as before
}

// A key press the radio keeps resetting unread goes again only a few times; then it is given up
// and the queue goes on.
TEST(Radio, CommandResetEveryTimeIsGivenUpAfterThreeResends) {
    LinkHarness h;
    h.quiet();
    h.answer = [](const QString &) { return std::optional<QString>(); };
    h.queue(0, {"VOLp", "OK"});
    for (int i = 0; i < 60; ++i) {
        h.run(100);
        if (h.port(0).state == TcpSocket::sckConnected && h.port(0).sent.size() > 0 &&
            h.port(0).sent.last() == "VOLp") {
            h.port(0).peerReset();
        }
    }
    EXPECT_EQ(h.commands(0), (QStringList{"VOLp", "VOLp", "VOLp", "VOLp", "OK"}));
    EXPECT_EQ(h.link.view.TelnetData.count("[VOLp not read by the radio; sent again]"), 3);
    EXPECT_TRUE(h.link.view.TelnetData.contains("[no reply to VOLp: the radio reset the connection 4 times]"));
}

// The radio's name is looked up again after a few failed connections (it may have a new
// address); the windows say the radio is offline once its polls have failed for a few seconds,
// and that it answers again as soon as it does.
TEST(Radio, GoneRadioIsLookedUpAgainAndShownOffline) {
    LinkHarness h;
    h.platform.fakeWallClock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)));
    h.link.settings.txtUrl = "radio";
    h.replyAll("STATE=ON\r\n");
    h.quiet();
    h.queue(1, {"STATE"});
    h.run(200);
    EXPECT_EQ(h.link.view.LinkHealth, "Radio answers (last reply 09:30:00)");
    EXPECT_EQ(h.link.view.StatusPanel[1], h.link.view.LinkHealth);
    EXPECT_EQ(h.link.connection.ResolvedHosts.back().HostName, "radio");

    h.accept = false;
    h.platform.fakeWallClock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 31, 5)));
    QStringList hosts;
    for (int i = 0; i < 12; ++i) {
        h.queue(1, {"STATE"});
        h.run(600);
        if (h.port(1).state == TcpSocket::sckConnecting) {
            hosts << h.port(1).host;
        }
    }
    EXPECT_TRUE(hosts.contains("192.168.1.119") && hosts.contains("radio")) << hosts.join(',').toStdString();
    EXPECT_TRUE(h.link.view.RadioOffline);
    EXPECT_EQ(h.link.view.OfflineSince, "09:31:05");
    EXPECT_EQ(h.link.view.LinkHealth, "Radio offline since 09:31:05");

    h.accept = true;
    h.run(1500);
    EXPECT_FALSE(h.link.view.RadioOffline);
    EXPECT_EQ(h.link.view.LinkHealth, "Radio answers (last reply 09:31:05)");
}

// Polls come every PollWhenOn ticks of 100 ms (plus the time the radio takes to answer them):
// the countdown goes on as soon as the queue falls idle, not at some later look at the queue.
TEST(Radio, PollsComeEveryTenTicksOfAHundredMilliseconds) {
    LinkHarness h;
    h.answer = [](const QString &command) {
        static const QMap<QString, QString> replies{{"MINFO", "Menu state=0 mp=1 ms=1 title=Main Menu"},
                                                    {"VOLUME", "VOL=20"},
                                                    {"STATE", "STATE=ON"},
                                                    {"VERSION", "VER=3.1.7"},
                                                    {"METAINFO", "Meta title=a artist=b album=c url=d status=stopped"},
                                                    {"LISTINFO", "List pos=0"}};
        return std::optional<QString>(replies.value(command) + "\r\n");
    };
    h.replyDelay = 5;
    h.link.start();
    h.run(7000);
    // Between polls the timer sleeps through the ticks rather than firing for each.
    auto &poll = static_cast<FakeTimer &>(h.link.poll.UpdateTimer());
    const int firesBefore = poll.fireCount();
    h.run(5000);
    EXPECT_LE(poll.fireCount() - firesBefore, 6);
    QList<qint64> minfo;
    for (const LinkHarness::Sent &s : h.sent) {
        if (s.command == "MINFO") {
            minfo << s.at;
        }
    }
    ASSERT_GE(minfo.size(), 8);
    for (qsizetype i = minfo.size() - 5; i < minfo.size(); ++i) {
        const qint64 gap = minfo[i] - minfo[i - 1];
        EXPECT_TRUE(gap >= 1000 && gap <= 1100) << gap;
    }
}

// A countdown shortened while the poll timer sleeps (a screen change asks for a poll at once)
// wakes it as soon as the link is idle, not at the end of its sleep.
TEST(Radio, ShortenedCountdownWakesTheSleepingPoll) {
    LinkHarness h;
    h.replyAll("VOL=20\r\n");
    h.link.start();
    h.run(3000);
    auto &poll = static_cast<FakeTimer &>(h.link.poll.UpdateTimer());
    for (int t = 0; t < 2000 && !(poll.isEnabled() && poll.deadline() - h.platform.fakeClock.nowMs() >= 500); t += 10) {
        h.run(10);
    }
    ASSERT_GE(poll.deadline() - h.platform.fakeClock.nowMs(), 500); // asleep for a while yet
    const qsizetype before = h.sent.size();
    h.state.poll.PollCountdown = 0;
    h.link.telnet.CompactQueues();
    h.run(150);
    EXPECT_GT(h.sent.size(), before);
}

// Retry tries the radio again at once, every time it is clicked, and stays to be clicked again.
TEST(Connection, RetryTriesTheRadioAgainAndStaysAvailable) {
    LinkHarness h;
    h.accept = false;
    h.link.connection.RetryButton_Click();
    EXPECT_EQ(h.port(0).connectCalls, 1);
    EXPECT_TRUE(h.link.view.RetryButtonVisible);
    EXPECT_EQ(h.link.view.HoldOnText, "Testing the Water");
    h.run(700);
    h.link.connection.RetryButton_Click();
    EXPECT_EQ(h.port(0).connectCalls, 2);
    EXPECT_TRUE(h.link.view.RetryButtonVisible);
}

// A failed connection says why, in the system's words, which address was tried and where to
// change it; the terminal hears of each new reason once, however often the polls meet it.
TEST(Queue, FailedConnectionsNameTheReasonTheAddressAndWhereToChangeIt) {
    LinkHarness h;
    h.quiet();
    h.accept = false;
    h.link.settings.txtUrl = "10.77.0.5";
    h.link.settings.txtPort = "8080";
    const auto failNext = [&](int number, const QString &text) {
        h.link.connection.DoOpenPort(1);
        ASSERT_EQ(h.port(1).state, TcpSocket::sckConnecting);
        h.port(1).fail(number, text);
    };
    const auto lines = [&](const QString &part) { return h.link.view.TelnetData.count(part); };
    const QString where = "Change it in Radio > Radio Address...";

    failNext(int(QAbstractSocket::ConnectionRefusedError), "Connection refused");
    failNext(int(QAbstractSocket::ConnectionRefusedError), "Connection refused");
    failNext(int(QAbstractSocket::ConnectionRefusedError), "Connection refused");
    const QString refused = "Cannot reach 10.77.0.5:8080: connection refused";
    EXPECT_TRUE(h.link.view.StatusPanel[3].contains(refused)) << h.link.view.StatusPanel[3].toStdString();
    EXPECT_TRUE(h.link.view.StatusPanel[3].endsWith(where));
    EXPECT_TRUE(h.link.view.ConnectProblem.startsWith(refused));
    EXPECT_EQ(lines(refused), 1);

    failNext(int(QAbstractSocket::NetworkError), "Network unreachable");
    EXPECT_TRUE(h.link.view.ConnectProblem.startsWith("Cannot reach 10.77.0.5:8080: no route to the host"))
        << h.link.view.ConnectProblem.toStdString();
    failNext(int(QAbstractSocket::NetworkError), "Connection reset by peer");
    EXPECT_TRUE(h.link.view.ConnectProblem.contains("connection reset")) << h.link.view.ConnectProblem.toStdString();
    h.link.connection.DoOpenPort(1);
    h.port(1).peerClose(); // closed before it ever opened
    EXPECT_TRUE(h.link.view.ConnectProblem.contains("connection reset")) << h.link.view.ConnectProblem.toStdString();
    EXPECT_EQ(lines("connection reset"), 1);

    // Nothing answers: the attempt ends at its deadline.
    h.link.connection.DoOpenPort(1);
    h.run(2000);
    EXPECT_TRUE(h.link.view.ConnectProblem.contains(": no answer in time")) << h.link.view.ConnectProblem.toStdString();
    EXPECT_EQ(lines("no route to the host"), 1);
    EXPECT_EQ(lines("no answer in time"), 1);

    // The same reason after a success is told again; the success clears it.
    h.accept = true;
    h.link.connection.DoOpenPort(1);
    h.run(100);
    EXPECT_TRUE(h.link.view.ConnectProblem.isEmpty());
    h.accept = false;
    h.link.connection.DisconnectButton_Click();
    failNext(int(QAbstractSocket::ConnectionRefusedError), "Connection refused");
    EXPECT_EQ(lines(refused), 2);
}
