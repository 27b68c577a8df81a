#include "app/Program.h"

#include "app/Version.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Start-up and close of the whole program in a temporary program folder.
class ProgramTest : public QObject {
    Q_OBJECT

private:
    static void writeFile(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readFile(const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void startsWithDefaultsAndRestoresWhatItSavedOnClose() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFile(dir.filePath(QStringLiteral("Commandlist.txt")), "UP\r\n./POWER\r\nPOWER{}\r\n");
        FakePlatform platform;
        QRect placed;
        {
            Program program(platform, dir.path());
            int ended = 0;
            program.endProgram = [&] { ++ended; };
            QVERIFY(program.start());
            ConfigForm &form = program.mainWindow();
            QVERIFY(form.isVisible());
            QCOMPARE(form.windowTitle(), MainCaption());
            QCOMPARE(program.versionString(), VersionString());
            QCOMPARE(program.commands().selectedIndex(), 1);
            QCOMPARE(form.txtUrl()->text(), QStringLiteral("192.168.1.119"));
            QCOMPARE(form.txtPort()->text(), QStringLiteral("8080"));
            QVERIFY(!form.KeepAsConnected()->isChecked());
            QVERIFY(form.UpdateDisplayLabels()->isChecked());
            QVERIFY(form.Auto21Backout()->isChecked());
            QVERIFY(program.state().FullRefreshDue);
            QCOMPARE(program.currentRemote(), QStringLiteral("remote1"));

            form.txtUrl()->setText(QStringLiteral("127.0.0.1"));
            form.txtPort()->setText(QStringLiteral("18080"));
            form.KeepAsConnected()->setChecked(true);
            form.Auto21Backout()->setChecked(false);
            form.move(40, 60);
            form.resize(1200, 760);
            placed = QRect(form.pos(), form.size());
            QVERIFY(form.close());
            QCOMPARE(ended, 1);
        }
        QList<QByteArray> lines = readFile(dir.filePath(QStringLiteral("CVRemote.ini"))).split('\n');
        lines.removeAll(QByteArray("\r"));
        lines.removeAll(QByteArray());
        const QList<QByteArray> expected{"[General]\r",       "LastRemote=remote1\r", "RaidoURL=127.0.0.1\r",
                                         "RaidoPORT=18080\r", "KeepConnected=1\r",    "AutoRefresh=1\r",
                                         "Auto21Exit=0\r",    "[ConfigForm]\r",       "FC=60,40,1200,760,\r"};
        QCOMPARE(lines, expected);

        Program again(platform, dir.path());
        again.endProgram = [] {};
        QVERIFY(again.start());
        ConfigForm &form = again.mainWindow();
        QCOMPARE(form.txtUrl()->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(form.txtPort()->text(), QStringLiteral("18080"));
        QVERIFY(form.KeepAsConnected()->isChecked());
        QVERIFY(form.UpdateDisplayLabels()->isChecked());
        QVERIFY(!form.Auto21Backout()->isChecked());
        QCOMPARE(QRect(form.pos(), form.size()), placed);
    }

    void secondCopyBeepsAndLeavesTheFirstAlone() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program first(platform, dir.path());
        first.endProgram = [] {};
        int firstBeeps = 0;
        first.beep = [&] { ++firstBeeps; };
        QVERIFY(first.start());

        Program second(platform, dir.path());
        int beeps = 0;
        second.beep = [&] { ++beeps; };
        QVERIFY(!second.start());
        QCOMPARE(beeps, 1);
        QCOMPARE(firstBeeps, 0);
        QVERIFY(first.mainWindow().isVisible());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("CVRemote.ini"))));
    }
};

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
