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

// The real program (window, radio link, real sockets and timers) in a temporary program folder,
// talking to the simulated radio over loopback. Waits are generous: the machine may be busy.
class MainWindowEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 20000;

    QtPlatform m_platform;
    std::unique_ptr<RadioSimulator> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;
    QStringList m_sent; // "command@channel"
    QList<int> m_connections;

    // A fresh, not yet started program in the folder.
    void newProgram() {
        m_program = std::make_unique<Program>(m_platform, m_dir->path());
        m_program->endProgram = [] {};
        m_program->beep = [] {};
    }

    // Notes each command the radio takes, the simulator's connection that carried it, and the
    // program's channel: "query" when only the query channel's socket was connected.
    void recordWire() {
        connect(m_sim.get(), &RadioSimulator::commandReceived, this, [this](int connection, const QString &command) {
            RadioConnection &link = m_program->link().connection;
            const bool query = link.RadioPort(1).State() == TcpSocket::sckConnected &&
                               link.RadioPort(0).State() != TcpSocket::sckConnected;
            m_sent << command + (query ? QStringLiteral("@query") : QStringLiteral("@command"));
            m_connections << connection;
        });
    }

    QString terminal() const { return m_program->mainWindow().TelnetData()->toPlainText(); }

    // The simulator's command log as written to its file: "<connection> <command>" per
    // command, "<connection> EXTRA <bytes>" for bytes written after a connection's command.
    QStringList wireLog() const {
        QFile file(m_dir->filePath(QStringLiteral("radiosim.log")));
        if (!file.open(QIODevice::ReadOnly)) {
            return {QStringLiteral("(no log)")};
        }
        QStringList lines;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() >= 4) {
                lines << QString::fromLatin1(fields.mid(2).join(' '));
            }
        }
        return lines;
    }

