#include "app/Program.h"
#include "app/TerminationSignals.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"

#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
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

    void terminationClosesTheProgramWithItsSettingsSaved() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program program(platform, dir.path());
        int ended = 0;
        program.endProgram = [&] { ++ended; };
        QVERIFY(program.start());
        program.mainWindow().txtUrl()->setText(QStringLiteral("10.0.0.7"));
        TerminationSignals termination;
        connect(&termination, &TerminationSignals::requested, &program, &Program::Close);
        ::raise(SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(ended, 1, 5000);
        QVERIFY(!program.mainWindow().isVisible());
        QFile ini(dir.filePath(QStringLiteral("CVRemote.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray saved = ini.readAll();
        QVERIFY2(saved.contains("RaidoURL=10.0.0.7\r\n") && saved.contains("[ConfigForm]\r\nFC="), saved.constData());
        program.Close(); // a second request changes nothing
        QCOMPARE(ended, 1);
    }
};

QTEST_MAIN(TerminationTest)
#include "TerminationTest.moc"
