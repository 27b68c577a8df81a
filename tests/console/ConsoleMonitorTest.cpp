#include "console/ConsoleMonitor.h"

#include "platform/ConnectAttempt.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The console's logic on a fake socket and fake time; the test plays the radio.
struct Console {
    FakePlatform platform;
    Timeouts timeouts;
    ConnectExtraTime connectExtra; // the command link's, shared
    ConsoleMonitor monitor{platform, timeouts, connectExtra};
    FakeTcpSocket &socket = *platform.sockets.at(0);
    Console() {
        monitor.ConsoleAddress = "10.0.0.5";
        monitor.ConsolePort = "8899";
    }
    void run(qint64 ms) { platform.fakeClock.advance(ms); }
    // A double click and the radio accepting at once.
    void open() {
        monitor.ConsoleText_DblClick();
        socket.acceptConnection();
    }
};

} // namespace

TEST(ConsoleMonitor, ConnectWaitsTheSharedAdaptiveTimeAndReportsIt) {
    Console c;
    c.monitor.ConsoleText_DblClick();
    EXPECT_EQ((std::tuple{c.socket.host, c.socket.port, c.socket.localPort, c.monitor.StatusPanel[3]}),
              (std::tuple{QString("10.0.0.5"), quint16(8899), quint16(0), QString("10.0.0.5:8899")}));
    c.run(499);
    EXPECT_TRUE(c.monitor.connecting());
    c.run(1);
    EXPECT_FALSE(c.monitor.connecting());
    EXPECT_EQ(c.monitor.StatusPanel[3], "Fail in 0.5 sec [0.5]");
    EXPECT_EQ(c.socket.state, TcpSocket::sckClosed);
    EXPECT_FLOAT_EQ(c.connectExtra.seconds, 0.1f);
    // The next attempt waits 0.1 s longer; a refusal ends the wait at once.
    c.run(100);
    c.monitor.ConsoleText_DblClick();
    c.run(250);
    c.socket.refuseConnection();
    EXPECT_EQ(c.monitor.StatusPanel[3], "Fail in 0.25 sec [0.6]");
    EXPECT_EQ(c.monitor.TextColour, ConsoleMonitor::Red);
    EXPECT_FLOAT_EQ(c.connectExtra.seconds, 0.2f);
    // A success gives 0.1 s back, and the 50 ms tick runs from then on.
    c.monitor.ConsoleText_DblClick();
    c.run(120);
    c.socket.acceptConnection();
    EXPECT_EQ(c.monitor.StatusPanel[3], "Open in 0.12 sec [0.7]");
    EXPECT_EQ(c.monitor.TextColour, ConsoleMonitor::White);
    EXPECT_FLOAT_EQ(c.connectExtra.seconds, 0.1f);
    EXPECT_TRUE(c.monitor.CheckConsoleSocket().isEnabled());
    c.run(50);
    EXPECT_EQ(c.monitor.StatusPanel[1], "Connected");
    // 1.5 s after the result the panel shows the address again and keeps the result as its tip.
    c.run(1500);
    EXPECT_EQ((QStringList{c.monitor.StatusPanel[3], c.monitor.StatusTip[3], c.monitor.StatusTip[1]}),
              (QStringList{"10.0.0.5:8899", "Open in 0.12 sec [0.7]", "10.0.0.5:8899"}));
    EXPECT_FALSE(c.monitor.RefreshLabelTimer().isEnabled());
    // A double click while connected only disconnects.
    const int connects = c.socket.connectCalls;
    c.monitor.ConsoleText_DblClick();
    EXPECT_EQ(c.socket.state, TcpSocket::sckClosed);
    EXPECT_EQ(c.socket.connectCalls, connects);
    // A double click while an attempt still waits ends it as a failure and starts afresh.
    c.monitor.ConsoleText_DblClick();
    c.run(100);
    const int before = c.socket.connectCalls;
    c.monitor.ConsoleText_DblClick();
    EXPECT_EQ(c.socket.connectCalls, before + 1);
    EXPECT_TRUE(c.monitor.connecting());
    EXPECT_EQ(c.monitor.StatusPanel[3], "10.0.0.5:8899");
    EXPECT_FLOAT_EQ(c.connectExtra.seconds, 0.2f);
    c.run(699);
    EXPECT_TRUE(c.monitor.connecting());
    c.run(1);
    EXPECT_EQ(c.monitor.StatusPanel[3], "Fail in 0.7 sec [0.7]");
}

