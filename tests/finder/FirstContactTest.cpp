#include "finder/FirstContact.h"

#include "LoopbackHosts.h"
#include "RadioSimulator.h"
#include "support/FakePlatform.h"

#include <QSignalSpy>
#include <QTest>

class FirstContactTest : public QObject {
    Q_OBJECT

    FirstContact::Choice defaults() const {
        FirstContact::Choice choice;
        choice.radioHost = QStringLiteral("192.168.1.119"); // never asked: the tests look on loopback
        choice.radioPort = QStringLiteral("8080");
        choice.consoleHost = QStringLiteral("192.168.1.88");
        choice.consolePort = QStringLiteral("8899");
        choice.consoleFollowsRadio = false;
        return choice;
    }

private Q_SLOTS:
    // A first contact on loopback: the search finds the radio among hosts that refuse, stay
    // silent or answer as something else; a pick takes its address and port; Test asks it once
    // and says what each kind of host did; Use these hands on what is shown.
    void findPickTestAndTake() {
        RadioSimulator radio;
        TextServer silent;
        TextServer web("HTTP/1.1 400 Bad Request\r\n\r\n");
        quint16 port = 0;
        for (int attempt = 0; attempt < 10 && port == 0; ++attempt) {
            radio.stop();
            silent.close();
            web.close();
            if (!radio.start(QHostAddress(QStringLiteral("127.0.78.2")), 0)) {
                continue;
            }
            const quint16 p = radio.commandPort();
            port = silent.listen(QHostAddress(QStringLiteral("127.0.78.4")), p) &&
                           web.listen(QHostAddress(QStringLiteral("127.0.78.5")), p)
                       ? p
                       : 0;
        }
        QVERIFY2(port != 0, "no port free on all of the test's loopback addresses");

        QStringList commands;
        connect(&radio, &RadioSimulator::commandReceived, this,
                [&commands](int, const QString &command) { commands << command; });
        LoopbackPlatform platform;
        int searches = 0;
        FirstContact contact(platform, [&searches] {
            ++searches;
            return QList<Ipv4Network>{ParseFindNetwork(QStringLiteral("127.0.78.0/29")).network};
        });
        FirstContact::Choice start = defaults();
        start.radioPort = QString::number(port);
        contact.load(start);

        QVERIFY(contact.find());
        QCOMPARE(searches, 1);
        QVERIFY(contact.finding());
        QVERIFY2(contact.findText().contains(QStringLiteral("127.0.78.0/29")), qPrintable(contact.findText()));
        QTRY_COMPARE_WITH_TIMEOUT(contact.found().size(), 1, 30000);
        platform.fakeClock.advance(2000); // the silent host's time is up
        QTRY_VERIFY(!contact.finding());
        QCOMPARE(contact.found().first().addressText(), QStringLiteral("127.0.78.2"));
        QVERIFY2(contact.findText().startsWith(QStringLiteral("1 radio found")), qPrintable(contact.findText()));

        // The console stays where the settings put it until the user lets it follow the radio.
        contact.pick(0);
        QCOMPARE(contact.choice().radioHost, QStringLiteral("127.0.78.2"));
        QCOMPARE(contact.choice().radioPort, QString::number(port));
        QCOMPARE(contact.choice().consoleHostUsed(), QStringLiteral("192.168.1.88"));
        contact.setConsoleFollowsRadio(true);
        QCOMPARE(contact.choice().consoleHostUsed(), QStringLiteral("127.0.78.2"));

        contact.test();
        QVERIFY(contact.testing());
        QTRY_VERIFY(!contact.testing());
        QCOMPARE(contact.testText(), QStringLiteral("The radio at 127.0.78.2:%1 answers: version 3.1.7").arg(port));
        QVERIFY(contact.testPassed());

        contact.setRadioHost(QStringLiteral("127.0.78.3")); // nobody listens there
        QCOMPARE(contact.choice().consoleHostUsed(), QStringLiteral("127.0.78.3"));
        contact.test();
        QTRY_VERIFY(!contact.testing());
        QVERIFY(!contact.testPassed());
        QVERIFY2(
            contact.testText().startsWith(QStringLiteral("Cannot reach 127.0.78.3:%1: connection refused").arg(port)),
            qPrintable(contact.testText()));
        QVERIFY(contact.testText().endsWith(QStringLiteral(".")));

        contact.setRadioHost(QStringLiteral("127.0.78.5"));
        contact.test();
        QTRY_VERIFY(!contact.testing());
        QCOMPARE(
            contact.testText(),
            QStringLiteral("127.0.78.5:%1 answers, but not as the radio does: \"HTTP/1.1 400 Bad Request\"").arg(port));

        contact.setRadioHost(QStringLiteral("127.0.78.4"));
        const qsizetype asked = silent.received.count("VERSION");
        contact.test();
        // Connected and asked, and then nothing comes.
        QTRY_COMPARE_WITH_TIMEOUT(silent.received.count("VERSION"), asked + 1, 30000);
        QVERIFY(contact.testing());
        platform.fakeClock.advance(2500);
        QVERIFY(!contact.testing());
        QVERIFY2(contact.testText().contains(QStringLiteral("gave no answer to VERSION")),
                 qPrintable(contact.testText()));

        // Only values that can be used are handed on.
        QList<FirstContact::Choice> applied;
        connect(&contact, &FirstContact::applied, this, [&applied](const FirstContact::Choice &c) { applied << c; });
        contact.setRadioPort(QStringLiteral("80800"));
        QVERIFY(contact.problem().contains(QStringLiteral("80800")));
        QVERIFY(!contact.apply());
        contact.setRadioHost(QStringLiteral("127.0.78.2"));
        contact.setRadioPort(QString::number(port));
        contact.setConsolePort(QStringLiteral("9001"));
        QVERIFY(contact.apply());
        QCOMPARE(applied.count(), 1);
        const FirstContact::Choice taken = applied.first();
        QCOMPARE(taken.radioHost, QStringLiteral("127.0.78.2"));
        QCOMPARE(taken.consoleHostUsed(), QStringLiteral("127.0.78.2"));
        QCOMPARE(taken.consolePort, QStringLiteral("9001"));
        QVERIFY(taken.consoleFollowsRadio);
        QCOMPARE(commands, QStringList({QStringLiteral("VERSION"), QStringLiteral("VERSION")})); // the search, Test
    }

