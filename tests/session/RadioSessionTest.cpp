#include "session/RadioSession.h"

#include "Catalogue.h"
#include "e2e/FilledFolder.h"
#include "macros/MacroRunner.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "RadioSimulator.h"
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
        // Every command the link puts on the wire, as the macro window's trace receives it.
        QStringList sent;
        connect(&session.link().view, &LinkView::macroTrace, this, [&sent](const QString &text) {
            if (text.startsWith(QLatin1String("\r\n\t>"))) {
                sent << text.mid(4).trimmed();
            }
        });
        session.start();

        // The first poll asks for everything; the decoder stores the answers.
        QTRY_VERIFY_WITH_TIMEOUT(!session.state().MenuState.isEmpty(), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(session.state().VolumeText, QStringLiteral("20"), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(session.state().PowerState, QStringLiteral("ON"), Patience);

        // A key as the remote sends it (the radio steps by five up there); the acknowledgement
        // brings the new volume back.
        session.pressKey(QStringLiteral("VOLp"));
        QTRY_COMPARE_WITH_TIMEOUT(sim.volume(), 25, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(session.state().VolumeText, QStringLiteral("25"), Patience);

        // A shipped macro to its end, told by the signal.
        QVERIFY(!session.startMacro(QStringLiteral("No such macro")));
        QSignalSpy ended(&session, &RadioSession::macroEnded);
        QVERIFY(session.startMacro(QStringLiteral("Play jazz")));
        QVERIFY(session.macroRunning());
        QVERIFY2(ended.wait(Patience), qPrintable(session.macroRunner().MacroText().right(2000)));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!session.macroRunning());
        const QString trace = session.macroRunner().MacroText();
        QVERIFY2(trace.endsWith(QStringLiteral("MACRO FINISHED\r\n")), qPrintable(trace.right(2000)));
        QCOMPARE(sim.screen(), int(Catalogue::NowPlaying));
        const int station = sim.model().currentStation();
        QVERIFY(station >= 0 && Catalogue::stations().at(size_t(station)).name.contains(QStringLiteral("Jazz")));
        // The search typed on the radio is the display's search text too.
        QCOMPARE(session.searchText(), QStringLiteral("jazz"));
        QTRY_COMPARE_WITH_TIMEOUT(session.state().MenuState, QStringLiteral("5"), Patience);

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
        QTRY_VERIFY_WITH_TIMEOUT(!session.state().MenuState.isEmpty(), Patience);

        QSignalSpy ended(&session, &RadioSession::macroEnded);
        QVERIFY(session.startMacro(QStringLiteral("Play jazz")));
        QTRY_VERIFY_WITH_TIMEOUT(session.macroRunner().CurrentStep >= 2, Patience);
        session.stopMacro();
        QVERIFY(ended.wait(Patience));
        QCOMPARE(ended.count(), 1);
        QVERIFY(session.macroRunner().MacroText().endsWith(QStringLiteral("MACRO FINISHED\r\n")));
        QVERIFY(!session.macroRunner().MacroTimer().isEnabled());
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
