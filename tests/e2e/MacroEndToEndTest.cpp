#include "app/Program.h"
#include "Catalogue.h"
#include "e2e/ProgramFolder.h"
#include "info_panel/InfoForm.h"
#include "macros/MacroForm.h"
#include "macros/MacroRunner.h"
#include "platform/Platform.h"
#include "RadioSimulator.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The shipped macros run by the real program (windows, radio link, real sockets and timers)
// against the simulated radio over loopback, started the way a user starts them.
class MacroEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 90000; // a whole macro on a busy machine

    QtPlatform m_platform;
    std::unique_ptr<RadioSimulator> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;

    int macroIndex(const QString &name) const {
        const auto &macros = m_program->macros().Macros;
        for (size_t i = 0; i < macros.size(); ++i) {
            if (macros[i].Name == name) {
                return int(i);
            }
        }
        return -1;
    }

    // As a user starts a macro: a right click on the information panel's menu picture shows
    // the macro list over it; a click shows the macro's steps in the macro window, a double
    // click starts it.
    void startFromThePanel(const QString &name) {
        InfoForm &panel = m_program->infoForm();
        QTest::mousePress(panel.CurrentMenuImage(), Qt::RightButton);
        QListWidget *list = panel.MacroList();
        QTRY_VERIFY(list->isVisible());
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        const QPoint at = list->visualItemRect(found.first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(m_program->macroRunner().running());
        QCOMPARE(m_program->macroWindow().MacroStepList()->item(0)->text(), name + QStringLiteral(" Macro"));
        QVERIFY(m_program->macroWindow().isVisible());
        QVERIFY(!list->isVisible());
    }

    // The macro window's own start: a double click on its title line (the step list's first
    // line) starts the macro it lists.
    void startFromTheMacroWindow(const QString &name) {
        MacroRunner &runner = m_program->macroRunner();
        const int index = macroIndex(name);
        QVERIFY(index >= 0);
        runner.MakeMacroStuff(index);
        MacroForm &window = m_program->macroWindow();
        window.show();
        QListWidget *steps = window.MacroStepList();
        QCOMPARE(steps->item(0)->text(), name + QStringLiteral(" Macro"));
        const QPoint title = steps->visualItemRect(steps->item(0)).center();
        QTest::mouseClick(steps->viewport(), Qt::LeftButton, {}, title);
        QTest::mouseDClick(steps->viewport(), Qt::LeftButton, {}, title);
        QVERIFY(runner.running());
    }

    // Waits for the run's end; the trace as the macro window shows it.
    QString runToEnd() {
        MacroRunner &runner = m_program->macroRunner();
        if (!QTest::qWaitFor([&runner] { return !runner.running(); }, Patience)) {
            return QStringLiteral("still running: ") + runner.MacroText().right(2000);
        }
        return m_program->macroWindow().MacroText()->toPlainText();
    }

    QString stationPlaying() const {
        const int station = m_sim->model().currentStation();
        return station < 0 ? QString() : Catalogue::stations().at(size_t(station)).name;
    }

private Q_SLOTS:
    void init() {
        m_program.reset();
        m_sim = std::make_unique<RadioSimulator>();
        m_sim->setStatusStepMs(100);
        QVERIFY(m_sim->start());
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(FillProgramFolder(m_dir->path(), m_sim->commandPort()));
        m_program = QuietProgram(m_platform, m_dir->path());
        QVERIFY(m_program->start());
        // The program has found out where the radio is.
        QTRY_VERIFY_WITH_TIMEOUT(!m_program->state().MenuState.isEmpty(), Patience);
    }

    void cleanup() {
        m_program.reset();
        m_sim.reset();
    }

    void playJazzEndsPlayingAJazzStation() {
        m_program->macroWindow().IncludeTheRx()->click();
        startFromThePanel(QStringLiteral("Play jazz"));
        // The panel's macro label shows the steps left and what the step does.
        QTRY_VERIFY_WITH_TIMEOUT(m_program->infoForm().MacroLabel()->text().contains(QStringLiteral("-")), Patience);
        const QString trace = runToEnd();
        QVERIFY2(trace.endsWith(QStringLiteral("MACRO FINISHED\n")), qPrintable(trace.right(2000)));
        QCOMPARE(m_sim->screen(), int(Catalogue::NowPlaying));
        QVERIFY2(stationPlaying().contains(QStringLiteral("Jazz")), qPrintable(stationPlaying()));
        // With "Include RX" ticked the radio's traffic is in the trace.
        QVERIFY(trace.contains(QStringLiteral("\t>OK\n")));
        QVERIFY(trace.contains(QStringLiteral("\t<Menu")));
        QVERIFY(!m_program->macroRunner().MacroTimer().isEnabled());
        // A double click empties the trace.
        QPlainTextEdit *text = m_program->macroWindow().MacroText();
        QTest::mouseDClick(text->viewport(), Qt::LeftButton, {}, text->viewport()->rect().center());
        QVERIFY(text->toPlainText().isEmpty());
    }

    void wakeUpAtVolumeTwentyFromStandby() {
        m_sim->model().handle(QStringLiteral("POWER"));
        QTRY_VERIFY_WITH_TIMEOUT(m_program->state().RadioStandby, Patience);
        startFromTheMacroWindow(QStringLiteral("Wake up at volume 20"));
        const QString trace = runToEnd();
        QVERIFY2(trace.endsWith(QStringLiteral("MACRO FINISHED\n")), qPrintable(trace.right(2000)));
        QVERIFY(m_sim->isPoweredOn());
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->volume(), 20, Patience); // the last presses go out after the run
    }

    void aClickOnTheMacroLabelStopsTheRun() {
        startFromThePanel(QStringLiteral("Play jazz"));
        MacroRunner &runner = m_program->macroRunner();
        QTRY_VERIFY_WITH_TIMEOUT(runner.CurrentStep >= 3, Patience);
        QTest::mouseClick(m_program->infoForm().MacroLabel(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!runner.running(), 2000);
        QVERIFY(runner.MacroText().endsWith(QStringLiteral("_ok\r\nMACRO FINISHED\r\n")));
        QVERIFY(!runner.MacroTimer().isEnabled());
        QCOMPARE(m_sim->screen(), int(Catalogue::MainMenu));
    }

    void playJazzRecoversFromDroppedConnections() {
        // Every fourth connection is closed unanswered while the run starts. A command lost on
        // such a connection is not sent again (the radio may have acted on it), so the run's
        // own checks must notice where the radio really is, and back up or start over.
        m_sim->setDropEvery(4);
        startFromThePanel(QStringLiteral("Play jazz"));
        const int start = m_sim->connectionsAccepted();
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->connectionsAccepted() >= start + 16, Patience);
        m_sim->setDropEvery(0);
        const QString trace = runToEnd();
        QVERIFY2(trace.endsWith(QStringLiteral("MACRO FINISHED\n")), qPrintable(trace.right(2000)));
        QCOMPARE(m_sim->screen(), int(Catalogue::NowPlaying));
        QVERIFY2(stationPlaying().contains(QStringLiteral("Jazz")), qPrintable(stationPlaying()));
    }
};

QTEST_MAIN(MacroEndToEndTest)
#include "MacroEndToEndTest.moc"
