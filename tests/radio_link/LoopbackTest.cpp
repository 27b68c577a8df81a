#include "display/SkinTables.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// A radio on 127.0.0.1 in the same process: one command per connection, answered at once
// unless told to stall or drop, logged with the connection it came on.
class LoopbackRadio : public QObject {
public:
    struct Entry {
        int connection;
        QByteArray bytes;
    };

    std::function<QByteArray(const QByteArray &)> answer = [](const QByteArray &command) -> QByteArray {
        if (command == "MINFO") {
            return "Menu state=5 mp=1 ms=1 title=Now playing\r\n";
        }
        if (command == "VOLUME") {
            return "VOL=35\r\n";
        }
        if (command == "LISTINFO") {
            return "List pos=0\r\n";
        }
        if (command == "METAINFO") {
            return "Meta title=T artist=A album=B url=U status=playing\r\n";
        }
        if (command == "STATE") {
            return "STATE=ON\r\n";
        }
        if (command == "VERSION") {
            return "VER=3.1.7\r\n";
        }
        return "OK\r\n";
    };
    QList<int> stallConnections; // accept and read, never answer
    QList<int> dropConnections;  // closed without an answer

    QList<Entry> log;
    int connections = 0;

    bool listen(quint16 port = 0) {
        connect(&m_server, &QTcpServer::newConnection, this, &LoopbackRadio::onNewConnection, Qt::UniqueConnection);
        return m_server.listen(QHostAddress::LocalHost, port);
    }
    void close() { m_server.close(); }
    quint16 port() const { return m_server.serverPort(); }

    QStringList commands() const {
        QStringList list;
        for (const Entry &e : log) {
            list << QString::fromLatin1(e.bytes);
        }
        return list;
    }

private:
    void onNewConnection() {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            const int number = ++connections;
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, number] {
                const QByteArray bytes = socket->readAll();
                log.push_back({number, bytes});
                if (stallConnections.contains(number)) {
                    return;
                }
                if (!dropConnections.contains(number)) {
                    socket->write(answer(bytes));
                }
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer m_server;
};

struct Link {
    QtPlatform platform;
    RadioState state;
    Timeouts timeouts;
    SkinTables skin;
    RadioLink link{platform, state, timeouts, skin};

    explicit Link(quint16 port) {
        link.settings.txtUrl = QStringLiteral("127.0.0.1");
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
    void commandThenAcknowledgementThenPollDecoded();
    void refusedRadioIsRetriedUntilItListens();
    void stalledAndDroppedCommandsAreSentAgain();
};

void LoopbackTest::commandThenAcknowledgementThenPollDecoded() {
    LoopbackRadio radio;
    QVERIFY(radio.listen());
    Link l(radio.port());
    l.link.telnet.QueueCommand(0, QStringLiteral("VOLp"));
    l.link.telnet.QueueCommand(0, QStringLiteral("QXDELAY"));

    QTRY_VERIFY_WITH_TIMEOUT(l.state.VolumeText == QLatin1String("35") && l.state.MenuState == QLatin1String("5"),
                             5000);
    // The command left first, exactly as queued, and every command had a connection of its own.
    QVERIFY(!radio.log.isEmpty());
    QCOMPARE(radio.log.first().bytes, QByteArray("VOLp"));
    QCOMPARE(radio.log.first().connection, 1);
    for (qsizetype i = 0; i < radio.log.size(); ++i) {
        QCOMPARE(radio.log[i].connection, int(i) + 1);
    }
    // The acknowledgement asked the poll for the volume and the menu on the query channel.
    QVERIFY(radio.commands().contains(QStringLiteral("VOLUME")));
    QVERIFY(radio.commands().contains(QStringLiteral("MINFO")));
    QVERIFY(l.link.view.TelnetData.contains(QStringLiteral("OK\r\n")));
    QCOMPARE(l.link.view.VolumeAdjusterValue, 35);
}

void LoopbackTest::refusedRadioIsRetriedUntilItListens() {
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    Link l(port);
    int beats = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] { ++beats; });
    beat.start(10);

    l.link.telnet.QueueCommand(0, QStringLiteral("A"));
    l.link.telnet.QueueCommand(0, QStringLiteral("B"));
    QTRY_VERIFY_WITH_TIMEOUT(l.link.view.StatusPanel[3].startsWith(QLatin1String("Fail in ")), 3000);
    QCOMPARE(l.link.telnet.pending(0), (QStringList{"A", "B"}));
    QCOMPARE(l.link.view.UrlToolTip, QStringLiteral("Could not open port"));

    LoopbackRadio radio;
    QVERIFY(radio.listen(port));
    QTRY_COMPARE_WITH_TIMEOUT(radio.commands(), (QStringList{"A", "B"}), 5000);
    QVERIFY(l.link.telnet.pending(0).isEmpty());
    QCOMPARE(l.link.view.UrlToolTip, QStringLiteral("127.0.0.1 Resolves to 127.0.0.1"));
    // Nothing waited by blocking: the event loop kept turning throughout.
    QVERIFY(beats > 10);
}

void LoopbackTest::stalledAndDroppedCommandsAreSentAgain() {
    LoopbackRadio radio;
    radio.dropConnections = {1};
    radio.stallConnections = {3};
    QVERIFY(radio.listen());
    Link l(radio.port());
    l.link.telnet.QueueCommand(0, QStringLiteral("A"));
    l.link.telnet.QueueCommand(0, QStringLiteral("B"));
    l.link.telnet.QueueCommand(0, QStringLiteral("C"));
    // A is dropped once, B stalls until the no-reply time-out (2.5 s) and goes again.
    QTRY_COMPARE_WITH_TIMEOUT(radio.commands(), (QStringList{"A", "A", "B", "B", "C"}), 8000);
    QTRY_VERIFY_WITH_TIMEOUT(l.link.telnet.pending(0).isEmpty(), 2000);
}

QTEST_GUILESS_MAIN(LoopbackTest)
#include "LoopbackTest.moc"
