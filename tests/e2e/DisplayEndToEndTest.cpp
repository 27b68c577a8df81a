#include "display/DisplayForm.h"
#include "display/DisplayWindow.h"
#include "e2e/RadioRun.h"
#include "e2e/ShownLabels.h"
#include "keyboard/KeyboardGrid.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "support/ChildWidget.h"
#include "support/ScaleOfTheRun.h"

#include <QLineEdit>
#include <QPushButton>

// The display window of the real program, clicked and typed into, against the simulated radio.
class DisplayEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

private Q_SLOTS:
    // The main menu shows; a drawn button mutes the radio; a menu icon opens its entry; Reload redraws; the
    // search box types a word on the radio's keyboard, each key once and in order, and the results show.
    void menuMuteSearchAndReload() {
        RadioRun run;
        QVERIFY(run.begin());
        QVERIFY(ChildWidget<QPushButton>(run.program->mainWindow(), QStringLiteral("DisplayButton"))->isEnabled());
        ChildWidget<QPushButton>(run.program->mainWindow(), QStringLiteral("DisplayButton"))->click();
        DisplayForm &window = run.program->display().form();
        ScreenRenderer &screen = run.program->display().logic().screen;
        QVERIFY(window.isVisible());
        QCOMPARE(window.BackGround()->devicePixelRatioF(), ScaleOfTheRun());
        QCOMPARE(screen.Caption, QStringLiteral("Display Screen - main2"));
        QCOMPARE(window.windowTitle(), screen.Caption);
        QTRY_VERIFY_WITH_TIMEOUT(run.sim.commandTexts().contains(QStringLiteral("MINFO")), Patience);
        // Twenty icons' worth of menu: the first page's sixteen are drawn with their pictures.
        int icons = 0;
        for (const DrawnItem &item : screen.OverlayImages) {
            icons += item.Visible && item.Picture.size() == QSize(64, 48);
        }
        QCOMPARE(icons, 16);
        // The volume icon of the status bar mutes the radio.
        const DrawnItem &mute = screen.StatusImages.at(1);
        QVERIFY(mute.Visible);
        QTest::mouseClick(window.BackGround(), Qt::LeftButton, {}, mute.Rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.volume(), 0, Patience);
        // A main-menu icon opens its entry, once for a user's double click (delivered as Qt does:
        // press, release, double click, release). It does not pretend the radio moved: the
        // display stays on the menu until the radio's reply says it did.
        QTRY_COMPARE_WITH_TIMEOUT(run.program->state().SelectedMenuItem, QStringLiteral("1"), Patience);
        const QPoint recordings = screen.OverlayImages.at(1).Rect().center();
        QTest::mousePress(window.BackGround(), Qt::LeftButton, {}, recordings);
        QTest::mouseRelease(window.BackGround(), Qt::LeftButton, {}, recordings);
        QTest::mouseDClick(window.BackGround(), Qt::LeftButton, {}, recordings);
        QTest::mouseRelease(window.BackGround(), Qt::LeftButton, {}, recordings);
        QCOMPARE(screen.Caption, QStringLiteral("Display Screen - main2"));
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 7, Patience);
        QCOMPARE(run.sim.mainMenuItem(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(screen.Caption, QStringLiteral("Display Screen - recordinglist"), Patience);
        // The status bar's house takes it home again, the menu's cursor still on the recordings.
        const DrawnItem &home = screen.StatusImages.at(0);
        QTest::mouseClick(window.BackGround(), Qt::LeftButton, {}, home.Rect().center());
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 0, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(screen.Caption, QStringLiteral("Display Screen - main2"), Patience);

        // Reload reads the skin again and redraws the screen shown from it.
        const QRgb before = screen.render().pixel(160, 120);
        QFile menus(run.dir.filePath(QStringLiteral("menus.txt")));
        QVERIFY(menus.open(QIODevice::ReadOnly));
        const QByteArray text = menus.readAll().replace("B=,,320x240/main,,", "B=,,320x240/error,,");
        menus.close();
        QVERIFY(menus.open(QIODevice::WriteOnly | QIODevice::Truncate));
        menus.write(text);
        menus.close();
        run.program->ReloadButton_Click();
        QCOMPARE(screen.Caption, QStringLiteral("Display Screen - main2"));
        QVERIFY(screen.render().pixel(160, 120) != before);

        // Item 3 of the main menu, right of the recordings, is the search keyboard.
        QLineEdit *box = window.SearchForText();
        QVERIFY(!box->isVisible());
        for (const char *key : {"RIGHT", "OK"}) {
            run.program->link().telnet.QueueCommand(0, QLatin1String(key));
        }
        QTRY_VERIFY_WITH_TIMEOUT(box->isVisible(), Patience);
        QCOMPARE(run.sim.screen(), 14);
        QCOMPARE(screen.Caption, QStringLiteral("Display Screen - keyboard"));
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("JAZZ."));
        QCOMPARE(box->text(), QStringLiteral("jazz"));
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 15, Patience);
        QCOMPARE(run.sim.searchText().toLower(), QStringLiteral("jazz"));
        QTRY_VERIFY_WITH_TIMEOUT(!box->isVisible(), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(screen.Caption, QStringLiteral("Display Screen - stationlist"), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(ShownLabels(screen).contains(QStringLiteral("Smooth Jazz Nights")), Patience);
        const QStringList shown = ShownLabels(screen);
        QVERIFY(shown.contains(QStringLiteral("Jazz FM Lounge")));
        QVERIFY(shown.contains(QStringLiteral("Acid Jazz Cellar")));
        QStringList keys = QStringLiteral("MUTE,RIGHT,OK,HOME,RIGHT,OK").split(u',');
        const QString typed = QStringLiteral("jazz_");
        for (qsizetype i = 0; i < typed.size(); ++i) {
            keys += MakeKeyPath(typed.mid(std::max<qsizetype>(i - 1, 0), i == 0 ? 1 : 2)).split(u',');
        }
        QCOMPARE(run.deliveryFault(QStringLiteral("MUTE,HOME,UP,DOWN,LEFT,RIGHT,OK").split(u','), keys), QString());

        // A search of 30 characters (about 120 keys) goes whole, each key once, and starts.
        for (const char *key : {"HOME", "OK"}) {
            run.program->link().telnet.QueueCommand(0, QLatin1String(key));
        }
        QTRY_VERIFY_WITH_TIMEOUT(box->isVisible() && run.sim.screen() == 14, Patience);
        const qsizetype logged = run.log().size();
        const QString search = QStringLiteral("smooth jazz nights and more 42");
        box->setFocus();
        box->clear(); // the box keeps the last search
        QTest::keyClicks(box, search + u'.');
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 15, 60000);
        QCOMPARE(run.sim.searchText().toLower(), search);
        QStringList longPath = run.log().mid(logged);
        longPath.removeIf(
            [](const QString &c) { return !QStringLiteral("UP,DOWN,LEFT,RIGHT,OK").split(u',').contains(c); });
        QCOMPARE(longPath, TypingKeys(search + u'_'));

        // Closing hides the window; the program keeps it.
        QVERIFY(!window.close());
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(DisplayEndToEndTest)
#include "DisplayEndToEndTest.moc"
