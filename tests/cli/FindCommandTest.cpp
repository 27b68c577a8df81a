#include "e2e/FilledFolder.h"
#include "RadioSimulator.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// cvremote-cli find as a user runs it, on loopback addresses only (the networks are always
// named: the machine's own are never searched by a test). The simulated radios run in this
// process, so the test's event loop answers while the client searches.
class FindCommandTest : public QObject {
    Q_OBJECT

    struct Result {
        int code = -1; // -1: crashed or did not end
        QString out;
        QString err;
    };

    QTemporaryDir dir;

    Result run(const QStringList &arguments) {
        QProcess process;
        process.setProgram(QDir(qEnvironmentVariable("CV_PROGRAM_DIR")).filePath(QStringLiteral("cvremote-cli")));
        process.setArguments(QStringList{QStringLiteral("--program-folder"), dir.path()} + arguments);
        QSignalSpy done(&process, &QProcess::finished);
        process.start();
        Result result;
        if (!done.wait(60000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        if (process.exitStatus() == QProcess::NormalExit) {
            result.code = process.exitCode();
        }
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

private Q_SLOTS:
    void listsEveryRadioReadyForRadioOption() {
        RadioSimulator first, second;
        quint16 port = 0;
        for (int attempt = 0; attempt < 10 && port == 0; ++attempt) {
            first.stop();
            second.stop();
            if (first.start(QHostAddress(QStringLiteral("127.0.78.2")), 0) &&
                second.start(QHostAddress(QStringLiteral("127.0.78.1")), first.commandPort())) {
                port = first.commandPort();
            }
        }
        QVERIFY2(port != 0, "no port free on both of the test's loopback addresses");
        // Without --port the settings' port is the one asked.
        QVERIFY(FillProgramFolder(dir.path(), port));

        const Result found =
            run({QStringLiteral("find"), QStringLiteral("--network"), QStringLiteral("127.0.78.0/30")});
        QCOMPARE(found.code, 0);
        QVERIFY2(found.err.isEmpty(), qPrintable(found.err));
        QCOMPARE(found.out, QStringLiteral("127.0.78.1:%1 3.1.7\n127.0.78.2:%1 3.1.7\n").arg(port));

        // A line's first word is what --radio takes.
        const Result asked = run({QStringLiteral("--radio"), found.out.section(u' ', 0, 0), QStringLiteral("send"),
                                  QStringLiteral("VERSION")});
        QCOMPARE(asked.code, 0);
        QCOMPARE(asked.out, QStringLiteral("VER=3.1.7\n"));

        // Nobody there: a clear line on stderr, nothing on stdout, "unreachable".
        const Result none = run({QStringLiteral("find"), QStringLiteral("--network"), QStringLiteral("127.0.78.4/30"),
                                 QStringLiteral("--port"), QString::number(port)});
        QCOMPARE(none.code, 3);
        QVERIFY(none.out.isEmpty());
        QVERIFY2(none.err.contains(QStringLiteral("no radio answered on port %1 in 127.0.78.4/30").arg(port)),
                 qPrintable(none.err));
        QVERIFY2(none.err.contains(QStringLiteral("2 addresses asked: 2 refused")), qPrintable(none.err));
    }

    // Refused before anything is asked: usage errors.
    void refusesWhatItMayNotSearch() {
        QVERIFY(FillProgramFolder(dir.path(), 1));
        const QList<QPair<QStringList, QString>> cases{
            {{QStringLiteral("--network"), QStringLiteral("8.8.8.0/24")}, QStringLiteral("not a private network")},
            {{QStringLiteral("--network"), QStringLiteral("127.0.0.0/24"), QStringLiteral("--network"),
              QStringLiteral("192.168.0.0/16")},
             QStringLiteral("wider than a /24")},
            {{QStringLiteral("--network"), QStringLiteral("radio.local")}, QStringLiteral("no IPv4 network")},
            {{QStringLiteral("--network"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"), QStringLiteral("0")},
             QStringLiteral("--port")},
            {{QStringLiteral("127.0.0.1")}, QStringLiteral("takes no arguments")},
        };
        for (const auto &[arguments, why] : cases) {
            const Result r = run(QStringList{QStringLiteral("find")} + arguments);
            QCOMPARE(r.code, 2);
            QVERIFY(r.out.isEmpty());
            QVERIFY2(r.err.contains(why), qPrintable(r.err));
        }
    }
};

QTEST_GUILESS_MAIN(FindCommandTest)
#include "FindCommandTest.moc"
