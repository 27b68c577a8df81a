#include "console/ConsoleWindow.h"
#include "e2e/RadioRun.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "support/ChildWidget.h"
#include "update/UpdateWindow.h"
#include "UpdatePage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

// The console window and the update window of the real program, driven as a user would,
// against the simulated radio's console and its update page.
class ConsoleUpdateEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

private Q_SLOTS:
    void theConsoleFollowsAStationBeingPlayedAndTheUpdatePageShows() {
        UpdatePage page; // ends after the program
        RadioRun run;
        run.sim.setStatusStepMs(50);
        QVERIFY(run.sim.start());
        QVERIFY(page.start(QHostAddress::LocalHost, 0));
        QVERIFY(run.begin(QStringLiteral("ConsoleAddress=127.0.0.1\r\nConsolePort=%1\r\n"
                                         "UpdateURL=127.0.0.1:%2/corvale/versions.php\r\n[Timeouts]\r\nConnect=5\r\n")
                              .arg(run.sim.consolePort())
                              .arg(page.port())));
        const auto setting = [&run](const QString &section, const QString &key) {
            return run.program->ini().ReadSetting(section, key, QString());
        };

        ConsoleForm &console = run.program->consoleWindow()->form();
        QVERIFY(!console.isVisible());
        QTest::mouseDClick(ChildWidget<QGroupBox>(run.program->mainWindow(), QStringLiteral("FunctionFrames")),
                           Qt::LeftButton);
        QVERIFY(console.isVisible());
        QCOMPARE(console.windowTitle(), QStringLiteral("Console"));
        QTest::mouseDClick(console.ConsoleText()->viewport(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.consoleClients(), 1, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(console.StatusPanel(3)->text().startsWith(QStringLiteral("Open in ")), Patience);
        // The main menu's first item is the station list; OK there plays its first station.
        run.program->link().telnet.QueueCommand(0, QStringLiteral("OK"));
        run.program->link().telnet.QueueCommand(0, QStringLiteral("OK"));
        const QString url = QStringLiteral("http://streams.example.net/jazz-fm-lounge.mp3");
        QTRY_COMPARE_WITH_TIMEOUT(console.ConsoleCaptureText()->toPlainText(),
                                  QStringLiteral("UTC      : \nTitle    : Miles Avenue - Blue Corner\nURL      : %1\n"
                                                 "Clipart  : /tmp/coverart/jazz-fm-lounge.jpg\nID3      : %1\n"
                                                 "cURL     : %1\nM-Player : mplayer -quiet -cache 320 %1\n"
                                                 "Playing  : %1\nRadio    : \nStocks   : \nWeather  : \n")
                                      .arg(url),
                                  Patience);
        QCOMPARE(console.TheCurlList()->count(), 1);
        QCOMPARE(console.TheCurlList()->item(0)->text(), url);
        QVERIFY(console.ConsoleText()->toPlainText().contains(QStringLiteral("\nPlaying http://streams")));
        // Panel 3 hides and shows the summary; a double click on it empties it and the list.
        QTest::mouseClick(console.StatusPanel(3), Qt::LeftButton);
        QVERIFY(!console.ConsoleCaptureText()->isVisible());
        QTest::mouseClick(console.StatusPanel(3), Qt::LeftButton);
        QVERIFY(console.ConsoleCaptureText()->isVisible());
        QTest::mouseDClick(console.ConsoleCaptureText()->viewport(), Qt::LeftButton);
        QCOMPARE(console.ConsoleCaptureText()->toPlainText(), QString());
        QCOMPARE(console.TheCurlList()->count(), 0);
        // Typed characters go to the radio's console, which echoes them on a line of their own.
        QTest::keyClicks(console.ConsoleText(), QStringLiteral("z"));
        QTRY_VERIFY_WITH_TIMEOUT(console.ConsoleText()->toPlainText().endsWith(QStringLiteral("\nz\n")), Patience);
        QByteArrayList typed;
        for (const auto &bytes : run.sim.commands()) {
            if (bytes.port == run.sim.consolePort()) {
                typed << bytes.command;
            }
        }
        QCOMPARE(typed, (QByteArrayList{"z"})); // once
        QCOMPARE(run.deliveryFault({QStringLiteral("OK")}, {QStringLiteral("OK"), QStringLiteral("OK")}), QString());
        // Closing the window closes its connection and keeps its place and address.
        console.close();
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.consoleClients(), 0, Patience);
        QVERIFY(!setting(QStringLiteral("ConsoleForm"), QStringLiteral("FC")).isEmpty());
        QCOMPARE(setting(QStringLiteral("General"), QStringLiteral("ConsolePort")),
                 QString::number(run.sim.consolePort()));

        // The proxy fields follow their box; the update request goes straight to the server anyway.
        ConfigForm &main = run.program->mainWindow();
        QVERIFY(!ChildWidget<QLineEdit>(main, QStringLiteral("txtProxyServer"))->isEnabled());
        ChildWidget<QCheckBox>(main, QStringLiteral("chkUseProxy"))->click();
        QVERIFY(ChildWidget<QLineEdit>(main, QStringLiteral("txtProxyServer"))->isEnabled());
        UpdateWindow &update = *run.program->updateWindow();
        QTest::mouseClick(ChildWidget<QLabel>(main, QStringLiteral("CheckUpdateLabel")), Qt::LeftButton);
        QVERIFY(update.form().isVisible());
        QCOMPARE(update.form().windowTitle(), QStringLiteral("Updates?"));
        QTRY_COMPARE_WITH_TIMEOUT(update.form().RawTexta()->toPlainText(),
                                  QStringLiteral("CV Remote update service \nCorvale Remote Software V.%1 \n"
                                                 "Ask your dealer for the download. ")
                                      .arg(UpdatePage::defaultVersion()),
                                  Patience);
        QCOMPARE(update.logic().NewerVersion, UpdatePage::defaultVersion());
        QCOMPARE(update.form().NewsLine()->text(),
                 QStringLiteral("A newer version, V.%1, is available.").arg(UpdatePage::defaultVersion()));
        QCOMPARE(page.requests().size(), 1);
        QVERIFY(page.requests().first().startsWith("GET /corvale/versions.php HTTP/1.1\r\n"));
        // The proxy's fields reach the checker and the settings as they are typed; the password
        // reaches the settings only once "Remember password" is ticked.
        QTest::keyClicks(ChildWidget<QLineEdit>(main, QStringLiteral("txtProxyUserName")), QStringLiteral("alice"));
        QTest::keyClicks(ChildWidget<QLineEdit>(main, QStringLiteral("txtProxyPassword")), QStringLiteral("s3cret"));
        QVERIFY(update.logic().proxy().use);
        QCOMPARE(update.logic().proxy().password, QStringLiteral("s3cret"));
        QCOMPARE(setting(QStringLiteral("Proxy"), QStringLiteral("UseProxy")), QStringLiteral("1"));
        QCOMPARE(setting(QStringLiteral("Proxy"), QStringLiteral("UserName")), QStringLiteral("alice"));
        QCOMPARE(setting(QStringLiteral("Proxy"), QStringLiteral("Password")), QString());
        ChildWidget<QCheckBox>(main, QStringLiteral("chkRememberProxyPassword"))->click();
        QCOMPARE(setting(QStringLiteral("Proxy"), QStringLiteral("Password")),
                 QString::fromLatin1(QByteArray("s3cret").toBase64()));
        // The program's close takes the update window with it; its top and left are kept.
        run.program->Form_Unload();
        QVERIFY(!setting(QStringLiteral("UpdateForm"), QStringLiteral("TL")).isEmpty());
    }
};

QTEST_MAIN(ConsoleUpdateEndToEndTest)
#include "ConsoleUpdateEndToEndTest.moc"