TEST(ConsoleMonitor, TickShowsNewTextOnceKeepsTheLastTwentyThousandAndSummarises) {
    Console c;
    c.open();
    QStringList summaries;
    QObject::connect(&c.monitor, &ConsoleMonitor::changed, [&] {
        if (summaries.isEmpty() || summaries.last() != c.monitor.ConsoleCaptureText) {
            summaries << c.monitor.ConsoleCaptureText;
        }
    });
    c.socket.receive("cURL: http://a.example/x.pls\r\nPlay");
    EXPECT_EQ(c.monitor.StatusPanel[2], "34");
    c.run(50);
    EXPECT_EQ(c.monitor.ConsoleText, "cURL: http://a.example/x.pls\r\nPlay");
    EXPECT_EQ(c.monitor.StatusPanel[2], "34"); // shown before the tick takes the text
    c.socket.receive("ing http://a.example/x\n");
    c.run(50);
    // The unfinished line was shown once and is not repeated when its rest arrives.
    EXPECT_EQ(c.monitor.ConsoleText, "cURL: http://a.example/x.pls\r\nPlaying http://a.example/x\n");
    EXPECT_TRUE(c.monitor.ConsoleCaptureText.contains("Playing  : http://a.example/x\r\n"));
    EXPECT_EQ(c.monitor.TheCurlList(), QStringList{"http://a.example/x.pls"});
    c.run(50);
    EXPECT_EQ(c.monitor.StatusPanel[2], "0");
    // A line no rule knows leaves the summary as it was.
    const qsizetype seen = summaries.size();
    c.socket.receive("mixer: volume 35\r\n");
    c.run(50);
    EXPECT_EQ(summaries.size(), seen);
    for (int i = 0; i < 300; ++i) {
        c.socket.receive(QString(99, QChar(u'a' + i % 26)) + "\n");
        if (i % 7 == 0) {
            c.run(50);
        }
    }
    c.run(50);
    EXPECT_EQ(c.monitor.ConsoleText.size(), ConsoleMonitor::TextLimit);
    EXPECT_TRUE(c.monitor.ConsoleText.endsWith(QString(99, QChar(u'a' + 299 % 26)) + "\n"));
    // A double click on the summary empties it and the fetch list.
    c.monitor.ConsoleCaptureText_DblClick();
    EXPECT_TRUE(c.monitor.ConsoleCaptureText.isEmpty());
    EXPECT_TRUE(c.monitor.TheCurlList().isEmpty());
    // The far end closes: the socket is closed, the text turns yellow, the tick says so.
    c.socket.peerClose();
    EXPECT_EQ(c.socket.state, TcpSocket::sckClosed);
    EXPECT_EQ(c.monitor.TextColour, ConsoleMonitor::Yellow);
    c.run(50);
    EXPECT_EQ(c.monitor.StatusPanel[1], "Closed");
}

