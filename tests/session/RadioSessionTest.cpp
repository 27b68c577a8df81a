#include "session/RadioSession.h"

#include "Catalogue.h"
#include "e2e/FilledFolder.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "RadioSimulator.h"
#include "session/MacroRunner.h"
#include "session/RadioView.h"
#include "support/FakePlatform.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// A front end without windows: a plain QCoreApplication drives the radio through the session
// alone, against the simulated radio on loopback.
class RadioSessionTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 90000; // a whole macro on a busy machine

private Q_SLOTS:
    void aKeyAMacroAndTheStateWithoutAnyWindow() {
        QVERIFY(qobject_cast<QCoreApplication *>(QCoreApplication::instance()));
        QVERIFY(!QCoreApplication::instance()->inherits("QGuiApplication"));

        RadioSimulator sim;
        sim.setStatusStepMs(100);
        QVERIFY(sim.start());
        QTemporaryDir dir;
        // The settings name a port nobody listens on: the address set afterwards must win.
        QVERIFY(FillProgramFolder(dir.path(), 1));

        QtPlatform platform;
        RadioSession session(platform, dir.path());
        session.loadSettings();
        session.loadData();
        QVERIFY(!session.macros().Macros.empty());
        session.setRadioAddress(QStringLiteral("127.0.0.1"), sim.commandPort());
        // Every command the link puts on the wire, and every reply, as the session tells them.
        QStringList sent;
        int keyReplies = 0;
        connect(&session, &RadioSession::commandSent, this, [&sent](const QString &command, bool) { sent << command; });
        connect(&session, &RadioSession::replyReceived, this,
                [&keyReplies](const QString &, bool query) { keyReplies += query ? 0 : 1; });
        QSignalSpy refreshed(&session, &RadioSession::firstRefreshAnswered);
        QSignalSpy volumes(&session, &RadioSession::volumeReported);
        QSignalSpy idle(&session, &RadioSession::becameIdle);
        session.start();

        // The first poll asks for everything; the status holds the answers, decoded.
        QVERIFY(refreshed.wait(Patience));
        QVERIFY(session.refreshed());
        const RadioStatus &status = session.status();
        QVERIFY(status.screen.has_value());
        QCOMPARE(status.volume, std::optional<int>(20));
        QCOMPARE(status.power, QStringLiteral("on"));
        QCOMPARE(status.health, LinkHealth::Answers);
        QVERIFY(!status.version.isEmpty());
        QVERIFY(!status.screenName.isEmpty());

        // A key as the remote sends it (the radio steps by five up there); the acknowledgement
        // brings the new volume back, and the link goes quiet once it is through.
        idle.clear();
        session.pressKey(QStringLiteral("VOLp"));
        QVERIFY(!session.idle());
        QVERIFY(idle.wait(Patience));
        QCOMPARE(sim.volume(), 25);
        QCOMPARE(keyReplies, 1);
        QTRY_COMPARE_WITH_TIMEOUT(status.volume, std::optional<int>(25), Patience);
        QCOMPARE(volumes.last().at(0).toInt(), 25);

        // A shipped macro to its end, told by the signal with its outcome.
        QVERIFY(!session.startMacro(QStringLiteral("No such macro")));
        QSignalSpy ended(&session, &RadioSession::macroEnded);
        QStringList stepCommands;
        connect(&session, &RadioSession::macroStepSent, this,
                [&stepCommands](const QString &command) { stepCommands << command; });
        QVERIFY(session.startMacro(QStringLiteral("Play jazz")));
        QVERIFY(session.macroRunning());
        QVERIFY2(ended.wait(Patience), qPrintable(session.macroRunner().MacroText().right(2000)));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.first().at(0).value<MacroOutcome>(), MacroOutcome::Finished);
        QCOMPARE(ended.first().at(1).toString(), QStringLiteral("MACRO FINISHED"));
        QVERIFY(!session.macroRunning());
        // Each command a step sent went to the radio.
        QVERIFY(!stepCommands.isEmpty());
        for (const QString &command : std::as_const(stepCommands)) {
            QVERIFY2(sent.contains(command), qPrintable(command));
        }
        QCOMPARE(sim.screen(), int(Catalogue::NowPlaying));
        const int station = sim.model().currentStation();
        QVERIFY(station >= 0 && Catalogue::stations().at(size_t(station)).name.contains(QStringLiteral("Jazz")));
        // The search typed on the radio is the display's search text too.
        QCOMPARE(session.searchText(), QStringLiteral("jazz"));
        QTRY_COMPARE_WITH_TIMEOUT(session.status().screen, std::optional<int>(5), Patience);

        // The radio took each command once, in the order the link sent them, one per connection.
        QTRY_COMPARE_WITH_TIMEOUT(sim.commandTexts().size(), sent.size(), Patience);
        QCOMPARE(sim.commandTexts(), sent);
        QCOMPARE(sent.count(QStringLiteral("VOLp")), 1);
        QVERIFY(sim.extraBytes().isEmpty());
    }

    void aStopEndsTheRunAndSaysSo() {
        RadioSimulator sim;
        QVERIFY(sim.start());
        QTemporaryDir dir;
        QVERIFY(FillProgramFolder(dir.path(), sim.commandPort()));
        QtPlatform platform;
        RadioSession session(platform, dir.path());
        session.loadSettings();
        session.loadData();
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.status().screen.has_value(), Patience);

        QSignalSpy ended(&session, &RadioSession::macroEnded);
        QVERIFY(session.startMacro(QStringLiteral("Play jazz")));
        QTRY_VERIFY_WITH_TIMEOUT(session.macroRunner().CurrentStep >= 2, Patience);
        session.stopMacro();
        QVERIFY(ended.wait(Patience));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.first().at(0).value<MacroOutcome>(), MacroOutcome::Stopped);
        QVERIFY(session.macroRunner().MacroText().endsWith(QStringLiteral("MACRO FINISHED\r\n")));
        QVERIFY(!session.macroRunner().MacroTimer().isEnabled());
    }

    // A radio that is not there, and one that takes a command and never answers: the session
    // says each once, with the address and the reason, and a key it sent is not sent again.
    void failuresAreToldWithTheirReason() {
        QTemporaryDir dir;
        QVERIFY(FillProgramFolder(dir.path(), 1)); // nobody listens on port 1
        QtPlatform platform;
        {
            RadioSession session(platform, dir.path());
            session.loadSettings();
            session.loadData();
            QSignalSpy failed(&session, &RadioSession::connectFailed);
            session.start();
            QVERIFY(failed.wait(Patience));
            QCOMPARE(failed.first().at(0).toString(), QStringLiteral("127.0.0.1:1"));
            QVERIFY(!failed.first().at(1).toString().isEmpty());
            QCOMPARE(session.status().health, LinkHealth::NotYetAnswered);
        }

        RadioSimulator sim;
        QVERIFY(sim.start());
        RadioSession session(platform, dir.path());
        session.loadSettings();
        session.loadData();
        session.setRadioAddress(QStringLiteral("127.0.0.1"), sim.commandPort());
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(session.refreshed(), Patience);
        sim.setStall(true);
        QSignalSpy unanswered(&session, &RadioSession::commandUnanswered);
        session.pressKey(QStringLiteral("MUTE"));
        QVERIFY(unanswered.wait(Patience));
        QCOMPARE(unanswered.first().at(0).toString(), QStringLiteral("MUTE"));
        sim.setStall(false);
        QTRY_VERIFY_WITH_TIMEOUT(session.idle(), Patience);
        QCOMPARE(sim.commandTexts().count(QStringLiteral("MUTE")), 1);
    }

    // Lines of the macro file that cannot be read are said where a user looks when the macros
    // are loaded: the terminal and the macro window's trace.
    void unreadableMacroLinesAreSaidOnLoad() {
        QTemporaryDir dir;
        QVERIFY(FillProgramFolder(dir.path(), 1));
        QFile macros(dir.filePath(QStringLiteral("macros.txt")));
        QVERIFY(macros.open(QIODevice::WriteOnly | QIODevice::Truncate));
        macros.write("[Fine]\r\n-UP\r\nD soon\r\n");
        macros.close();
        FakePlatform platform;
        RadioSession session(platform, dir.path());
        session.loadData();
        const QString said = QStringLiteral("macros.txt line 3: \"D soon\": a pause needs a number of milliseconds; it "
                                            "is read as 0");
        QCOMPARE(session.macros().Problems, QStringList{said});
        QVERIFY2(session.link().view.TelnetData.contains(QLatin1Char('[') + said + QLatin1Char(']')),
                 qPrintable(session.link().view.TelnetData));
        QVERIFY(session.macroRunner().MacroText().contains(said));
    }
};

QTEST_GUILESS_MAIN(RadioSessionTest)
#include "RadioSessionTest.moc"
