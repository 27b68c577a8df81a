#include "LinkHarness.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(Queue, SendsOnePerTickChannelZeroFirstAndQxDelaySpacesThem) {
    LinkHarness h;
    h.queue(1, {"MINFO"});
    h.queue(0, {"A", "B", "QXDELAY", "C", "QXDELAY", "QXDELAY", "D"});
    h.run(2000);
    // 75 ms pace; one QXDELAY holds the next command 200 ms, two hold it 400 ms.
    EXPECT_EQ(h.commands(-1, true), (QStringList{"75 A", "150 B", "425 C", "900 D", "975 MINFO"}));
    EXPECT_EQ((std::pair{h.port(0).connectCalls, h.port(1).connectCalls}), (std::pair{4, 1})); // one each
}

TEST(Queue, WaitsForTheReplyInFiftyMillisecondSteps) {
    LinkHarness h;
    h.replyDelay = 210;
    h.queue(0, {"A", "B"});
    h.run(80);
    EXPECT_TRUE(h.link.connection.ResetTimer().isEnabled());
    auto &checkOut = static_cast<FakeTimer &>(h.link.telnet.CheckOutBuffer());
    const int firesBefore = checkOut.fireCount();
    h.run(200); // up to 280: the reply comes at 285
    EXPECT_EQ(checkOut.interval(), 50);
    EXPECT_EQ(checkOut.fireCount() - firesBefore, 3); // 150, 200, 250, sending nothing
    h.run(100);
    EXPECT_EQ(h.commands(-1, true), (QStringList{"75 A", "300 B"}));
}

TEST(Queue, UnreachableRadioKeepsTheHeadCommandAndStretchesTheTimeout) {
    LinkHarness h;
    h.accept = false;
    h.queue(0, {"A", "B"});
    h.queue(1, {"STATE"});
    QStringList results;
    QObject::connect(&h.link.view, &LinkView::changed, [&] { results << h.link.view.StatusPanel[3]; });
    h.run(2000);
    results.removeDuplicates();
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
    EXPECT_EQ(h.link.view.StatusPanel[3], "Fail in 3.45 sec [3.45]");
    EXPECT_EQ(h.link.connection.ConnectExtra.seconds, 0.0f);
}

TEST(Queue, MoreThanTwoHundredWaitingCommandsCollapseToTheOldest) {
    LinkHarness h;
    for (int i = 0; i < 200; ++i) {
        h.queue(1, {QStringLiteral("Q%1").arg(i)});
    }
    h.link.telnet.CompactQueues();
    EXPECT_EQ(h.link.telnet.pending(1).size(), 200);
    h.queue(1, {"Q200"});
    EXPECT_EQ(h.link.telnet.pending(1).size(), 201);
    h.link.telnet.CompactQueues();
    EXPECT_EQ(h.link.telnet.pending(1), QStringList{"Q0"});
    // Gaps ("" is a free slot) close in one pass.
    h.link.telnet.Channels[1].Outbound = QStringList{"", "X", "", "", "Y", "", "Z"};
    h.link.telnet.CompactQueues();
    EXPECT_EQ(h.link.telnet.Channels[1].Outbound, (QStringList{"X", "Y", "Z", ""}));
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
    h.run(110); // the reply tick ran at 100; the refresh it asked for comes at 120
    EXPECT_EQ(h.commands(), QStringList{"A"});
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"QXDELAY", "B"}));
    EXPECT_TRUE(h.link.telnet.pending(1).isEmpty());
    // The sound plays from the sounds folder whatever its letter case (checked below), and the
    // poll is told to ask at once.
    EXPECT_EQ(h.link.view.TelnetData, "OK\r\n\r\n");
    EXPECT_TRUE(h.state.ExpectVolume && h.state.ExpectState && h.state.NeedVolume);
    EXPECT_EQ(h.link.view.PointerBorderColour, LinkColour::Green);
    // While a macro runs the acknowledgement is silent and leaves the poll countdown alone.
    h.link.hooks.macroRunning = [] { return true; };
    h.state.ExpectVolume = false;
    h.queue(0, {"A"});
    h.run(600);
    EXPECT_EQ(h.commands(0), (QStringList{"A", "B", "A"}));
    EXPECT_FALSE(h.state.ExpectVolume);
    // Sound names: the folder, then its sounds folder, ".wav" added unless given, any case.
    const QString root = folder.path();
    for (const char *name : {"fail", "beep.wav", "missing", ""}) {
        PlaySoundFile(h.platform.fakeSound, root, name);
    }
    EXPECT_EQ(h.platform.fakeSound.played,
              (QStringList{root + "/sounds/ok.wav", root + "/fail.Wav", root + "/sounds/Beep.WAV"}));
}

