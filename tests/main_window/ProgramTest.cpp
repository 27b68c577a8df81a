#include "app/Program.h"

#include "app/Version.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStatusBar>
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
    void startsWithDefaultsAndSavesOnCloseInOrder() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFile(dir.filePath(QStringLiteral("Commandlist.txt")), "UP\r\n./POWER\r\nPOWER{}\r\n");
        writeFile(dir.filePath(QStringLiteral("remote1.txt")), "10, 20, 30, 40, UP\r\n05, 09, 61, 72, POWER\r\n");
        writeFile(dir.filePath(QStringLiteral("remote1.png")), "");
        writeFile(dir.filePath(QStringLiteral("nopicture.txt")), "01, 02, 03, 04, UP\r\n");
        FakePlatform platform;
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
            // Layouts with a picture are listed; the selected command's rectangle fills the editor.
            QCOMPARE(form.RemoteList()->count(), 1);
            QCOMPARE(form.RemoteList()->currentItem()->text(), QStringLiteral("remote1"));
            QCOMPARE(form.ButtonLocations(0)->text(), QStringLiteral("5"));
            QCOMPARE(form.ButtonLocations(3)->text(), QStringLiteral("72"));
            QCOMPARE(program.link().telnet.pending(1),
                     (QStringList{QStringLiteral("VERSION"), QStringLiteral("STATE"), QStringLiteral("MINFO")}));

            form.txtUrl()->setText(QStringLiteral("127.0.0.1"));
            form.txtPort()->setText(QStringLiteral("18080"));
            form.KeepAsConnected()->setChecked(true);
            form.Auto21Backout()->setChecked(false);
            form.move(40, 60);
            form.resize(1200, 760);
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
    }

    void terminalShowsTheLinksLastTwentyThousandCharacters() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program program(platform, dir.path());
        program.endProgram = [] {};
        QVERIFY(program.start());
        ConfigForm &form = program.mainWindow();
        LinkView &view = program.link().view;
        QVERIFY(form.TelnetData()->toPlainText().startsWith(QStringLiteral("0000000001111111111")));

        QString replies;
        for (int i = 0; i < 3750; ++i) {
            const QString reply = QStringLiteral("VOL=%1\r\n").arg(i % 100, 2, 10, QLatin1Char('0'));
            replies += reply;
            view.appendTerminal(reply);
            view.flush();
        }
        QCOMPARE(replies.size(), 30000);
        QString expected = replies.right(20000);
        QCOMPARE(view.TelnetData, expected);
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(form.TelnetData()->toPlainText(), expected);
        QCOMPARE(form.TelnetData()->textCursor().position(), expected.size());
        QVERIFY(form.TelnetData()->isReadOnly());

        // Unlocked, the view may be edited by hand; the next reply lands after the edit.
        form.UnLockTextBox()->click();
        QVERIFY(!form.TelnetData()->isReadOnly());
        QTest::keyClicks(form.TelnetData(), QStringLiteral("hi"));
        view.appendTerminal(QStringLiteral("OK\r\n"));
        view.flush();
        QVERIFY(view.TelnetData.endsWith(QStringLiteral("VOL=49\r\nhiOK\r\n")));
        QCOMPARE(view.TelnetData.size(), 20000);
        form.UnLockTextBox()->click();
        QVERIFY(form.TelnetData()->isReadOnly());

        QTest::mouseDClick(form.TelnetData()->viewport(), Qt::LeftButton);
        QCOMPARE(view.TelnetData, QString());
        QCOMPARE(form.TelnetData()->toPlainText(), QString());

        // The connection's state shows in the hint box and the status bar.
        view.StatusPanel[1] = QStringLiteral("Connected");
        view.StatusPanel[2] = QStringLiteral("1:0");
        view.HoldOnColour = 65280;
        view.UrlToolTip = QStringLiteral("radio Resolves to 192.168.1.119");
        view.touch();
        view.flush();
        QCOMPARE(form.statusPanel(1), QStringLiteral("Connected"));
        QCOMPARE(form.statusPanel(2), QStringLiteral("1:0"));
        QCOMPARE(form.HoldOn()->palette().color(QPalette::Text), QColor(0, 255, 0));
        QCOMPARE(form.txtUrl()->toolTip(), QStringLiteral("radio Resolves to 192.168.1.119"));
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
