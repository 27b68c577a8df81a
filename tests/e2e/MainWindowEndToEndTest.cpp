#include "Catalogue.h"
#include "e2e/RadioRun.h"
#include "info_panel/InfoWindow.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "support/ChildWidget.h"
#include "support/RoomySize.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTimer>

// The main window of the real program against the simulated radio. The radio's faults are
// FaultyRadioEndToEndTest's; this is the user's way from the window to the radio and back.
class MainWindowEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

private Q_SLOTS:
    // The radio refuses at first: the window stays responsive and says why; once the radio takes
    // connections the start-up queries go on the query channel and their replies show. Commands
    // go once each, in order, on a connection of their own. A close closes every socket for
    // good and keeps the settings and places the next start finds; there a double click made
    // before the first tick goes before anything else.
    void startAgainstARadioThatRefusesThenCloseAndStartAgain() {
        RadioRun run;
        QVERIFY(run.sim.start());
        QVERIFY(run.sim.setRefuse(true));
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
        QVERIFY(run.begin());
        QStringList sent; // "command@channel": "query" when only the query channel's socket is open
        connect(&run.sim, &RadioSimulator::commandReceived, this, [&](int, const QString &command) {
            if (!run.program->linkRunning()) {
                return; // closing: a poll written just before may still arrive
            }
            RadioConnection &link = run.program->link().connection;
            const bool query = link.RadioPort(1).State() == TcpSocket::sckConnected &&
                               link.RadioPort(0).State() != TcpSocket::sckConnected;
            sent << command + (query ? QStringLiteral("@query") : QStringLiteral("@command"));
        });
        ConfigForm *form = &run.program->mainWindow();
        RadioLink *link = &run.program->link();
        QTRY_VERIFY_WITH_TIMEOUT(form->statusPanel(3).startsWith(QStringLiteral("Fail in ")), Patience);
        // A few more attempts, each failure lengthening the next wait, watched by the beat.
        QTRY_VERIFY_WITH_TIMEOUT(link->connection.ConnectExtra.seconds >= 0.25f, Patience);
        QVERIFY2(longestGap < 1000, qPrintable(QStringLiteral("blocked for %1 ms").arg(longestGap)));
        QCOMPARE(ChildWidget<QLineEdit>(*form, QStringLiteral("txtUrl"))->toolTip(),
                 QStringLiteral("Could not open port"));
        QVERIFY(run.sim.setRefuse(false));
        QTRY_VERIFY_WITH_TIMEOUT(sent.size() >= 3, Patience);
        QCOMPARE(sent.mid(0, 3), QStringLiteral("VERSION@query,STATE@query,MINFO@query").split(u','));
        QTRY_VERIFY_WITH_TIMEOUT(ChildWidget<QPlainTextEdit>(*form, QStringLiteral("TelnetData"))
                                     ->toPlainText()
                                     .contains(QStringLiteral("Menu state=")),
                                 Patience);
        QVERIFY(ChildWidget<QPlainTextEdit>(*form, QStringLiteral("TelnetData"))
                    ->toPlainText()
                    .contains(QStringLiteral("VER=")));
        QVERIFY(ChildWidget<QPlainTextEdit>(*form, QStringLiteral("TelnetData"))
                    ->toPlainText()
                    .contains(QStringLiteral("STATE=ON")));

        const QStringList queued = QStringLiteral("VOLp,MESSAGE a,VOLm,MUTE").split(u',');
        for (const QString &command : queued) {
            link->telnet.QueueCommand(0, command); // as the other windows send them
        }
        QTRY_COMPARE_WITH_TIMEOUT(run.logged(queued), queued, Patience);
        // Kept connected, the command socket is reopened whenever the radio closes it.
        ChildWidget<QCheckBox>(*form, QStringLiteral("KeepAsConnected"))->click();
        ChildWidget<QCheckBox>(*form, QStringLiteral("UpdateDisplayLabels"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(link->connection.RadioPort(0).State() == TcpSocket::sckConnected, Patience);
        form->move(30, 50);
        form->resize(RoomySize(*form, QSize(1180, 780)));
        InfoForm &info = run.program->info().form();
        info.move(300, 120);
        info.resize(RoomySize(info, QSize(640, 600)));
        const QRect placed(form->pos(), form->size()), infoPlaced(info.pos(), info.size());
        QVERIFY(form->close());
        // Both sockets close and stay closed although "Keep As Connected" is on: the link went
        // with the window.
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.openConnections(), 0, Patience);
        const int accepted = run.sim.connectionsAccepted();
        QVERIFY(!run.program->linkRunning());
        QCoreApplication::processEvents();
        QCOMPARE(run.sim.connectionsAccepted(), accepted);

        sent.clear();
        QVERIFY(run.startProgram());
        form = &run.program->mainWindow();
        QCOMPARE(ChildWidget<QLineEdit>(*form, QStringLiteral("txtUrl"))->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(ChildWidget<QLineEdit>(*form, QStringLiteral("txtPort"))->text(),
                 QString::number(run.sim.commandPort()));
        QVERIFY(ChildWidget<QCheckBox>(*form, QStringLiteral("KeepAsConnected"))->isChecked());
        QVERIFY(!ChildWidget<QCheckBox>(*form, QStringLiteral("UpdateDisplayLabels"))->isChecked());
        QCOMPARE(QRect(form->pos(), form->size()), placed);
        QCOMPARE(QRect(run.program->info().form().pos(), run.program->info().form().size()), infoPlaced);
        // POWER is selected at start; double clicked before any event is processed.
        QListView *list = ChildWidget<QListView>(*form, QStringLiteral("TheList"));
        QCOMPARE(list->currentIndex().data().toString(), QStringLiteral("POWER"));
        doubleClick(list->viewport(), list->visualRect(list->currentIndex()).center());
        QTRY_VERIFY_WITH_TIMEOUT(!sent.isEmpty(), Patience);
        QCOMPARE(sent.first(), QStringLiteral("POWER@command"));
        QTRY_VERIFY_WITH_TIMEOUT(ChildWidget<QPlainTextEdit>(*form, QStringLiteral("TelnetData"))
                                     ->toPlainText()
                                     .contains(QStringLiteral("OK")),
                                 Patience);
        QVERIFY(!run.sim.isPoweredOn());
        const QStringList all = queued + QStringList{QStringLiteral("POWER")};
        QCOMPARE(run.deliveryFault(all, all), QString());
        QVERIFY(!ChildWidget<QPlainTextEdit>(*form, QStringLiteral("TelnetData"))
                     ->toPlainText()
                     .contains(QStringLiteral("[no reply")));
    }

    // The options in the settings file reach the link at start, judged by what the radios get.
    // Two programs run side by side, each on a radio of its own that shows the error screen (an
    // unplayable station): the first with "Auto Refresh" and "Auto 21 Back out" on polls again
    // and again and backs out of the error screen by itself; the second, with both off and
    // "Keep Connected" on, reads the radio at start and then sends nothing more, the error screen
    // left alone, while the first polls on, and holds a connection open that carries no command.
    void theSavedOptionsReachTheLinkAtStart() {
        RadioRun polling, quiet;
        for (RadioRun *run : {&polling, &quiet}) {
            for (const QString &key : QStringLiteral("OK,%1OK").arg(QStringLiteral("DOWN,").repeated(13)).split(u',')) {
                run->sim.model().handle(key);
            }
            QCOMPARE(run->sim.screen(), int(Catalogue::StationError));
        }
        const QString fast = QStringLiteral("[Timeouts]\r\nPollWhenOn=1\r\n"); // a poll every tick
        QVERIFY(polling.begin(QStringLiteral("KeepConnected=0\r\nAutoRefresh=1\r\nAuto21Exit=1\r\n") + fast));
        QVERIFY(quiet.begin(QStringLiteral("KeepConnected=1\r\nAutoRefresh=0\r\nAuto21Exit=0\r\n") + fast));
        for (RadioRun *run : {&polling, &quiet}) {
            ConfigForm &form = run->program->mainWindow();
            const bool on = run == &polling;
            QCOMPARE(ChildWidget<QCheckBox>(form, QStringLiteral("KeepAsConnected"))->isChecked(), !on);
            QCOMPARE(ChildWidget<QCheckBox>(form, QStringLiteral("UpdateDisplayLabels"))->isChecked(), on);
            QCOMPARE(ChildWidget<QCheckBox>(form, QStringLiteral("Auto21Backout"))->isChecked(), on);
        }

        const QStringList queries = QStringLiteral("MINFO,VOLUME,METAINFO,LISTINFO,STATE,VERSION").split(u',');
        const auto polls = [&queries](const RadioRun &run) { return run.logged(queries).size(); };
        QTRY_COMPARE_WITH_TIMEOUT(polling.logged({QStringLiteral("STOP")}), QStringList{QStringLiteral("STOP")},
                                  Patience);
        QTRY_COMPARE_WITH_TIMEOUT(polling.sim.screen(), int(Catalogue::StationList), Patience);
        // The first program's polls measure the time: the second one's start is long over after
        // thirty of them, and thirty more would have brought as many of its own.
        qsizetype seen = polls(polling);
        QTRY_VERIFY_WITH_TIMEOUT(polls(polling) >= seen + 30, Patience);
        const qsizetype atStart = polls(quiet);
        QVERIFY(!quiet.logged({QStringLiteral("MINFO")}).isEmpty()); // it did read the screen
        seen = polls(polling);
        QTRY_VERIFY_WITH_TIMEOUT(polls(polling) >= seen + 30, Patience);
        QCOMPARE(polls(quiet), atStart);
        QVERIFY2(quiet.logged({QStringLiteral("STOP"), QStringLiteral("EXIT")}).isEmpty(),
                 qPrintable(quiet.log().join(u',')));
        QCOMPARE(quiet.sim.screen(), int(Catalogue::StationError));
        // Kept connected: with nothing to send, a connection stands open all the same.
        QTRY_VERIFY_WITH_TIMEOUT(quiet.sim.openConnections() >= 1, Patience);
        QVERIFY(quiet.sim.connectionsAccepted() > quiet.log().size());
    }
};

QTEST_MAIN(MainWindowEndToEndTest)
#include "MainWindowEndToEndTest.moc"
