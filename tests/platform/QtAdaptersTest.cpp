#include "platform/Sound.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Real client against a real loopback server, as the radio link uses it.
class QtAdaptersTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Missing, broken and good files, on a machine that may have no audio at all: neither playing
    // nor dropping the player (which must not wait for a loader) holds the program up.
    void soundNeverBlocksOrFails() {
        QTemporaryDir dir;
        QFile broken(dir.filePath(QStringLiteral("fail.wav")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("RIFF\x10\0\0\0WAVEjunkjunkjunk");
        broken.close();
        QElapsedTimer clock;
        clock.start();
        {
            QtSoundPlayer player;
            for (const char *name : {"missing.wav", "fail.wav", "fail.wav"}) {
                player.play(dir.filePath(QLatin1String(name)));
            }
            player.play(qEnvironmentVariable("CV_TEST_DATA") + QStringLiteral("/sounds/ok.wav"));
        }
        QVERIFY(clock.elapsed() < 1000);
    }

    // Re-enabled far more often than it fires, the timer still fires; at an interval of 0 it never does.
    void qtTimerKeepsItsBeatWhenReEnabled() {
        QtTimer timer;
        QSignalSpy fired(&timer, &Timer::timeout);
        timer.setInterval(40);
        timer.setEnabled(true);
        QTimer nag;
        connect(&nag, &QTimer::timeout, &timer, [&timer] { timer.setEnabled(true); });
        nag.start(5);
        QTRY_VERIFY_WITH_TIMEOUT(!fired.isEmpty(), 5000);
        nag.stop();
        timer.setEnabled(false);
        timer.setInterval(0);
        timer.setEnabled(true);
        fired.clear();
        // A timer still running (at 40 ms, or at 0 ms) would fire before this later one does.
        QTimer later;
        later.setTimerType(Qt::PreciseTimer);
        later.setSingleShot(true);
        QSignalSpy laterFired(&later, &QTimer::timeout);
        later.start(80);
        QVERIFY(laterFired.wait(5000));
        QVERIFY(fired.isEmpty());
    }

    // A peer that floods: while reading is paused nothing is taken and the peer is held back;
    // unpaused, everything arrives, in order.
    void pausedReadingHoldsAFloodBackAndLosesNothing() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const qint64 total = 16 * 1024 * 1024;
        qint64 written = 0;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket *peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::bytesWritten, peer, [&written](qint64 bytes) { written += bytes; });
            QByteArray flood(total, '\0');
            for (qint64 i = 0; i < total; ++i) {
                flood[i] = char('a' + i % 26);
            }
            peer->write(flood);
        });
        QtTcpSocket socket;
        QByteArray data;
        connect(&socket, &TcpSocket::ConnectEvent, &socket, [&socket] { socket.setReadPaused(true); });
        connect(&socket, &TcpSocket::DataArrival, &socket, [&] { data += socket.GetData().toLatin1(); });
        socket.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
        QTRY_VERIFY_WITH_TIMEOUT(written >= 1024 * 1024, 10000);
        QVERIFY(data.isEmpty());
        QVERIFY(written < total);
        socket.setReadPaused(false);
        QTRY_COMPARE_WITH_TIMEOUT(data.size(), total, 20000);
        bool inOrder = true;
        for (qint64 i = 0; i < total && inOrder; i += 4099) {
            inOrder = data[i] == char('a' + i % 26);
        }
        QVERIFY(inOrder);
    }

    // A radio that answers VERSION and closes, twice; one that keeps the connection; a refusal.
    void exchangesReconnectsAndARefusal() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const quint16 port = server.serverPort();
        QByteArray got;
        QPointer<QTcpSocket> lastPeer;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket *peer = lastPeer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, peer, [peer, &got] {
                got += peer->readAll();
                if (got.endsWith("VERSION")) {
                    peer->write("VER=3.1.7\r\n\xe9\r\n");
                    peer->disconnectFromHost();
                }
            });
            connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
        });

        QtTcpSocket socket;
        QStringList events; // in the order they came, a run of DataArrival as one
        QString data;
        const auto note = [&events](const char *name) { return [&events, name] { events << name; }; };
        connect(&socket, &TcpSocket::ConnectEvent, this, note("Connect"));
        connect(&socket, &TcpSocket::SendComplete, this, note("SendComplete"));
        connect(&socket, &TcpSocket::DataArrival, this, [&] {
            if (events.isEmpty() || events.last() != QStringLiteral("DataArrival")) {
                events << QStringLiteral("DataArrival");
            }
            data += socket.GetData();
        });
        connect(&socket, &TcpSocket::CloseEvent, this, note("Close"));
        connect(&socket, &TcpSocket::ErrorEvent, this, note("Error"));
        QCOMPARE(socket.State(), qint16(TcpSocket::sckClosed));
        socket.Close(); // harmless when closed
        for (int round = 0; round < 2; ++round) {
            events.clear();
            data.clear();
            got.clear();
            socket.setLocalPort(0);
            socket.Connect(QStringLiteral("127.0.0.1"), port);
            QTRY_COMPARE(socket.State(), qint16(TcpSocket::sckConnected));
            QCOMPARE(TcpSocket::stateName(socket.State()), QStringLiteral("Connected"));
            QCOMPARE(socket.RemoteHostIP(), QStringLiteral("127.0.0.1"));
            socket.SendData(QStringLiteral("VERSION"));
            QTRY_VERIFY(events.contains(QStringLiteral("Close")));
            QCOMPARE(got, QByteArray("VERSION")); // nothing added to the command
            QCOMPARE(data, QString::fromLatin1("VER=3.1.7\r\n\xe9\r\n"));
            QCOMPARE(events, (QStringList{QStringLiteral("Connect"), QStringLiteral("SendComplete"),
                                          QStringLiteral("DataArrival"), QStringLiteral("Close")}));
            QCOMPARE(socket.State(), qint16(TcpSocket::sckClosing));
            QVERIFY(!socket.PeerReset()); // it read the command, then closed in order
            socket.Close();
            QCOMPARE(socket.State(), qint16(TcpSocket::sckClosed));
        }
        // Kept open: every send completes once, the empty one too, the long one whole.
        events.clear();
        got.clear();
        socket.Connect(QStringLiteral("localhost"), port);
        QTRY_COMPARE(socket.State(), qint16(TcpSocket::sckConnected));
        socket.SendData(QString()); // nothing goes on the wire, and still it completes
        QTRY_COMPARE(events.count(QStringLiteral("SendComplete")), 1);
        socket.SendData(QStringLiteral("UP"));
        socket.SendData(QString(100000, u'x'));
        QTRY_COMPARE(events.count(QStringLiteral("SendComplete")), 3);
        QTRY_COMPARE(got.size(), 100002);
        socket.Close();
        QTRY_VERIFY(lastPeer.isNull()); // the radio saw the close
        // A radio that closes with the command unread resets the connection.
        server.pauseAccepting();
        disconnect(&server, &QTcpServer::newConnection, &server, nullptr);
        connect(&server, &QTcpServer::newConnection, &server, [&server] { server.nextPendingConnection()->close(); });
        events.clear();
        socket.Connect(QStringLiteral("127.0.0.1"), port);
        QTRY_COMPARE(socket.State(), qint16(TcpSocket::sckConnected)); // the system took the connection
        socket.SendData(QStringLiteral("VOLp"));
        QTRY_COMPARE(events.count(QStringLiteral("SendComplete")), 1);
        server.resumeAccepting();
        QTRY_VERIFY(events.contains(QStringLiteral("Close")));
        QVERIFY(socket.PeerReset());
        socket.Close();
        socket.Connect(QStringLiteral("127.0.0.1"), port);
        QVERIFY(!socket.PeerReset()); // a new connection starts afresh
        socket.Close();
        // Nobody listens there now: the attempt ends in an error, never in a Connect.
        server.close();
        events.clear();
        socket.Connect(QStringLiteral("127.0.0.1"), port);
        QTRY_VERIFY(socket.State() == TcpSocket::sckError || socket.State() == TcpSocket::sckClosed);
        QCOMPARE(events, QStringList{QStringLiteral("Error")});
        socket.SendData(QStringLiteral("ignored")); // no connection: nothing happens
        socket.Close();
        QCOMPARE(socket.State(), qint16(TcpSocket::sckClosed));
        QVERIFY(TcpSocket::stateName(-1).isEmpty() && TcpSocket::stateName(10).isEmpty());
    }
};

QTEST_MAIN(QtAdaptersTest)
#include "QtAdaptersTest.moc"