TEST(ConsoleMonitor, ASendInFlightRefusesTheNextUntilConfirmedOrTimedOut) {
    Console c;
    EXPECT_FALSE(c.monitor.SendToConsole("x")); // not connected: nothing to send on
    c.open();
    EXPECT_TRUE(c.monitor.SendToConsole("a"));
    EXPECT_FALSE(c.monitor.SendToConsole("b"));
    c.socket.completeSends();
    EXPECT_FALSE(c.monitor.sending());
    c.monitor.ConsoleText_KeyPress("c");
    EXPECT_EQ(c.socket.sent, (QStringList{"a", "c"}));
    // A confirmation that never comes holds the next send only for the time limit.
    c.run(ConsoleMonitor::SendTimeLimit - 1);
    EXPECT_FALSE(c.monitor.SendToConsole("d"));
    c.run(1);
    EXPECT_FALSE(c.monitor.sending());
    EXPECT_TRUE(c.monitor.SendToConsole("e"));
    // A socket that fails or closes will not confirm: the wait ends with it.
    c.socket.fail(10053, "Software caused connection abort");
    EXPECT_FALSE(c.monitor.sending());
    EXPECT_EQ(c.monitor.StatusPanel[3], "Software caused connection abort");
    c.open();
    EXPECT_TRUE(c.monitor.SendToConsole("f"));
    c.socket.peerClose();
    EXPECT_FALSE(c.monitor.sending());
    EXPECT_EQ(c.socket.sent, (QStringList{"a", "c", "e", "f"}));
}

// The address comes from the settings; what the user types is kept at once, and nothing is
// written back at the close, so an edit of the settings file made while the window was open
// survives it.
TEST(ConsoleMonitor, AddressTypedIsSavedAtOnceAndTheCloseKeepsEditsMadeElsewhere) {
    QTemporaryDir dir;
    INIFILES ini;
    ini.SetProgramPaths(QDir(dir.path()).filePath("CVRemote"));
    Console c;
    ini.WriteSetting("General", "ConsoleAddress", "  127.0.0.1 ");
    ini.WriteSetting("General", "ConsolePort", "9001");
    ini.WriteSetting("General", "ConsoleFollowsRadio", "1");
    c.monitor.ConsoleCaptureText = "old";
    c.monitor.Form_Load(ini);
    EXPECT_EQ(c.monitor.ConsoleAddress, "127.0.0.1");
    EXPECT_TRUE(c.monitor.ConsoleCaptureText.isEmpty());
    EXPECT_TRUE(c.monitor.paneNotice().startsWith("Not connected.")) << c.monitor.paneNotice().toStdString();
    c.monitor.ConsoleText_DblClick();
    EXPECT_EQ(c.socket.port, 9001);
    EXPECT_TRUE(c.monitor.paneNotice().startsWith("Connecting to 127.0.0.1:9001"));
    c.socket.acceptConnection();
    EXPECT_EQ(c.monitor.paneNotice(), "Connected to 127.0.0.1:9001.\nWaiting for the radio to write to its console...");
    c.monitor.ConsoleText_DblClick();

    // A port typed is saved at once; a host typed is the console's own from then on; a value
    // that is no host or port is neither taken nor saved.
    EXPECT_TRUE(c.monitor.setAddress(ini, "127.0.0.1", "9002"));
    EXPECT_EQ(ini.ReadSetting("General", "ConsolePort", ""), "9002");
    EXPECT_EQ(ini.ReadSetting("General", "ConsoleFollowsRadio", ""), "1");
    EXPECT_FALSE(c.monitor.setAddress(ini, "127.0.0.3", "90x"));
    EXPECT_EQ(c.monitor.ConsoleAddress, "127.0.0.3");
    EXPECT_EQ(c.monitor.ConsolePort, "9002");
    EXPECT_EQ(ini.ReadSetting("General", "ConsoleAddress", ""), "127.0.0.3");
    EXPECT_EQ(ini.ReadSetting("General", "ConsoleFollowsRadio", ""), "0");

    // The file is edited while the window is open; the close writes nothing over it.
    ini.WriteSetting("General", "ConsoleAddress", "127.0.0.9");
    c.monitor.Form_Unload();
    EXPECT_EQ(c.socket.state, TcpSocket::sckClosed);
    EXPECT_FALSE(c.monitor.connecting());
    EXPECT_EQ(ini.ReadSetting("General", "ConsoleAddress", ""), "127.0.0.9");
    // Changed elsewhere, the address is taken when the program says so.
    c.monitor.takeAddress(ini);
    EXPECT_EQ(c.monitor.ConsoleAddress, "127.0.0.9");
}

