#include "platform/GetBorderSize.h"
#include "platform/Sound.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

// Real client against a real loopback server, as the radio link uses it.
class QtAdaptersTest : public QObject {
    Q_OBJECT

private:
    // Records the socket's events in the order they came, with what GetData returned.
    struct Recorder {
        QStringList events;
        QString data;
        explicit Recorder(TcpSocket &s) {
            QObject::connect(&s, &TcpSocket::ConnectEvent, [this] { events << QStringLiteral("Connect"); });
            QObject::connect(&s, &TcpSocket::DataArrival, [this, &s] {
                if (events.isEmpty() || events.last() != QStringLiteral("DataArrival")) {
                    events << QStringLiteral("DataArrival");
                }
                data += s.GetData();
            });
            QObject::connect(&s, &TcpSocket::CloseEvent, [this] { events << QStringLiteral("Close"); });
            QObject::connect(&s, &TcpSocket::ErrorEvent, [this] { events << QStringLiteral("Error"); });
            QObject::connect(&s, &TcpSocket::SendComplete, [this] { events << QStringLiteral("SendComplete"); });
        }
    };

    // A one-shot radio: reads one command, answers, closes.
    static void answerOnce(QTcpServer &server, const QByteArray &reply, QByteArray *got) {
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, reply, got] {
            QTcpSocket *peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [peer, reply, got] {
                *got += peer->readAll();
                peer->write(reply);
                peer->disconnectFromHost();
            });
            QObject::connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
        });
    }

private Q_SLOTS:
    void soundNeverBlocksOrFails() {
        QTemporaryDir dir;
        QFile broken(dir.filePath(QStringLiteral("fail.wav")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("RIFF\x10\0\0\0WAVEjunkjunkjunk");
        broken.close();
        QtSoundPlayer player;
        QElapsedTimer clock;
        clock.start();
        player.play(dir.filePath(QStringLiteral("missing.wav")));
        player.play(dir.filePath(QStringLiteral("fail.wav")));
        player.play(dir.filePath(QStringLiteral("fail.wav")));
        // A good file on a machine that may have no audio at all.
        player.play(qEnvironmentVariable("CV_TEST_DATA") + QStringLiteral("/sounds/ok.wav"));
        QVERIFY(clock.elapsed() < 1000);
        QTest::qWait(20); // let the decoder report its failure; nothing may crash
    }

    void borderSizeOfAWindow() {
        QVERIFY(GetBorderSize(nullptr).failed);
        QWindow window;
        window.setGeometry(50, 60, 200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const BorderSize size = GetBorderSize(&window);
        QVERIFY(!size.failed);
        QCOMPARE(size.innerWidth, 200);
        QCOMPARE(size.innerHeight, 100);
        QVERIFY(size.outerWidth >= size.innerWidth);
        QCOMPARE(size.outerWidth, size.innerWidth + 2 * size.borderWidth);
        QCOMPARE(size.outerHeight, size.innerHeight + size.titleHeight + size.bottomHeight);
    }

    void qtTimerKeepsItsBeatWhenReEnabled() {
        QtTimer timer;
        QSignalSpy fired(&timer, &Timer::timeout);
        timer.setInterval(40);
        timer.setEnabled(true);
        QElapsedTimer clock;
        clock.start();
        // Re-enabled far more often than it fires: it must still fire.
        while (fired.isEmpty() && clock.elapsed() < 5000) {
            timer.setEnabled(true);
            QTest::qWait(5);
        }
        QVERIFY(!fired.isEmpty());
        timer.setEnabled(false);
        timer.setInterval(0);
        timer.setEnabled(true); // enabled, but an interval of 0 never fires
        fired.clear();
        QTest::qWait(50);
        QVERIFY(fired.isEmpty());
    }

    void stateNames() {
        QCOMPARE(TcpSocket::stateName(0), QStringLiteral("Closed"));
        QCOMPARE(TcpSocket::stateName(3), QStringLiteral("Connection pending"));
        QCOMPARE(TcpSocket::stateName(7), QStringLiteral("Connected"));
        QCOMPARE(TcpSocket::stateName(9), QStringLiteral("Error"));
        QCOMPARE(TcpSocket::stateName(10), QString());
    }

    void normalExchangeAndReconnect() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QByteArray got;
        answerOnce(server, QByteArray("VER=3.1.7\r\n\xe9\r\n"), &got);

        QtTcpSocket socket;
        Recorder rec(socket);
        QCOMPARE(socket.State(), qint16(TcpSocket::sckClosed));
        socket.Close(); // harmless when closed
        for (int round = 0; round < 2; ++round) {
            rec.events.clear();
            rec.data.clear();
            got.clear();
            socket.setLocalPort(0);
            socket.Connect(QStringLiteral("127.0.0.1"), server.serverPort());
            QTRY_COMPARE(socket.State(), qint16(TcpSocket::sckConnected));
            QCOMPARE(socket.RemoteHostIP(), QStringLiteral("127.0.0.1"));
            socket.SendData(QStringLiteral("VERSION"));
            QTRY_VERIFY(rec.events.contains(QStringLiteral("Close")));
            QCOMPARE(got, QByteArray("VERSION")); // nothing added to the command
            QCOMPARE(rec.data, QString::fromLatin1("VER=3.1.7\r\n\xe9\r\n"));
            QCOMPARE(rec.events, (QStringList{QStringLiteral("Connect"), QStringLiteral("SendComplete"),
                                              QStringLiteral("DataArrival"), QStringLiteral("Close")}));
            QCOMPARE(socket.State(), qint16(TcpSocket::sckClosing));
            socket.Close();
            QCOMPARE(socket.State(), qint16(TcpSocket::sckClosed));
        }
    }

    void refusedConnectionEndsClosedOrInError() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const quint16 port = server.serverPort();
        server.close(); // nobody listens there now

        QtTcpSocket socket;
        Recorder rec(socket);
        socket.Connect(QStringLiteral("127.0.0.1"), port);
        QTRY_VERIFY(socket.State() == TcpSocket::sckError || socket.State() == TcpSocket::sckClosed);
        QVERIFY(rec.events.contains(QStringLiteral("Error")));
        QVERIFY(!rec.events.contains(QStringLiteral("Connect")));
        socket.SendData(QStringLiteral("ignored")); // no connection: nothing happens
        socket.Close();
        QCOMPARE(socket.State(), qint16(TcpSocket::sckClosed));
    }

    void sendCompleteForEverySend() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        QByteArray got;
        QTcpSocket *peer = nullptr;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, peer, [&] { got += peer->readAll(); });
        });
        QtTcpSocket socket;
        QSignalSpy complete(&socket, &TcpSocket::SendComplete);
        socket.Connect(QStringLiteral("localhost"), server.serverPort());
        QTRY_COMPARE(socket.State(), qint16(TcpSocket::sckConnected));
        socket.SendData(QStringLiteral("UP"));
        socket.SendData(QString());
        socket.SendData(QString(100000, u'x'));
        QTRY_COMPARE(complete.size(), 3);
        QTRY_COMPARE(got.size(), 100002);
        socket.Close();
        QTRY_VERIFY(peer && peer->state() == QAbstractSocket::UnconnectedState);
    }
};

QTEST_MAIN(QtAdaptersTest)
#include "QtAdaptersTest.moc"
