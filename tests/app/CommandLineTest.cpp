#include <QDir>
#include <QProcess>
#include <QTest>

// The window program's command line is read before anything needs a display: on a terminal
// without one, a wrong option is a usage error (exit 1, said on stderr), not an abort in Qt.
class CommandLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aWrongCommandLineIsAUsageErrorWithoutADisplay() {
        const QString program = QDir(qEnvironmentVariable("CV_PROGRAM_DIR")).filePath(QStringLiteral("CVRemote"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QLatin1String(name));
        }
        const struct {
            QStringList arguments;
            const char *said;
        } cases[] = {
            {{QStringLiteral("--bogus")}, "CVRemote: Unknown option 'bogus'."},
            {{QStringLiteral("extra")}, "CVRemote: unexpected argument \"extra\""},
            {{QStringLiteral("--program-folder")}, "CVRemote: Missing value after '--program-folder'."},
        };
        for (const auto &c : cases) {
            QProcess process;
            process.setProcessEnvironment(environment);
            process.start(program, c.arguments);
            QVERIFY2(process.waitForFinished(30000), qPrintable(program));
            const QString err = QString::fromLocal8Bit(process.readAllStandardError());
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), 1);
            QVERIFY2(err.startsWith(QLatin1String(c.said)), qPrintable(err));
            QVERIFY2(err.contains(QStringLiteral("--help")), qPrintable(err));
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