TEST(Queue, UnansweredCommandIsNotSentAgain) {
    LinkHarness h;
    h.answer = [](const QString &command) { // A stalls
        return command == "A" ? std::optional<QString>() : std::optional<QString>("OK\r\n");
    };
    h.queue(0, {"A", "B"});
    h.run(8000);
    // The no-reply time-out closes the connection; A reached the radio, so it is not repeated.
    EXPECT_EQ(h.commands(0, true), (QStringList{"75 A", "2600 B"}));
    EXPECT_EQ(h.link.view.TelnetData, "[no reply to A]\r\n");
}

// Each way a delivery can end, driven by hand on the fake socket: a command whose send
// completed has left the queue, answered or not; one that never got onto the wire is still
// first and goes on a later tick.
TEST(Queue, DeliveredCommandsLeaveTheQueueUndeliveredOnesStayFirst) {
    struct Case {
        const char *name;
        std::function<void(LinkHarness &)> act;
        QStringList pending;
        bool noReplyLine;
    };
    const auto connectAndSend = [](LinkHarness &h, bool complete) {
        h.platform.fakeClock.advance(75);
        h.port(0).acceptConnection();
        ASSERT_EQ(h.port(0).sent, QStringList{"A"});
        if (complete) {
            h.port(0).completeSends();
        }
    };
    const Case cases[] = {
        {"closed without a reply",
         [&](LinkHarness &h) { connectAndSend(h, true), h.port(0).peerClose(); },
         {"B"},
         true},
        {"reply later than the reset time",
         [&](LinkHarness &h) {
             connectAndSend(h, true);
             h.platform.fakeClock.advance(2500);
             h.port(0).receive("OK\r\n"); // too late: the connection is gone
         },
         {"B"},
         true},
        {"Disconnect after the send",
         [&](LinkHarness &h) { connectAndSend(h, true), h.link.connection.DisconnectButton_Click(); },
         {"B"},
         true},
        {"Disconnect during the send",
         [&](LinkHarness &h) { connectAndSend(h, false), h.link.connection.DisconnectButton_Click(); },
         {"A", "B"},
         false},
        {"error before the send completed",
         [&](LinkHarness &h) { connectAndSend(h, false), h.port(0).fail(); },
         {"A", "B"},
         false},
        {"answered before the send reported", // the reply proves the bytes arrived
         [&](LinkHarness &h) { connectAndSend(h, false), h.port(0).receive("OK"), h.port(0).peerClose(); },
         {"B"},
         false},
        {"refused",
         [](LinkHarness &h) {
             h.platform.fakeClock.advance(75);
             h.port(0).refuseConnection();
         },
         {"A", "B"},
         false},
        {"connect time-out", [](LinkHarness &h) { h.platform.fakeClock.advance(75 + 500); }, {"A", "B"}, false},
    };
    for (const Case &c : cases) {
        LinkHarness h;
        h.accept = false;
        h.queue(0, {"A", "B"});
        c.act(h);
        EXPECT_EQ(h.link.telnet.pending(0), c.pending) << c.name;
        EXPECT_EQ(h.link.view.TelnetData.contains("[no reply to A]"), c.noReplyLine) << c.name;
        // Whatever happened, the queue goes on: B (and A when it never arrived) leave once each.
        h.accept = true;
        h.answer = [](const QString &) { return std::optional<QString>("OK\r\n"); };
        h.seen[0] = size_t(h.port(0).sent.size()); // from here on
        h.run(3000);
        EXPECT_EQ(h.commands(0), c.pending) << c.name;
        EXPECT_TRUE(h.link.telnet.pending(0).isEmpty()) << c.name;
    }
}

TEST(Queue, UnreachableRadioHoldsTheHeadForAsLongAsItTakes) {
    LinkHarness h;
    h.accept = false;
    h.queue(0, {"A", "B"});
    h.queue(1, {"STATE"});
    h.run(60000);
    // No cap on the attempts: every tick tries again, nothing is dropped or reordered.
    EXPECT_GE(h.port(0).connectCalls, 30);
    EXPECT_EQ(h.link.telnet.pending(0), (QStringList{"A", "B"}));
    h.accept = true;
    h.answer = [](const QString &) { return std::optional<QString>("OK\r\n"); };
    h.run(4000);
    EXPECT_EQ(h.commands().mid(0, 3), (QStringList{"A", "B", "STATE"})); // then the polls
}

