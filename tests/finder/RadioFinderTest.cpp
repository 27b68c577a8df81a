#include "finder/RadioFinder.h"

#include "LoopbackHosts.h"
#include "RadioSimulator.h"
#include "support/FakePlatform.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <set>

namespace {

quint32 ip(const char *text) {
    quint32 address = 0;
    ParseIpv4(QString::fromLatin1(text), address);
    return address;
}

QStringList addresses(const QList<FoundRadio> &found) {
    QStringList list;
    for (const FoundRadio &radio : found) {
        list << radio.addressText() + u' ' + radio.version;
    }
    std::sort(list.begin(), list.end());
    return list;
}

QStringList loggedCommands(const QString &path) {
    QFile file(path);
    QStringList commands;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty()) {
                commands << QString::fromLatin1(line.split('\t').value(3));
            }
        }
    }
    return commands;
}

} // namespace

class RadioFinderTest : public QObject {
    Q_OBJECT

    // What the finder queued for the event loop (the next addresses, its end) is done.
    static void settle() { QCoreApplication::sendPostedEvents(); }

private Q_SLOTS:
    // The search's pace on fake sockets and fake time: never more hosts at once than allowed,
    // each host its own time-outs, and a /24 of silent hosts done in (254 / parallel) rounds.
    void searchKeepsItsPaceAndItsBounds() {
        FakePlatform platform;
        RadioFinder finder(platform);
        QSignalSpy finished(&finder, &RadioFinder::finished);
        QVERIFY(finder.start({ParseFindNetwork(QStringLiteral("127.1.2.0/24")).network}, 8080));
        QCOMPARE(finder.asking(), 0); // nothing from inside start()
        settle();
        QCOMPARE(finder.asking(), 64);
        QCOMPARE(platform.sockets.size(), size_t(64));
        for (size_t i = 0; i < 64; ++i) {
            QCOMPARE(platform.sockets[i]->host, QStringLiteral("127.1.2.%1").arg(i + 1));
            QCOMPARE(platform.sockets[i]->port, quint16(8080));
        }

        FakeTcpSocket &radio = *platform.sockets[2];
        radio.acceptConnection();
        QCOMPARE(radio.sent, QStringList{QStringLiteral("VERSION")}); // the query, nothing added
        radio.receive(QStringLiteral("VER=3.1.7\r\n"));
        QCOMPARE(addresses(finder.found()), QStringList{QStringLiteral("127.1.2.3 3.1.7")});
        platform.sockets[3]->refuseConnection();
        platform.sockets[4]->acceptConnection();
        platform.sockets[4]->receive(QStringLiteral("HTTP/1.1 400 Bad Request\r\n"));
        FakeTcpSocket &silent = *platform.sockets[5];
        silent.acceptConnection(); // connected, and then nothing

        // The three places freed go to the next addresses; the limit holds.
        settle();
        QCOMPARE(platform.sockets[4]->host, QStringLiteral("127.1.2.67"));
        QCOMPARE(platform.sockets[2]->host, QStringLiteral("127.1.2.65"));
        QCOMPARE(finder.asking(), 64);
        QCOMPARE(platform.sockets.size(), size_t(64));

        platform.fakeClock.advance(499);
        settle();
        QCOMPARE(finder.tally().silent, 0);
        platform.fakeClock.advance(1);       // 500 ms
        QCOMPARE(finder.tally().silent, 63); // every host still connecting; the connected one waits on
        QVERIFY(silent.state != TcpSocket::sckClosed);
        settle();
        QCOMPARE(finder.asking(), 64);
        platform.fakeClock.advance(500); // 1000 ms
        settle();
        QCOMPARE(finder.asking(), 64);
        platform.fakeClock.advance(500);              // 1500 ms
        QCOMPARE(silent.state, TcpSocket::sckClosed); // its answer time ran out 1500 ms after connecting
        settle();
        QCOMPARE(finder.asking(), 61); // the last addresses
        QCOMPARE(finished.count(), 0);
        platform.fakeClock.advance(500); // four rounds of 500 ms: 64 + 64 + 64 + 62 hosts
        settle();
        QCOMPARE(finished.count(), 1);
        const RadioFinder::Tally &tally = finder.tally();
        QCOMPARE(tally.asked, 254);
        QCOMPARE(tally.found, 1);
        QCOMPARE(tally.refused, 1);
        QCOMPARE(tally.other, 1);
        QCOMPARE(tally.silent, 251);
        int connects = 0;
        for (const FakeTcpSocket *socket : platform.sockets) {
            connects += socket->connectCalls;
            QCOMPARE(socket->state, TcpSocket::sckClosed);
        }
        QCOMPARE(connects, 254); // every host once
    }

