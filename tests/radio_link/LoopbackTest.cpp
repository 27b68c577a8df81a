#include "LinkHarness.h"

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace {

// A radio on 127.0.0.1 in the same process: one command per connection, answered at once
// unless told to stall or drop, logged as "connection command".
struct LoopbackRadio {
    QHash<QByteArray, QByteArray> answers{{"MINFO", "Menu state=5 mp=1 ms=1 title=Now playing\r\n"},
                                          {"VOLUME", "VOL=35\r\n"},
                                          {"LISTINFO", "List pos=0\r\n"},
                                          {"METAINFO", "Meta title=T artist=A album=B url=U status=playing\r\n"},
                                          {"STATE", "STATE=ON\r\n"},
                                          {"VERSION", "VER=3.1.7\r\n"}};
    QList<int> stall; // connections read but never answered
    QList<int> drop;  // connections closed without an answer
    QStringList log;
    int connections = 0;
    QTcpServer server;

    explicit LoopbackRadio(quint16 port = 0) {
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, n = ++connections] {
                    const QByteArray bytes = socket->readAll();
                    log << QString::number(n) + ' ' + QString::fromLatin1(bytes);
                    if (!stall.contains(n)) {
                        socket->write(drop.contains(n) ? QByteArray() : answers.value(bytes, "OK\r\n"));
                        socket->disconnectFromHost();
                    }
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        server.listen(QHostAddress::LocalHost, port);
    }
};

struct Link {
    QtPlatform platform;
    RadioState state;
    Timeouts timeouts;
    SkinTables skin;
    RadioLink link{platform, state, timeouts, skin};

    explicit Link(quint16 port) {
        link.settings.txtUrl = "127.0.0.1";
        link.settings.txtPort = QString::number(port);
        // Only what a test does goes over the wire: no poll of its own at start.
        state.FullRefreshDue = false;
        state.PollCountdown = 10000;
        link.start();
    }
};

} // namespace

class LoopbackTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commandThenAcknowledgementThenPollDecoded() {
        LoopbackRadio radio;
        QVERIFY(radio.server.isListening());
        Link l(radio.server.serverPort());
        l.link.telnet.QueueCommand(0, "VOLp");
        l.link.telnet.QueueCommand(0, "QXDELAY");
        QTRY_VERIFY_WITH_TIMEOUT(l.state.VolumeText == "35" && l.state.MenuState == "5", 5000);
        // The command left first, exactly as queued (no line end added), each command on a
        // connection of its own; the acknowledgement made the poll ask for volume and menu.
        QStringList commands;
        for (qsizetype i = 0; i < radio.log.size(); ++i) {
            QVERIFY(radio.log[i].startsWith(QString::number(i + 1) + ' '));
            commands << radio.log[i].section(' ', 1);
        }
        QVERIFY(commands.first() == "VOLp" && commands.contains("VOLUME") && commands.contains("MINFO"));
        QVERIFY(l.link.view.TelnetData.contains("OK\r\n"));
    }

    // A radio that refuses, then drops one command and stalls on another, gets every command
    // once, in order; the two it did not answer are said so in the terminal. Nothing waits by
    // blocking: the event loop keeps turning throughout.
    void refusingDroppingAndStallingRadioLosesNothing() {
        quint16 port = LoopbackRadio().server.serverPort(); // free again once the radio is gone
        Link l(port);
        int beats = 0;
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&] { ++beats; });
        beat.start(10);
        for (const char *command : {"A", "B", "C"}) {
            l.link.telnet.QueueCommand(0, command);
        }
        QTRY_VERIFY_WITH_TIMEOUT(l.link.view.StatusPanel[3].startsWith("Fail in "), 3000);
        LoopbackRadio radio(port);
        radio.drop = {1};
        radio.stall = {3};
        QVERIFY(radio.server.isListening());
        // A is dropped, B answered, C stalls until the no-reply time-out (2.5 s).
        QTRY_VERIFY_WITH_TIMEOUT(l.link.view.TelnetData.contains("[no reply to C]"), 10000);
        QCOMPARE(radio.log.mid(0, 3), (QStringList{"1 A", "2 B", "3 C"})); // then the polls
        QVERIFY(l.link.view.TelnetData.contains("[no reply to A]\r\n"));
        QVERIFY(l.link.telnet.pending(0).isEmpty());
        QVERIFY(beats > 10);
    }
};

QTEST_GUILESS_MAIN(LoopbackTest)
#include "LoopbackTest.moc"
