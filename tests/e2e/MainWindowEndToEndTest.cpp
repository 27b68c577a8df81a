#include "app/Program.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "RadioSimulator.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// The real program (main window, radio link, real sockets and timers) in a temporary program
// folder, talking to the simulated radio on a loopback port.
class MainWindowEndToEndTest : public QObject {
    Q_OBJECT

private:
    struct Sent {
        QString command;
        int connection = 0;
        bool onQueryChannel = false; // only the query channel's socket was connected
    };

    QtPlatform m_platform;

    // The default data files, and settings pointing at the simulator.
    static void prepareFolder(const QTemporaryDir &dir, quint16 port) {
        const QDir data(qEnvironmentVariable("CV_TEST_DATA"));
        for (const QString &name : data.entryList(QDir::Files)) {
            QFile::copy(data.filePath(name), dir.filePath(name));
        }
        QVERIFY2(QFile::exists(dir.filePath(QStringLiteral("Commandlist.txt"))), "CV_TEST_DATA names the data folder");
        QFile ini(dir.filePath(QStringLiteral("CVRemote.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[General]\r\nRaidoURL=127.0.0.1\r\nRaidoPORT=%1\r\n").arg(port).toLatin1());
    }

    static std::unique_ptr<Program> makeProgram(Platform &platform, const QTemporaryDir &dir) {
        auto program = std::make_unique<Program>(platform, dir.path());
        program->endProgram = [] {};
        program->beep = [] {};
        return program;
    }

    // Notes each command the radio takes and which of the program's sockets carried it.
    static void recordWire(RadioSimulator &sim, Program *&program, QList<Sent> &sent) {
        connect(&sim, &RadioSimulator::commandReceived, &sim, [&](int connection, const QString &command) {
            RadioConnection &link = program->link().connection;
            const bool query = link.RadioPort(1).State() == TcpSocket::sckConnected &&
                               link.RadioPort(0).State() != TcpSocket::sckConnected;
            sent.append(Sent{command, connection, query});
        });
    }

    static QString terminal(Program &program) { return program.mainWindow().TelnetData()->toPlainText(); }

private Q_SLOTS:
    void firstQueriesGoOutOnTheQueryChannelAndRepliesShow() {
        RadioSimulator sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        prepareFolder(dir, sim.commandPort());
        auto program = makeProgram(m_platform, dir);
        Program *current = program.get();
        QList<Sent> sent;
        recordWire(sim, current, sent);

        QVERIFY(program->start());
        QTRY_VERIFY_WITH_TIMEOUT(sent.size() >= 3, 10000);
        QCOMPARE(sent.at(0).command, QStringLiteral("VERSION"));
        QCOMPARE(sent.at(1).command, QStringLiteral("STATE"));
        QCOMPARE(sent.at(2).command, QStringLiteral("MINFO"));
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(sent.at(i).onQueryChannel, qPrintable(sent.at(i).command));
        }
        QVERIFY(sent.at(0).connection != sent.at(1).connection);
        QVERIFY(sent.at(1).connection != sent.at(2).connection);

        QTRY_VERIFY_WITH_TIMEOUT(terminal(*program).contains(QStringLiteral("Menu state=")), 10000);
        QVERIFY(terminal(*program).contains(QStringLiteral("VER=")));
        QVERIFY(terminal(*program).contains(QStringLiteral("STATE=ON")));
        QVERIFY(!program->mainWindow().statusPanel(1).isEmpty());
    }

    void doubleClickBeforeTheFirstTickGoesFirst() {
        RadioSimulator sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        prepareFolder(dir, sim.commandPort());
        auto program = makeProgram(m_platform, dir);
        Program *current = program.get();
        QList<Sent> sent;
        recordWire(sim, current, sent);

        QVERIFY(program->start());
        // POWER is selected at start; double click it before any event is processed.
        QListView *list = program->mainWindow().TheList();
        const QModelIndex power = list->currentIndex();
        QCOMPARE(power.data().toString(), QStringLiteral("POWER"));
        const QPoint at = list->visualRect(power).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);