    // What is refused asks nobody; an empty search still ends, from the event loop.
    void refusedSearchesAskNobody() {
        FakePlatform platform;
        RadioFinder finder(platform);
        QString error;
        QVERIFY(!finder.start({Ipv4Network{ip("8.8.8.0"), 24}}, 8080, &error));
        QVERIFY2(error.contains(QStringLiteral("not a private")), qPrintable(error));
        QVERIFY(!finder.start({Ipv4Network{ip("192.168.0.0"), 16}}, 8080, &error));
        QVERIFY2(error.contains(QStringLiteral("wider")), qPrintable(error));
        // One bad network among good ones stops the whole search.
        QVERIFY(!finder.start({Ipv4Network{ip("10.0.0.0"), 24}, Ipv4Network{ip("172.32.0.0"), 24}}, 8080, &error));
        QVERIFY(!finder.start({Ipv4Network{ip("10.0.0.0"), 24}}, 0, &error));
        QVERIFY(platform.sockets.empty());

        QSignalSpy finished(&finder, &RadioFinder::finished);
        QVERIFY(finder.start({}, 8080));
        QVERIFY(!finder.start({}, 8080, &error)); // one search at a time
        QCOMPARE(finished.count(), 0);
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(finder.found().isEmpty());
        QCOMPARE(finder.tally().asked, 0);
        QVERIFY(platform.sockets.empty());

        // The host bits of a network made by hand are dropped: the search stays inside it, here
        // at the very end of loopback.
        QVERIFY(finder.start({Ipv4Network{ip("127.255.255.255"), 30}}, 8080));
        settle();
        QCOMPARE(platform.sockets.size(), size_t(2));
        QCOMPARE(platform.sockets[0]->host, QStringLiteral("127.255.255.253"));
        QCOMPARE(platform.sockets[1]->host, QStringLiteral("127.255.255.254"));
    }

    // The real wire on loopback addresses of a /29: two radios, a host that refuses, one that
    // takes the connection and never answers, one that answers as a web server does and a
    // radio that answers noise. Radios on the broadcast address and beyond the network are not
    // asked.
    void findsTheRadiosAmongOtherHosts() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        RadioSimulator radio1, radio6, noisy, onBroadcast, outside;
        noisy.setGarbage(true);
        TextServer silent;
        TextServer web("HTTP/1.1 400 Bad Request\r\nConnection: close\r\n\r\n");
        // One port for every host, as the radios of a network share theirs; another one when
        // some address has it taken already.
        quint16 port = 0;
        for (int attempt = 0; attempt < 10 && port == 0; ++attempt) {
            for (RadioSimulator *sim : {&radio1, &radio6, &noisy, &onBroadcast, &outside}) {
                sim->stop();
            }
            silent.close();
            web.close();
            if (!radio1.start(QHostAddress(QStringLiteral("127.0.77.1")), 0)) {
                continue;
            }
            const quint16 p = radio1.commandPort();
            const bool all = radio6.start(QHostAddress(QStringLiteral("127.0.77.6")), p) &&
                             noisy.start(QHostAddress(QStringLiteral("127.0.77.5")), p) &&
                             onBroadcast.start(QHostAddress(QStringLiteral("127.0.77.7")), p) &&
                             outside.start(QHostAddress(QStringLiteral("127.0.77.8")), p) &&
                             silent.listen(QHostAddress(QStringLiteral("127.0.77.3")), p) &&
                             web.listen(QHostAddress(QStringLiteral("127.0.77.4")), p);
            port = all ? p : 0;
        }
        QVERIFY2(port != 0, "no port free on all of the test's loopback addresses");
        QVERIFY(radio1.setLogFile(dir.filePath(QStringLiteral("radio1.log"))));
        QVERIFY(onBroadcast.setLogFile(dir.filePath(QStringLiteral("broadcast.log"))));
        QVERIFY(outside.setLogFile(dir.filePath(QStringLiteral("outside.log"))));

        LoopbackPlatform platform;
        RadioFinder finder(platform);
        QSignalSpy found(&finder, &RadioFinder::radioFound);
        QSignalSpy finished(&finder, &RadioFinder::finished);
        QVERIFY(finder.start({ParseFindNetwork(QStringLiteral("127.0.77.0/29")).network}, port));
        // Everyone but the silent host has had their say; it waits for its time-out.
        QTRY_COMPARE_WITH_TIMEOUT(finder.tally().asked - finder.asking(), 5, 30000);
        QCOMPARE(finder.asking(), 1);
        QCOMPARE(addresses(finder.found()),
                 (QStringList{QStringLiteral("127.0.77.1 3.1.7"), QStringLiteral("127.0.77.6 3.1.7")}));
        QCOMPARE(found.count(), 2);
        QCOMPARE(finder.found().first().port, port);
        QCOMPARE(finder.tally().refused, 1);
        QCOMPARE(finder.tally().other, 2);
        QCOMPARE(finished.count(), 0);
        QTRY_COMPARE(silent.received, QByteArray("VERSION"));
        QCOMPARE(web.received, QByteArray("VERSION"));

        platform.fakeClock.advance(finder.limits().answerMs);
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finder.tally().silent, 1);
        QCOMPARE(finder.tally().asked, 6);
        QCOMPARE(loggedCommands(dir.filePath(QStringLiteral("radio1.log"))), QStringList{QStringLiteral("VERSION")});
        QVERIFY(loggedCommands(dir.filePath(QStringLiteral("broadcast.log"))).isEmpty());
        QVERIFY(loggedCommands(dir.filePath(QStringLiteral("outside.log"))).isEmpty());
    }
};

QTEST_GUILESS_MAIN(RadioFinderTest)
#include "RadioFinderTest.moc"
