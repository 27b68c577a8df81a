#include "app/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

class TerminationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void signalsReachTheEventLoopAndTheOldHandlingComesBack() {
        struct sigaction before {};
        ::sigaction(SIGTERM, nullptr, &before);
        {
            TerminationSignals termination;
            QVERIFY(termination.installed());
            QVERIFY(!TerminationSignals().installed()); // one listener at a time
            QSignalSpy spy(&termination, &TerminationSignals::requested);
            ::raise(SIGTERM);
            ::raise(SIGINT);
            QCOMPARE(spy.count(), 0); // nothing runs inside the handler
            QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 5000);
            QCOMPARE(spy[0][0].toInt(), SIGTERM);
            QCOMPARE(spy[1][0].toInt(), SIGINT);
        }
        struct sigaction after {};
        ::sigaction(SIGTERM, nullptr, &after);
        QVERIFY(after.sa_handler == before.sa_handler);
    }
};

QTEST_MAIN(TerminationTest)
#include "TerminationTest.moc"