        QTRY_VERIFY_WITH_TIMEOUT(!sent.isEmpty(), 10000);
        QCOMPARE(sent.at(0).command, QStringLiteral("POWER"));
        QVERIFY(!sent.at(0).onQueryChannel);
        QTRY_VERIFY_WITH_TIMEOUT(terminal(*program).contains(QStringLiteral("OK")), 10000);
        QVERIFY(!sim.isPoweredOn());
    }

    void unreachableRadioLeavesTheWindowResponsive() {
        RadioSimulator sim;
        QVERIFY(sim.start());
        QVERIFY(sim.setRefuse(true));
        QTemporaryDir dir;
        prepareFolder(dir, sim.commandPort());
        auto program = makeProgram(m_platform, dir);

        // The longest stretch in which a 10 ms timer could not run.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longestGap = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, &beat, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        beat.start(10);

        QVERIFY(program->start());
        QTRY_VERIFY_WITH_TIMEOUT(program->mainWindow().statusPanel(3).startsWith(QStringLiteral("Fail in ")), 10000);
        QTest::qWait(1500);
        QVERIFY2(longestGap < 1000, qPrintable(QStringLiteral("blocked for %1 ms").arg(longestGap)));
        QVERIFY(sim.commandTexts().isEmpty());
        QCOMPARE(program->mainWindow().txtUrl()->toolTip(), QStringLiteral("Could not open port"));

        QVERIFY(sim.setRefuse(false));
        QTRY_VERIFY_WITH_TIMEOUT(!sim.commandTexts().isEmpty(), 15000);
        QCOMPARE(sim.commandTexts().first(), QStringLiteral("VERSION"));
        QTRY_VERIFY_WITH_TIMEOUT(terminal(*program).contains(QStringLiteral("VER=")), 10000);
    }

    void closingSavesTheSettingsAndClosesTheSockets() {
        RadioSimulator sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        prepareFolder(dir, sim.commandPort());
        QRect placed;
        {
            auto program = makeProgram(m_platform, dir);
            QVERIFY(program->start());
            ConfigForm &form = program->mainWindow();
            QTRY_VERIFY_WITH_TIMEOUT(terminal(*program).contains(QStringLiteral("Menu state=")), 10000);

            // Kept connected, the command socket is reopened whenever the radio closes it.
            form.KeepAsConnected()->click();
            form.UpdateDisplayLabels()->click();
            QTRY_VERIFY_WITH_TIMEOUT(program->link().connection.RadioPort(0).State() == TcpSocket::sckConnected, 10000);
            form.move(30, 50);
            form.resize(1180, 780);
            placed = QRect(form.pos(), form.size());
            QVERIFY(form.close());
            // Both sockets are closed, and stay closed although "Keep As Connected" was on.
            QTRY_COMPARE_WITH_TIMEOUT(sim.openConnections(), 0, 10000);
            const int accepted = sim.connectionsAccepted();
            QTest::qWait(300);
            QCOMPARE(sim.connectionsAccepted(), accepted);
        }
        sim.clearCommands();

        auto again = makeProgram(m_platform, dir);
        QVERIFY(again->start());
        ConfigForm &form = again->mainWindow();
        QCOMPARE(form.txtUrl()->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(form.txtPort()->text(), QString::number(sim.commandPort()));
        QVERIFY(form.KeepAsConnected()->isChecked());
        QVERIFY(!form.UpdateDisplayLabels()->isChecked());
        QVERIFY(form.Auto21Backout()->isChecked());
        QCOMPARE(QRect(form.pos(), form.size()), placed);
        QTRY_VERIFY_WITH_TIMEOUT(sim.commandTexts().contains(QStringLiteral("VERSION")), 10000);
    }
};

QTEST_MAIN(MainWindowEndToEndTest)
#include "MainWindowEndToEndTest.moc"
