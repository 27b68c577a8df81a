#include "console/ConsoleMonitor.h"
#include "platform/Platform.h"
#include "radio_link/ConnectAttempt.h"
#include "settings/Timeouts.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

// The console logic on real sockets against a console server on a free loopback port.
class ConsoleLoopbackTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 10000;

private Q_SLOTS:
    void readsSplitLinesSendsTypedKeysAndNoticesTheClose() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QtPlatform platform;
        Timeouts timeouts;
        timeouts.Connect = 5.0f; // a busy machine must not turn a slow accept into a failure
        ConnectExtraTime connectExtra{0.3f};
        ConsoleMonitor monitor(platform, timeouts, connectExtra);
        monitor.ConsoleAddress = QStringLiteral("127.0.0.1");
        monitor.ConsolePort = QString::number(server.serverPort());

        monitor.ConsoleText_DblClick();
        QVERIFY(server.waitForNewConnection(Patience));
        std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
        QTRY_VERIFY_WITH_TIMEOUT(!monitor.connecting(), Patience);
        QVERIFY(monitor.StatusPanel[3].startsWith(QStringLiteral("Open in ")));
        QCOMPARE(connectExtra.seconds, 0.2f);

        // A line torn across packets, LF and CR LF mixed.
        peer->write("cURL: http://radio.example/jazz.pls\nStarting mplayer : [mplayer -quiet ");
        peer->flush();
        QTRY_VERIFY_WITH_TIMEOUT(monitor.ConsoleText.contains(QStringLiteral("-quiet")), Patience);
        QCOMPARE(monitor.summary().MPlayer, QString());
        peer->write(
            "http://radio.example/jazz]\r\nICY Info: StreamTitle='Band - Song';StreamUrl='http://b.example';\n");
        peer->flush();
        QTRY_COMPARE_WITH_TIMEOUT(monitor.summary().Title, QStringLiteral("Band - Song"), Patience);
        QCOMPARE(monitor.summary().MPlayer, QStringLiteral("mplayer -quiet http://radio.example/jazz"));
        QCOMPARE(monitor.summary().cURL, QStringLiteral("http://radio.example/jazz.pls"));
        QVERIFY(monitor.ConsoleCaptureText.contains(QStringLiteral("URL      : http://b.example\r\n")));

        QVERIFY(monitor.SendToConsole(QStringLiteral("h")));
        QTRY_VERIFY_WITH_TIMEOUT(!monitor.sending(), Patience);
        monitor.ConsoleText_KeyPress(QStringLiteral("i"));
        QByteArray typed;
        QTRY_VERIFY_WITH_TIMEOUT((typed += peer->readAll()) == "hi", Patience);

        peer->disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(monitor.TextColour, int(ConsoleMonitor::Yellow), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(monitor.StatusPanel[1], QStringLiteral("Closed"), Patience);
    }
};

QTEST_GUILESS_MAIN(ConsoleLoopbackTest)
#include "ConsoleLoopbackTest.moc"
