#include "Catalogue.h"
#include "e2e/RadioRun.h"
#include "info_panel/InfoWindow.h"
#include "macros/MacroWindow.h"
#include "session/MacroRunner.h"
#include "session/RadioSession.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

// The shipped macros run by the real program against the simulated radio, started and
// stopped the way a user does.
class MacroEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 90000; // a whole macro on a busy machine

    // A right click on the information panel's menu picture shows the macro list over it; a
    // click shows the macro's steps in the macro window, a double click starts it.
    static void startFromThePanel(Program &program, const QString &name) {
        QTest::mousePress(program.info().form().CurrentMenuImage(), Qt::RightButton);
        QListWidget *list = program.info().form().MacroList();
        QTRY_VERIFY(list->isVisible());
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        doubleClick(list->viewport(), list->visualItemRect(found.first()).center());
        QVERIFY(program.macroRunner().running());
        QCOMPARE(program.macroWindow().form().MacroStepList()->item(0)->text(), name + QStringLiteral(" Macro"));
        QVERIFY(program.macroWindow().form().isVisible());
        QVERIFY(!list->isVisible());
    }

    // Waits for the run's end; the trace as the macro window shows it.
    static QString runToEnd(Program &program) {
        MacroRunner &runner = program.macroRunner();
        if (!QTest::qWaitFor([&runner] { return !runner.running(); }, Patience)) {
            return QStringLiteral("still running: ") + runner.MacroText().right(2000);
        }
        return program.macroWindow().form().MacroText()->toPlainText();
    }

