#include "app/Program.h"
#include "e2e/ProgramFolder.h"
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
    void newProgram() { m_program = QuietProgram(m_platform, m_dir->path()); }

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

    // The log's commands that are among these, in the order the radio took them.
    QStringList logged(const QStringList &among) const {
        QStringList commands;
        for (const QString &line : wireLog()) {
            const QString command = line.section(QLatin1Char(' '), 1);
            if (among.contains(command)) {
                commands << command;
            }
        }
        return commands;
    }

    // Commands as a window sends them, queued before the first tick. The start-up queries
    // wait on the query channel until all of these have left the command channel.
    void sendAsUser(const QStringList &commands) {
        for (const QString &command : commands) {
            m_program->link().telnet.QueueCommand(0, command);
        }
    }

    // True once the command channel has nothing left to send or to wait for: from then on no
    // command can go again, so the log holds all the radio will ever get of them.
    bool commandsSettled() const {
        RadioLink &link = m_program->link();
        return link.telnet.pending(0).isEmpty() && !link.connection.deliveryOutstanding(0) &&
               !link.connection.tickWaiting();
    }

    // The program's own note of a command the radio took but did not answer.
    bool saidUnanswered(const QString &command) const {
        return terminal().contains(QStringLiteral("[no reply to %1]").arg(command));
    }

    const QStringList m_userCommands{QStringLiteral("VOLp"), QStringLiteral("MESSAGE a"), QStringLiteral("VOLm"),
                                     QStringLiteral("MESSAGE b"), QStringLiteral("MESSAGE c")};

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
        QVERIFY(FillProgramFolder(m_dir->path(), m_sim->commandPort()));
        newProgram();
    }

    // One command per connection, whatever the test did: a second write onto a connection
    // shows in the simulator's log as an extra-bytes line.
    void cleanup() {
        if (QTest::currentTestFailed()) {
            qInfo().noquote() << "radio's log:" << wireLog().join(QLatin1Char('\n')) << "\nterminal:" << terminal();
        }
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

    // Every reply comes after the no-reply time-out: each command goes once all the same (a
    // repeated POWER would switch the radio off and on again), and the terminal says which
    // ones went unanswered.
    void slowRadioGetsEachCommandOnce() {
        m_sim->setDelayMs(3000);
        QVERIFY(m_program->start());
        QListView *list = m_program->mainWindow().TheList();
        const QPoint at = list->visualRect(list->currentIndex()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        sendAsUser({QStringLiteral("VOLp")});
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled(), Patience);
        QCOMPARE(logged({QStringLiteral("POWER"), QStringLiteral("VOLp")}),
                 (QStringList{QStringLiteral("POWER"), QStringLiteral("VOLp")}));
        QVERIFY(!m_sim->isPoweredOn());
        QVERIFY(saidUnanswered(QStringLiteral("POWER")) && saidUnanswered(QStringLiteral("VOLp")));
    }

    // The radio answers but never closes: the replies still reach the terminal and the decoder,
    // and each command goes once on a connection of its own.
    void radioThatKeepsConnectionsOpenGetsEachCommandOnce() {
        m_sim->setNoClose(true);
        QVERIFY(m_program->start());
        sendAsUser(m_userCommands);
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled(), Patience);
        QCOMPARE(logged(m_userCommands), m_userCommands);
        QTRY_VERIFY_WITH_TIMEOUT(!m_program->state().VolumeText.isEmpty(), Patience);
        QCOMPARE(terminal().count(QStringLiteral("OK\n")), m_userCommands.size());
        QVERIFY(terminal().contains(QStringLiteral("VOL=") + m_program->state().VolumeText));
        QVERIFY(!terminal().contains(QStringLiteral("[no reply")));
    }

    // Commands queued while the radio refuses connections wait, and go once each, in order,
    // when it takes them again.
    void commandsQueuedWhileRefusedGoOnceWhenTheRadioIsBack() {
        QVERIFY(m_sim->setRefuse(true));
        QVERIFY(m_program->start());
        sendAsUser(m_userCommands);
        QTRY_VERIFY_WITH_TIMEOUT(m_program->link().connection.ConnectExtra.seconds >= 0.15f, Patience);
        QVERIFY(m_sim->setRefuse(false));
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled(), Patience);
        QCOMPARE(logged(m_userCommands), m_userCommands);
        QVERIFY(!terminal().contains(QStringLiteral("[no reply")));
    }

    // The radio closes every second connection as soon as it is accepted. A command that was
    // on its way when that happened is lost, and said so; none goes twice or out of order.
    void radioDroppingConnectionsGetsNoCommandTwice() {
        m_sim->setDropEvery(2);
        QVERIFY(m_program->start());
        sendAsUser(m_userCommands);
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled(), Patience);
        const QStringList took = logged(m_userCommands);
        qsizetype next = 0;
        for (const QString &command : m_userCommands) {
            if (next < took.size() && took[next] == command) {
                ++next;
            } else {
                QVERIFY2(saidUnanswered(command), qPrintable(command + QStringLiteral(" lost without a word")));
            }
        }
        QVERIFY2(next == took.size(), qPrintable(took.join(QLatin1Char(','))));
        QVERIFY(m_sim->connectionsAccepted() > int(wireLog().size()));
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
        QTRY_VERIFY_WITH_TIMEOUT(m_program->link().connection.ConnectExtra.seconds >= 0.25f, Patience);
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