// A console that never stops: 64 MiB in 64 KiB lines, arriving far faster than the 50 ms tick
// takes them, half of it without any line end. What the console keeps never exceeds its stated
// bound, and a line sent after the flood is read.
TEST(ConsoleMonitor, AFloodKeepsWithinTheBoundAndALineAfterItIsStillRead) {
    Console c;
    c.open();
    const qsizetype line = 64 * 1024;
    const QString plain = QString(line - 2, u'x') + "\r\n";
    const QString fetch = "cURL: http://" + QString(line - 15, u'f') + "\r\n";
    const QString playing = "Playing " + QString(line - 10, u'p') + "\r\n";
    const QString endless(line, u'y');
    const int packets = 1024; // 64 MiB
    const int packetsPerTick = 32;
    qsizetype mostKept = 0;
    bool pausedEveryTick = true, resumedEveryTick = true;
    for (int i = 0; i < packets; ++i) {
        if (i < packets / 2) {
            c.socket.receive(i % 3 == 0 ? fetch : i % 3 == 1 ? playing : plain);
        } else {
            c.socket.receive(endless);
        }
        mostKept = std::max(mostKept, c.monitor.keptCharacters());
        if (i % packetsPerTick == packetsPerTick - 1) {
            // More than a tick's reading came: the socket stops taking more until the tick.
            pausedEveryTick = pausedEveryTick && c.socket.readPaused;
            c.run(ConsoleMonitor::CheckInterval);
            resumedEveryTick = resumedEveryTick && !c.socket.readPaused;
            mostKept = std::max(mostKept, c.monitor.keptCharacters());
        }
    }
    EXPECT_TRUE(pausedEveryTick && resumedEveryTick);
    EXPECT_LE(mostKept, ConsoleMonitor::KeptCharactersBound);
    EXPECT_LE(ConsoleMonitor::KeptCharactersBound * 2, 8 * 1024 * 1024); // a few MB, stated
    EXPECT_EQ(c.monitor.ConsoleText, QString(ConsoleMonitor::TextLimit, u'y'));
    EXPECT_LE(c.monitor.TheCurlList().size() * fetch.size(), ConsoleLineReader::MaxCurlCharacters + fetch.size());
    EXPECT_GT(c.monitor.droppedCharacters(), 0);
    EXPECT_TRUE(c.monitor.StatusTip[2].contains(QString::number(c.monitor.droppedCharacters())));
    EXPECT_TRUE(c.monitor.summary().Playing.startsWith("ppp"));

    c.socket.receive("\r\nPlaying http://after.example/stream\r\n");
    for (qsizetype ticks = 0; ticks <= ConsoleMonitor::BacklogLimit / ConsoleMonitor::ChunkLimit; ++ticks) {
        c.run(ConsoleMonitor::CheckInterval);
    }
    EXPECT_EQ(c.monitor.summary().Playing, "http://after.example/stream");
    EXPECT_TRUE(c.monitor.ConsoleCaptureText.contains("Playing  : http://after.example/stream\r\n"));
    EXPECT_EQ(c.monitor.waitingCharacters(), 0);
    EXPECT_EQ(c.monitor.StatusPanel[2], "0");
}

// Lines that the rules can keep up with are all read, in order, however they are cut.
TEST(ConsoleMonitor, ABusyConsoleWithinTheRulesPaceLosesNothing) {
    Console c;
    c.open();
    QStringList expected;
    for (int i = 0; i < 2000; ++i) {
        const QString address = QStringLiteral("http://s.example/%1").arg(i);
        expected << address;
        const QString text = "cURL: " + address + (i % 2 ? "\n" : "\r\n") + QString(300, u'.') + "\r\n";
        // Cut into uneven packets, some splitting a CR LF pair.
        c.socket.receive(text.left(i % 17 + 1));
        c.socket.receive(text.mid(i % 17 + 1));
        if (i % 100 == 0) {
            c.run(ConsoleMonitor::CheckInterval);
        }
    }
    c.run(ConsoleMonitor::CheckInterval);
    EXPECT_EQ(c.monitor.droppedCharacters(), 0);
    EXPECT_EQ(c.monitor.TheCurlList(), expected.mid(expected.size() - ConsoleLineReader::MaxCurls));
}

