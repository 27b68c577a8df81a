#include "app/Program.h"
#include "app/WireConsole.h"
#include "app/WireUpdate.h"
#include "e2e/ProgramFolder.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "RadioSimulator.h"
#include "UpdatePage.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The real program against the simulated radio and its update page, over loopback: the
// console window and the update window driven as a user would.
class ConsoleUpdateEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 20000;

    QtPlatform m_platform;
    std::unique_ptr<RadioSimulator> m_sim;
    std::unique_ptr<UpdatePage> m_page;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;

    QString setting(const QString &section, const QString &key) {
        return m_program->ini().ReadSetting(section, key, QString());
    }

private Q_SLOTS:
    void init() {
        m_program.reset();
        m_sim = std::make_unique<RadioSimulator>();
        m_sim->setStatusStepMs(50);
        QVERIFY(m_sim->start());
        m_page = std::make_unique<UpdatePage>();
        QVERIFY(m_page->start(QHostAddress::LocalHost, 0));
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(FillProgramFolder(m_dir->path(), m_sim->commandPort(),
                                  QStringLiteral("ConsoleAddress=127.0.0.1\r\nConsolePort=%1\r\n"
                                                 "UpdateURL=127.0.0.1:%2/corvale/versions.php\r\n"
                                                 "[Timeouts]\r\nConnect=5\r\n")
                                      .arg(m_sim->consolePort())
                                      .arg(m_page->port())));
        m_program = QuietProgram(m_platform, m_dir->path());
        QVERIFY(m_program->start());
    }

    void cleanup() {
        m_program.reset();
        m_page.reset();
        m_sim.reset();
    }

    void theConsoleWindowFollowsAStationBeingPlayed() {
        ConsoleWindow &console = *m_program->consoleWindow();
        QVERIFY(!console.form.isVisible());
        QTest::mouseDClick(m_program->mainWindow().FunctionFrames(), Qt::LeftButton);
        QVERIFY(console.form.isVisible());
        QCOMPARE(console.form.windowTitle(), QStringLiteral("Console"));

        QTest::mouseDClick(console.form.ConsoleText()->viewport(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->consoleClients(), 1, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(console.form.StatusPanel(3)->text().startsWith(QStringLiteral("Open in ")), Patience);

        // The main menu's first item is the station list; OK there plays its first station.
        m_program->link().telnet.QueueCommand(0, QStringLiteral("OK"));
        m_program->link().telnet.QueueCommand(0, QStringLiteral("OK"));
        const QString summary = QStringLiteral("UTC      : \n"
                                               "Title    : Miles Avenue - Blue Corner\n"
                                               "URL      : http://streams.example.net/jazz-fm-lounge.mp3\n"
                                               "Clipart  : /tmp/coverart/jazz-fm-lounge.jpg\n"
                                               "ID3      : http://streams.example.net/jazz-fm-lounge.mp3\n"
                                               "cURL     : http://streams.example.net/jazz-fm-lounge.mp3\n"
                                               "M-Player : mplayer -quiet -cache 320 "
                                               "http://streams.example.net/jazz-fm-lounge.mp3\n"
                                               "Playing  : http://streams.example.net/jazz-fm-lounge.mp3\n"
                                               "Radio    : \n"
                                               "Stocks   : \n"
                                               "Weather  : \n");
        QTRY_COMPARE_WITH_TIMEOUT(console.form.ConsoleCaptureText()->toPlainText(), summary, Patience);
        QCOMPARE(console.form.TheCurlList()->count(), 1);
        QCOMPARE(console.form.TheCurlList()->item(0)->text(),
                 QStringLiteral("http://streams.example.net/jazz-fm-lounge.mp3"));
        QVERIFY(console.form.ConsoleText()->toPlainText().contains(QStringLiteral("\nPlaying http://streams")));

        // Panel 3 hides and shows the summary; a double click on it empties it and the list.
        QTest::mouseClick(console.form.StatusPanel(3), Qt::LeftButton);
        QVERIFY(!console.form.ConsoleCaptureText()->isVisible());
        QTest::mouseClick(console.form.StatusPanel(3), Qt::LeftButton);
        QVERIFY(console.form.ConsoleCaptureText()->isVisible());
        QTest::mouseDClick(console.form.ConsoleCaptureText()->viewport(), Qt::LeftButton);
        QCOMPARE(console.form.ConsoleCaptureText()->toPlainText(), QString());
        QCOMPARE(console.form.TheCurlList()->count(), 0);

        // Typed characters go to the radio's console, which echoes them on a line of their own.
        QTest::keyClicks(console.form.ConsoleText(), QStringLiteral("z"));
        QTRY_VERIFY_WITH_TIMEOUT(console.form.ConsoleText()->toPlainText().endsWith(QStringLiteral("\nz\n")), Patience);

        // Closing the window closes its connection and keeps its place and address.
        console.form.close();
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->consoleClients(), 0, Patience);
        QVERIFY(!setting(QStringLiteral("ConsoleForm"), QStringLiteral("FC")).isEmpty());
        QCOMPARE(setting(QStringLiteral("General"), QStringLiteral("ConsolePort")),
                 QString::number(m_sim->consolePort()));
    }

    void checkForUpdatesShowsTheVersionPageAndNotesTheNewerVersion() {
        ConfigForm &main = m_program->mainWindow();
        // The proxy fields follow their box; the request goes straight to the server anyway.
        QVERIFY(!main.ProxyFields().at(4)->isEnabled());
        main.chkUseProxy()->click();
        QVERIFY(main.ProxyFields().at(4)->isEnabled());

        UpdateWindow &update = *m_program->updateWindow();
        QTest::mouseClick(main.CheckUpdateLabel(), Qt::LeftButton);
        QVERIFY(update.form.isVisible());
        QCOMPARE(update.form.windowTitle(), QStringLiteral("Updates?"));
        QTRY_COMPARE_WITH_TIMEOUT(update.form.RawTexta()->toPlainText(),
                                  QStringLiteral("CV Remote update service \n"
                                                 "Corvale Remote Software V.%1 \n"
                                                 "Ask your dealer for the download. ")
                                      .arg(UpdatePage::defaultVersion()),
                                  Patience);
        QCOMPARE(update.checker.NewerVersion, UpdatePage::defaultVersion());
        QCOMPARE(m_page->requests().size(), 1);
        QVERIFY(m_page->requests().first().startsWith("GET /corvale/versions.php HTTP/1.1\r\n"));

        // The program's close takes the update window with it; its top and left are kept.
        m_program->Form_Unload();
        QVERIFY(!setting(QStringLiteral("UpdateForm"), QStringLiteral("TL")).isEmpty());
    }
};

QTEST_MAIN(ConsoleUpdateEndToEndTest)
#include "ConsoleUpdateEndToEndTest.moc"
