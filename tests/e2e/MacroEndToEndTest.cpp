#include "app/Program.h"
#include "Catalogue.h"
#include "macros/MacroForm.h"
#include "macros/MacroRunner.h"
#include "platform/Platform.h"
#include "RadioSimulator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

    // Shows the macro in the macro window and double-clicks the window's title line.
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
        const QDir data(qEnvironmentVariable("CV_TEST_DATA"));
        for (const QString &name : data.entryList(QDir::Files)) {
            QFile::copy(data.filePath(name), m_dir->filePath(name));
        }
        QFile ini(m_dir->filePath(QStringLiteral("CVRemote.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(
            QStringLiteral("[General]\r\nRaidoURL=127.0.0.1\r\nRaidoPORT=%1\r\n").arg(m_sim->commandPort()).toLatin1());
        ini.close();
        m_program = std::make_unique<Program>(m_platform, m_dir->path());
        m_program->endProgram = [] {};
        m_program->beep = [] {};
        QVERIFY(m_program->start());
        // The program has found out where the radio is.
        QTRY_VERIFY_WITH_TIMEOUT(!m_program->state().MenuState.isEmpty(), Patience);
    }

    void cleanup() {
        m_program.reset();
        m_sim.reset();
    }

    void playJazzEndsPlayingAJazzStation() {
        startFromTheMacroWindow(QStringLiteral("Play jazz"));
        const QString trace = runToEnd();
        QVERIFY2(trace.endsWith(QStringLiteral("MACRO FINISHED\n")), qPrintable(trace.right(2000)));
        QCOMPARE(m_sim->screen(), int(Catalogue::NowPlaying));
        QVERIFY2(stationPlaying().contains(QStringLiteral("Jazz")), qPrintable(stationPlaying()));
        // "Include RX" was ticked by the start: the radio's traffic is in the trace.
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

    void playJazzRecoversFromDroppedConnections() {
        // Every fourth connection is closed unanswered while the run starts. A command lost on
        // such a connection is not sent again (the radio may have acted on it), so the run's
        // own checks must notice where the radio really is, and back up or start over.
        m_sim->setDropEvery(4);
        startFromTheMacroWindow(QStringLiteral("Play jazz"));
        QTest::qWait(6000);
        m_sim->setDropEvery(0);
        const QString trace = runToEnd();
        QVERIFY2(trace.endsWith(QStringLiteral("MACRO FINISHED\n")), qPrintable(trace.right(2000)));
        QCOMPARE(m_sim->screen(), int(Catalogue::NowPlaying));
        QVERIFY2(stationPlaying().contains(QStringLiteral("Jazz")), qPrintable(stationPlaying()));
    }
};

QTEST_MAIN(MacroEndToEndTest)
#include "MacroEndToEndTest.moc"