// The window is told to redraw at once after a quiet spell, then at most once per interval
// while text streams in, once more with the last of it, and never while nothing changes.
TEST(ConsoleMonitor, WindowUpdatesAreCoalescedAndStopWhenNothingChanges) {
    Console c;
    c.open();
    c.run(1000);
    QList<qint64> shown; // the raw text's count at each update
    QObject::connect(&c.monitor, &ConsoleMonitor::changed, [&] { shown << c.monitor.consoleTextAdded(); });
    c.socket.receive("first\r\n");
    EXPECT_EQ(shown, QList<qint64>{7});
    const int streamMs = 2000;
    for (int ms = 0; ms < streamMs; ms += 10) {
        c.socket.receive("a line of the console\r\n");
        c.run(10);
    }
    const int most = streamMs / ConsoleMonitor::ViewInterval + 2;
    EXPECT_LE(shown.size(), most);
    EXPECT_GE(shown.size(), most - 3); // and not starved while it streams
    c.run(ConsoleMonitor::ViewInterval);
    EXPECT_EQ(shown.last(), c.monitor.consoleTextAdded());
    const qsizetype settled = shown.size();
    c.run(5000);
    EXPECT_EQ(shown.size(), settled);
    EXPECT_FALSE(c.monitor.ViewTimer().isEnabled());
    // The user's own actions show at once, even in the middle of a stream.
    c.socket.receive("x\r\n");
    c.socket.receive("y\r\n");
    const qsizetype before = shown.size();
    c.monitor.StatusBar_PanelClick(3);
    EXPECT_EQ(shown.size(), before + 1);
    EXPECT_FALSE(c.monitor.CaptureVisible);
}

TEST(ConsoleMonitor, TheTickRunsWhileConnectedOrConnectingAndSleepsOnceClosed) {
    Console c;
    const auto ticking = [&c] { return c.monitor.CheckConsoleSocket().isEnabled(); };
    EXPECT_FALSE(ticking()); // the window opens without connecting
    c.monitor.ConsoleText_DblClick();
    EXPECT_TRUE(ticking()); // connecting
    c.run(200);
    EXPECT_TRUE(ticking());
    c.socket.acceptConnection();
    c.run(5000);
    EXPECT_TRUE(ticking());
    // The radio closes with more text waiting for the rules than a tick takes: read to the end,
    // shown, then asleep.
    c.socket.receive(QString("line of the console\r\n").repeated(15000));
    c.socket.peerClose();
    c.run(ConsoleMonitor::CheckInterval);
    EXPECT_TRUE(ticking());
    c.run(5000);
    EXPECT_FALSE(ticking());
    EXPECT_EQ(c.monitor.waitingCharacters(), 0);
    EXPECT_EQ(c.monitor.StatusPanel[1], TcpSocket::stateName(TcpSocket::sckClosed));
    EXPECT_FALSE(c.monitor.ViewTimer().isEnabled() || c.monitor.RefreshLabelTimer().isEnabled());
    // A failed attempt shows its result and sleeps too; the next connect wakes it.
    c.monitor.ConsoleText_DblClick();
    c.socket.refuseConnection();
    c.run(1000);
    EXPECT_FALSE(ticking());
    c.open();
    EXPECT_TRUE(ticking());
    // The user's disconnect.
    c.monitor.ConsoleText_DblClick();
    c.run(ConsoleMonitor::CheckInterval);
    EXPECT_FALSE(ticking());
}