    // A test that does not reach the host before its time ends says so; with nothing to search
    // the search says why and starts nothing.
    void timeoutsAndNothingToSearch() {
        FakePlatform platform;
        FirstContact contact(platform, [] { return QList<Ipv4Network>{}; });
        contact.load(defaults());
        QVERIFY(!contact.find());
        QVERIFY(contact.findText().contains(QStringLiteral("no private network")));
        QVERIFY(platform.sockets.size() == 1); // the test's own socket, never used
        contact.setRadioHost(QStringLiteral("10.77.0.9"));
        contact.test();
        QCOMPARE(platform.sockets[0]->host, QStringLiteral("10.77.0.9"));
        platform.fakeClock.advance(2000);
        QVERIFY(!contact.testing());
        QVERIFY2(contact.testText().startsWith(QStringLiteral("Cannot reach 10.77.0.9:8080: no answer in time")),
                 qPrintable(contact.testText()));
        // A host name that cannot be found is named as such.
        contact.test();
        platform.sockets[0]->fail(int(QAbstractSocket::HostNotFoundError), QStringLiteral("Host not found"));
        QVERIFY2(contact.testText().contains(QStringLiteral(": name not found.")), qPrintable(contact.testText()));
    }
};

QTEST_GUILESS_MAIN(FirstContactTest)
#include "FirstContactTest.moc"