// A reply decoded on the reply tick switches the shared no-reply timer off while the next
// command's connection is still open. The queue must still wait for that connection to end
// (closed by the radio, or given up at its own deadline) before it sends again.
TEST(Queue, NothingMoreGoesOntoAnOpenConnection) {
    LinkHarness h;
    h.state.FullRefreshDue = false; // no polls of its own
    h.state.PollCountdown = 10000;
    h.link.settings.UpdateDisplayLabels = false;
    h.link.connection.start();
    h.replyDelay = 300;
    h.answer = [](const QString &command) {
        return command == "B" ? std::optional<QString>() : std::optional<QString>("VER=" + command + "\r\n");
    };
    h.queue(1, {"A", "B", "C"});
    h.run(90);
    h.link.telnet.Channels[1].Completed = "VER=0\r\n"; // an earlier reply, decoded at 100
    h.run(20);
    ASSERT_FALSE(h.link.connection.ResetTimer().isEnabled());
    h.run(5000);
    // A is answered at 375; B stalls, and the reply tick decoding A's reply switches the
    // timer off again, but B's connection is given up 2500 ms after its send all the same.
    EXPECT_EQ(h.commands(1, true), (QStringList{"75 A", "400 B", "2925 C"}));
    EXPECT_TRUE(h.secondWrites.isEmpty()) << h.secondWrites.join(',').toStdString();
    EXPECT_EQ(h.state.VersionText, "C");
    EXPECT_TRUE(h.link.view.TelnetData.contains("[no reply to B]"));
}

// A radio that answers but keeps the connection open: after a short silence the program
// closes the connection itself and takes what came as the reply.
TEST(Queue, ReplyOnAConnectionTheRadioKeepsOpenIsTakenAfterAPause) {
    LinkHarness h;
    h.state.FullRefreshDue = false;
    h.state.PollCountdown = 10000;
    h.link.settings.UpdateDisplayLabels = false;
    h.link.connection.start();
    h.closeAfterReply = false;
    h.answer = [](const QString &command) {
        return std::optional<QString>(command == "VERSION" ? "VER=3.1.7\r\n" : "STATE=ON\r\n");
    };
    h.queue(1, {"VERSION", "STATE"});
    h.run(650);
    EXPECT_EQ(h.state.VersionText, "3.1.7"); // closed at 575, shown and decoded at 600
    EXPECT_EQ(h.link.view.TelnetData, "VER=3.1.7\r\n");
    h.run(1000);
    EXPECT_EQ(h.commands(1, true), (QStringList{"75 VERSION", "600 STATE"}));
    EXPECT_EQ(h.state.PowerState, "ON");
    EXPECT_TRUE(h.secondWrites.isEmpty());
    EXPECT_FALSE(h.link.view.TelnetData.contains("[no reply"));
}

TEST(Queue, QueryQueuedAgainWhileItsTwinIsInFlightIsKept) {
    LinkHarness h;
    h.link.settings.UpdateDisplayLabels = false;
    h.replyDelay = 30;
    h.answer = [](const QString &) { return std::optional<QString>("Menu state=3\r\n"); };
    h.queue(1, {"MINFO"});
    h.run(80); // MINFO is on its way
    ASSERT_EQ(h.commands(), QStringList{"MINFO"});
    h.link.connection.ResetOutboundBuffer(); // as on "OK"; the poll asks again
    h.queue(1, {"MINFO"});
    h.run(100);
    EXPECT_EQ(h.commands(), (QStringList{"MINFO", "MINFO"}));
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
    EXPECT_EQ(h.link.view.TelnetData.size(), LinkView::TerminalLimit);
    EXPECT_TRUE(h.link.view.TelnetData.endsWith("x\r\n[reply cut after 1048576 characters]\r\n"));
    EXPECT_TRUE(h.link.telnet.Channels[0].Received.isEmpty());
}

TEST(Connection, KeepAsConnectedReopensAndTheRemarkClears) {
    LinkHarness h;
    h.link.connection.start();
    h.link.settings.KeepAsConnected = true;
    h.run(100);
    h.port(0).peerClose();
    h.run(100);
    // Found closed on the 100 ms tick: reopened at once, and again after the radio closed it.
    EXPECT_EQ((std::pair{h.port(0).connectCalls, h.port(1).connectCalls}), (std::pair{2, 1}));
    EXPECT_EQ((QStringList{h.link.view.StatusPanel[1], h.link.view.StatusPanel[2]}), (QStringList{"Connected", "1:0"}));
    h.link.settings.KeepAsConnected = false;
    h.link.connection.KeepAsConnected_Click();
    EXPECT_TRUE(h.port(0).state == TcpSocket::sckClosed && h.port(1).state == TcpSocket::sckClosed);
    h.link.connection.RetryButton_Click();
    EXPECT_EQ(h.link.view.HoldOnText, "Testing the Water");
    h.run(1900); // 1750 ms after a socket was last seen closed, the hint and the result are cleared
    EXPECT_TRUE(h.link.view.HoldOnText.isEmpty() && h.link.view.StatusPanel[3].isEmpty());
}
