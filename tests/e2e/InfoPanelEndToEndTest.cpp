#include "e2e/RadioRun.h"
#include "info_panel/InfoWindow.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

// The information panel of the real program, used as a user uses it, against the simulated radio.
class InfoPanelEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

private Q_SLOTS:
    // The slider sets the volume, the main menu takes the radio to the stations, a station row
    // plays and the meta list fills, Send shows the message; each key once, in order.
    void volumeStationAndMessageReachTheRadio() {
        RadioRun run;
        run.sim.setStatusStepMs(100);
        run.sim.model().handle(QStringLiteral("RIGHT")); // the radio on main-menu item 2
        QVERIFY(run.begin());
        InfoForm &form = run.program->info().form();
        QVERIFY(form.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(form.DeviceVersion()->text(), QStringLiteral("3.1.7"), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(form.DeviceState()->text(), QStringLiteral("ON"), Patience);

        QSlider *slider = form.VolumeAdjuster();
        QTRY_COMPARE_WITH_TIMEOUT(slider->value(), 20, Patience);
        slider->setValue(33); // as a click on the groove does
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.volume(), 35, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(slider->value() == 35 && slider->isEnabled(), Patience);

        QTRY_COMPARE_WITH_TIMEOUT(form.MainMenuList()->currentRow(), 2, Patience);
        QCOMPARE(form.MainMenuList()->item(1)->text(), QStringLiteral("Stations"));
        doubleClick(form.MainMenuList()->viewport(),
                    form.MainMenuList()->visualItemRect(form.MainMenuList()->item(1)).center());
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 3, Patience);
        QCOMPARE(run.sim.mainMenuItem(), 1);
        QListWidget *info = form.InfoList();
        QTRY_VERIFY_WITH_TIMEOUT(info->isEnabled() && info->count() > 4, Patience);
        QVERIFY(info->item(4)->text().startsWith(QStringLiteral("3=Smooth Jazz")));
        doubleClick(info->viewport(), info->visualItemRect(info->item(4)).center());
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 5, Patience);
        QListWidget *meta = form.MetaList();
        QTRY_VERIFY_WITH_TIMEOUT(meta->isEnabled() && meta->count() > 5 &&
                                     meta->item(5)->text() == QStringLiteral("status=playing"),
                                 Patience);
        QVERIFY(meta->item(1)->text().contains(QStringLiteral("Velvet Rain")));
        QCOMPARE(form.RecordButtons()->text(), QStringLiteral("Press to STOP PLAYBACK"));

        form.MessageText()->clear();
        QTest::keyClicks(form.MessageText(), QStringLiteral("Hello radio"));
        QTest::mouseClick(form.SendMessageButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 30, Patience);
        QCOMPARE(run.sim.lastMessage(), QStringLiteral("Hello radio"));
        QCOMPARE(form.statusPanel(), QStringLiteral("rC= MESSAGE Hello radio"));
        const QStringList keys = QStringLiteral("UP,DOWN,LEFT,RIGHT,OK,VOLp,VOLm,MESSAGE Hello radio").split(u',');
        // 20 to 35 in steps of five; item 2 to 1; the list opens on entry 1, two down to entry 3.
        QCOMPARE(run.deliveryFault(
                     keys, QStringLiteral("VOLp,VOLp,VOLp,LEFT,OK,DOWN,DOWN,OK,MESSAGE Hello radio").split(u',')),
                 QString());

        QVERIFY(!form.close()); // the user's close only hides it
        QVERIFY(!form.isVisible());
        QVERIFY(run.program->linkRunning());
    }

    // Off the main menu the cursor keys would act on the screen shown: from now playing and from
    // a list, a main-menu entry goes home first, then moves and opens it, each key once.
    void mainMenuEntryFromNowPlayingAndFromAList() {
        RadioRun run;
        run.sim.model().handle(QStringLiteral("OK")); // the stations (main-menu item 1)
        run.sim.model().handle(QStringLiteral("OK")); // the first one plays
        QCOMPARE(run.sim.screen(), 5);
        QVERIFY(run.begin());
        InfoForm &form = run.program->info().form();
        QListWidget *menu = form.MainMenuList();
        const auto open = [&](int row, int screen) {
            QTRY_VERIFY_WITH_TIMEOUT(menu->count() > row, Patience);
            doubleClick(menu->viewport(), menu->visualItemRect(menu->item(row)).center());
            QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), screen, Patience);
            QCOMPARE(run.sim.mainMenuItem(), row);
            // The next entry counts from what the radio reports, once it has reported it.
            QTRY_COMPARE_WITH_TIMEOUT(run.program->state().MenuState, QString::number(screen), Patience);
            QTRY_COMPARE_WITH_TIMEOUT(run.program->state().SelectedMenuItem, QString::number(row), Patience);
        };
        QTRY_COMPARE_WITH_TIMEOUT(run.program->state().MenuState, QStringLiteral("5"), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(run.program->state().SelectedMenuItem, QStringLiteral("1"), Patience);
        QCOMPARE(menu->item(2)->text(), QStringLiteral("Recordings"));
        open(2, 7);                                                       // from now playing
        open(1, 3);                                                       // from the recordings list to the stations
        open(2, 7);                                                       // from the stations list
        QVERIFY(run.sim.model().status() != RadioModel::Status::Stopped); // HOME left the player alone
        const QStringList keys = QStringLiteral("HOME,UP,DOWN,LEFT,RIGHT,OK,EXIT,STOP").split(u',');
        QCOMPARE(run.deliveryFault(keys, QStringLiteral("HOME,RIGHT,OK,HOME,LEFT,OK,HOME,RIGHT,OK").split(u',')),
                 QString());
    }

    // From Settings (item 4, the end of the first row) to Favourites (item 5, the start of the
    // next): down a row and left along it, whether or not the radio's LEFT and RIGHT wrap.
    void favouritesFromTheEndOfTheRowAbove() {
        RadioRun run;
        for (const char *key : {"RIGHT", "RIGHT", "RIGHT"}) {
            run.sim.model().handle(QLatin1String(key));
        }
        QCOMPARE(run.sim.mainMenuItem(), 4);
        QVERIFY(run.begin());
        QListWidget *menu = run.program->info().form().MainMenuList();
        QTRY_COMPARE_WITH_TIMEOUT(run.program->state().SelectedMenuItem, QStringLiteral("4"), Patience);
        QCOMPARE(menu->item(5)->text(), QStringLiteral("Favourites"));
        menu->setCurrentRow(5);
        menu->setFocus();
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 40, Patience);
        QCOMPARE(run.sim.mainMenuItem(), 5);
        const QStringList keys = QStringLiteral("HOME,UP,DOWN,LEFT,RIGHT,OK").split(u',');
        QCOMPARE(run.deliveryFault(keys, QStringLiteral("DOWN,LEFT,LEFT,LEFT,OK").split(u',')), QString());
    }
};

QTEST_MAIN(InfoPanelEndToEndTest)
#include "InfoPanelEndToEndTest.moc"