private Q_SLOTS:
    // The default data files and settings pointing at the simulator; the last program ends first.
    void init() {
        m_sent.clear();
        m_connections.clear();
        m_program.reset();
        m_sim = std::make_unique<RadioSimulator>();
        QVERIFY(m_sim->start());
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_sim->setLogFile(m_dir->filePath(QStringLiteral("radiosim.log"))));
        const QDir data(qEnvironmentVariable("CV_TEST_DATA"));
        for (const QString &name : data.entryList(QDir::Files)) {
            QFile::copy(data.filePath(name), m_dir->filePath(name));
        }
        QVERIFY2(QFile::exists(m_dir->filePath(QStringLiteral("Commandlist.txt"))), "CV_TEST_DATA names the data");
        QFile ini(m_dir->filePath(QStringLiteral("CVRemote.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(
            QStringLiteral("[General]\r\nRaidoURL=127.0.0.1\r\nRaidoPORT=%1\r\n").arg(m_sim->commandPort()).toLatin1());
        newProgram();
    }

    // One command per connection, whatever the test did: a second write onto a connection
    // shows in the simulator's log as an extra-bytes line.
    void cleanup() {
        const QStringList extra = wireLog().filter(QStringLiteral(" EXTRA "));
        QVERIFY2(extra.isEmpty(), qPrintable(extra.join(QStringLiteral("; "))));
    }

    void firstQueriesGoOutOnTheQueryChannelAndRepliesShow() {
        recordWire();
        QVERIFY(m_program->start());
        QTRY_VERIFY_WITH_TIMEOUT(m_sent.size() >= 3, Patience);
        QCOMPARE(m_sent.mid(0, 3), (QStringList{QStringLiteral("VERSION@query"), QStringLiteral("STATE@query"),
                                                QStringLiteral("MINFO@query")}));
        QVERIFY(m_connections[0] != m_connections[1] && m_connections[1] != m_connections[2]);
        QTRY_VERIFY_WITH_TIMEOUT(terminal().contains(QStringLiteral("Menu state=")), Patience);
        QVERIFY(terminal().contains(QStringLiteral("VER=")));
        QVERIFY(terminal().contains(QStringLiteral("STATE=ON")));
    }

    void doubleClickBeforeTheFirstTickGoesFirst() {
        recordWire();
        QVERIFY(m_program->start());
        // POWER is selected at start; double click it before any event is processed.
        QListView *list = m_program->mainWindow().TheList();
        const QModelIndex power = list->currentIndex();
        QCOMPARE(power.data().toString(), QStringLiteral("POWER"));
        const QPoint at = list->visualRect(power).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTRY_VERIFY_WITH_TIMEOUT(!m_sent.isEmpty(), Patience);
        QCOMPARE(m_sent.at(0), QStringLiteral("POWER@command"));
        QTRY_VERIFY_WITH_TIMEOUT(terminal().contains(QStringLiteral("OK")), Patience);
        QVERIFY(!m_sim->isPoweredOn());
    }

    void unreachableRadioLeavesTheWindowResponsive() {
        QVERIFY(m_sim->setRefuse(true));
        // The longest stretch in which a 10 ms timer could not run.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, longestGap = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, &beat, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        beat.start(10);
        QVERIFY(m_program->start());
        ConfigForm &form = m_program->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(form.statusPanel(3).startsWith(QStringLiteral("Fail in ")), Patience);
        // A few more attempts, each failure lengthening the next wait, watched by the beat.
        QTRY_VERIFY_WITH_TIMEOUT(m_program->link().connection.ConnectExtra >= 0.25f, Patience);
        QVERIFY2(longestGap < 1000, qPrintable(QStringLiteral("blocked for %1 ms").arg(longestGap)));
        QCOMPARE(form.txtUrl()->toolTip(), QStringLiteral("Could not open port"));
        QVERIFY(m_sim->setRefuse(false));
        QTRY_VERIFY_WITH_TIMEOUT(!m_sim->commandTexts().isEmpty(), Patience);
        QCOMPARE(m_sim->commandTexts().first(), QStringLiteral("VERSION"));
        QTRY_VERIFY_WITH_TIMEOUT(terminal().contains(QStringLiteral("VER=")), Patience);
    }

    void closingSavesTheSettingsAndClosesTheSockets() {
        QVERIFY(m_program->start());
        ConfigForm &form = m_program->mainWindow();
        QTRY_VERIFY_WITH_TIMEOUT(terminal().contains(QStringLiteral("Menu state=")), Patience);
        // Kept connected, the command socket is reopened whenever the radio closes it.
        form.KeepAsConnected()->click();
        form.UpdateDisplayLabels()->click();
        QTRY_VERIFY_WITH_TIMEOUT(m_program->link().connection.RadioPort(0).State() == TcpSocket::sckConnected,
                                 Patience);
        form.move(30, 50);
        form.resize(1180, 780);
        const QRect placed(form.pos(), form.size());
        QVERIFY(form.close());
        // Both sockets are closed, and stay closed although "Keep As Connected" was on.
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->openConnections(), 0, Patience);
        // Nothing is left that could open one: the link went with the window.
        const int accepted = m_sim->connectionsAccepted();
        QVERIFY(!m_program->linkRunning());
        QCoreApplication::processEvents();
        QCOMPARE(m_sim->connectionsAccepted(), accepted);
        m_sim->clearCommands();
        newProgram();
        QVERIFY(m_program->start());
        ConfigForm &again = m_program->mainWindow();
        QCOMPARE(again.txtUrl()->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(again.txtPort()->text(), QString::number(m_sim->commandPort()));
        QVERIFY(again.KeepAsConnected()->isChecked());
        QVERIFY(!again.UpdateDisplayLabels()->isChecked());
        QCOMPARE(QRect(again.pos(), again.size()), placed);
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->commandTexts().contains(QStringLiteral("VERSION")), Patience);
    }
};

QTEST_MAIN(MainWindowEndToEndTest)
#include "MainWindowEndToEndTest.moc"