private Q_SLOTS:
    void wakeUpThenPlayJazzThroughDroppedConnectionsThenStopARun() {
        RadioRun run;
        run.sim.setStatusStepMs(100);
        QVERIFY(run.begin());
        Program &program = *run.program;
        MacroRunner &runner = program.macroRunner();
        QTRY_VERIFY_WITH_TIMEOUT(program.session().status().screen.has_value(), Patience);

        // From standby, started by a double click on the macro window's title line.
        run.sim.model().handle(QStringLiteral("POWER"));
        QTRY_COMPARE_WITH_TIMEOUT(program.session().status().power, QStringLiteral("off"), Patience);
        const auto &macros = program.macros().Macros;
        const auto wake = std::find_if(macros.begin(), macros.end(),
                                       [](const auto &macro) { return macro.Name == "Wake up at volume 20"; });
        QVERIFY(wake != macros.end());
        runner.MakeMacroStuff(int(wake - macros.begin()));
        program.macroWindow().form().show();
        QListWidget *steps = program.macroWindow().form().MacroStepList();
        QCOMPARE(steps->item(0)->text(), QStringLiteral("Wake up at volume 20 Macro"));
        doubleClick(steps->viewport(), steps->visualItemRect(steps->item(0)).center());
        QVERIFY(runner.running());
        QString trace = runToEnd(program);
        QVERIFY2(trace.endsWith(QStringLiteral("MACRO FINISHED\n")), qPrintable(trace.right(2000)));
        QVERIFY(run.sim.isPoweredOn());
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.volume(), 20, Patience);            // the last presses go out after the run
        QStringList presses{QStringLiteral("POWER"), QStringLiteral("HOME")}; // woken first
        for (int i = 0; i < 33; ++i) {
            presses << (i < 25 ? QStringLiteral("VOLm") : QStringLiteral("VOLp")); // to 0 from anywhere, then to 20
        }
        QStringList logged = run.logged(QStringLiteral("POWER,HOME,EXIT,VOLm,VOLp").split(u','));
        // A slow machine may find no main menu yet after HOME: the macro then backs up with EXIT
        // and HOME again. Any other press twice is a fault.
        while (logged.size() > 3 && logged[2] == QStringLiteral("EXIT") && logged[3] == QStringLiteral("HOME")) {
            logged.remove(2, 2);
        }
        QCOMPARE(logged, presses);
        // Started from the title line, the run shows the radio's traffic; the box switches that.
        QCheckBox *includeRx = program.macroWindow().form().IncludeTheRx();
        QVERIFY(includeRx->isChecked());
        includeRx->click();
        QVERIFY(!runner.IncludeTheRx);
        includeRx->click();

        // Every fourth connection is closed unanswered while the run starts. A command lost on
        // such a connection is not sent again (the radio may have acted on it), so the run's
        // own checks must notice where the radio really is, and back up or start over.
        run.sim.setDropEvery(4);
        startFromThePanel(program, QStringLiteral("Play jazz"));
        // The panel's macro label shows the steps left and what the step does.
        QTRY_VERIFY_WITH_TIMEOUT(program.info().form().MacroLabel()->text().contains(QStringLiteral("-")), Patience);
        const int start = run.sim.connectionsAccepted();
        QTRY_VERIFY_WITH_TIMEOUT(run.sim.connectionsAccepted() >= start + 16, Patience);
        run.sim.setDropEvery(0);
        trace = runToEnd(program);
        QVERIFY2(trace.endsWith(QStringLiteral("MACRO FINISHED\n")), qPrintable(trace.right(2000)));
        QCOMPARE(run.sim.screen(), int(Catalogue::NowPlaying));
        const int station = run.sim.model().currentStation();
        QVERIFY(station >= 0 && Catalogue::stations().at(size_t(station)).name.contains(QStringLiteral("Jazz")));
        // With "Include RX" ticked the radio's traffic is in the trace.
        QVERIFY(trace.contains(QStringLiteral("\t>OK\n")));
        QVERIFY(trace.contains(QStringLiteral("\t<Menu")));
        QVERIFY(!runner.MacroTimer().isEnabled());
        // A double click empties the trace.
        QPlainTextEdit *text = program.macroWindow().form().MacroText();
        QTest::mouseDClick(text->viewport(), Qt::LeftButton, {}, text->viewport()->rect().center());
        QVERIFY(text->toPlainText().isEmpty());

        // Closed while a run goes on, the macro window stays closed: the run goes on without it.
        startFromThePanel(program, QStringLiteral("Play jazz"));
        QVERIFY(program.macroWindow().form().close());
        QTRY_VERIFY_WITH_TIMEOUT(runner.CurrentStep >= 3, Patience);
        QVERIFY(runner.running());
        QVERIFY(!program.macroWindow().form().isVisible());
        // A click on the panel's macro label stops a run.
        QTest::mouseClick(program.info().form().MacroLabel(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!runner.running(), 2000);
        QVERIFY(runner.MacroText().endsWith(QStringLiteral("_ok\r\nMACRO FINISHED\r\n")));
        QVERIFY(!runner.MacroTimer().isEnabled());
        QCOMPARE(run.sim.screen(), int(Catalogue::MainMenu));
        QVERIFY2(run.extra().isEmpty(), qPrintable(run.extra().join(QLatin1Char(';'))));

        // The Stop button beside the label is there while a run goes on, and stops it too.
        QPushButton *stop = program.info().form().MacroStopButton();
        QVERIFY(!stop->isVisible());
        startFromThePanel(program, QStringLiteral("Play jazz"));
        QTRY_VERIFY_WITH_TIMEOUT(runner.CurrentStep >= 1, Patience);
        QVERIFY(stop->isVisible());
        stop->click();
        QTRY_VERIFY_WITH_TIMEOUT(!runner.running(), 2000);
        QVERIFY(!stop->isVisible());
        QVERIFY(runner.MacroText().endsWith(QStringLiteral("MACRO FINISHED\r\n")));
        QVERIFY2(run.extra().isEmpty(), qPrintable(run.extra().join(QLatin1Char(';'))));
    }
};

QTEST_MAIN(MacroEndToEndTest)
#include "MacroEndToEndTest.moc"
