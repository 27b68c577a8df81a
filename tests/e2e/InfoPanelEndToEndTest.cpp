#include "app/Program.h"
#include "e2e/ProgramFolder.h"
#include "info_panel/InfoForm.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "RadioSimulator.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The information panel of the real program, used as a user uses it, against the simulated
// radio over loopback. Waits are generous: the machine may be busy.
class InfoPanelEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 20000;

    QtPlatform m_platform;
    std::unique_ptr<RadioSimulator> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;

    InfoForm &form() { return m_program->infoForm(); }
    RadioState &state() { return m_program->state(); }

    static void doubleClickRow(QListWidget *list, int row) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    // Started, with the radio's main-menu position known to the panel.
    void startAndWaitForTheMenu() {
        QVERIFY(m_program->start());
        QVERIFY(form().isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!state().SelectedMenuItem.isEmpty(), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(form().DeviceVersion()->text(), QStringLiteral("3.1.7"), Patience);
        QCOMPARE(form().DeviceState()->text(), QStringLiteral("ON"));
    }

    // Every command the radio took, in order.
    QStringList radioLog() const { return m_sim->commandTexts(); }

private Q_SLOTS:
    void init() {
        m_program.reset();
        m_sim = std::make_unique<RadioSimulator>();
        QVERIFY(m_sim->start());
        m_sim->setStatusStepMs(100);
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(FillProgramFolder(m_dir->path(), m_sim->commandPort()));
        m_program = QuietProgram(m_platform, m_dir->path());
    }

    // Each connection carried one command only.
    void cleanup() {
        m_program.reset();
        QVERIFY(m_sim->extraBytes().isEmpty());
    }

    void mainMenuDoubleClickTakesTheRadioToTheEntry() {
        m_sim->model().handle(QStringLiteral("RIGHT")); // the radio on item 2
        startAndWaitForTheMenu();
        QTRY_COMPARE_WITH_TIMEOUT(form().MainMenuList()->currentRow(), 2, Patience);
        QCOMPARE(form().MainMenuList()->item(6)->text(), QStringLiteral("Podcasts"));
        doubleClickRow(form().MainMenuList(), 6);
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->screen(), 41, Patience);
        QCOMPARE(m_sim->mainMenuItem(), 6);
        QCOMPARE(radioLog().filter(QRegularExpression(QStringLiteral("^(UP|DOWN|LEFT|RIGHT|OK)$"))),
                 (QStringList{"DOWN", "OK"}));
    }

    void sliderMoveSetsTheVolumeAndFollowsTheRadio() {
        startAndWaitForTheMenu();
        QTRY_COMPARE_WITH_TIMEOUT(state().VolumeText, QStringLiteral("20"), Patience);
        QSlider *slider = form().VolumeAdjuster();
        QTRY_COMPARE_WITH_TIMEOUT(slider->value(), 20, Patience);
        slider->setValue(33); // as a click on the groove does
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->volume(), 35, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(slider->value() == 35 && slider->isEnabled(), Patience);
        QCOMPARE(radioLog().count(QStringLiteral("VOLp")), 3);
    }

    void stationRowPlaysAndTheMetaListFills() {
        startAndWaitForTheMenu();
        doubleClickRow(form().MainMenuList(), 1); // Stations
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->screen(), 3, Patience);
        QListWidget *info = form().InfoList();
        QTRY_VERIFY_WITH_TIMEOUT(info->isEnabled() && info->count() > 4, Patience);
        QVERIFY(info->item(4)->text().startsWith(QStringLiteral("3=Smooth Jazz")));
        doubleClickRow(info, 4);
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->screen(), 5, Patience);
        QListWidget *meta = form().MetaList();
        QTRY_VERIFY_WITH_TIMEOUT(meta->isEnabled() && meta->count() > 5 &&
                                     meta->item(5)->text() == QStringLiteral("status=playing"),
                                 Patience);
        QVERIFY(meta->item(1)->text().contains(QStringLiteral("Velvet Rain")));
        QCOMPARE(form().RecordButtons()->text(), QStringLiteral("Press to STOP PLAYBACK"));
    }

    void sendShowsTheMessageOnTheRadio() {
        startAndWaitForTheMenu();
        form().MessageText()->clear();
        QTest::keyClicks(form().MessageText(), QStringLiteral("Hello radio"));
        QTest::mouseClick(form().SendMessageButton(), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->screen(), 30, Patience);
        QCOMPARE(m_sim->lastMessage(), QStringLiteral("Hello radio"));
        QCOMPARE(form().statusPanel(), QStringLiteral("rC= MESSAGE Hello radio"));
    }

    void closingHidesThePanelAndItsPlaceIsKept() {
        startAndWaitForTheMenu();
        QVERIFY(!form().close()); // the user's close only hides it
        QVERIFY(!form().isVisible());
        QVERIFY(m_program->linkRunning());
        form().show();
        form().move(300, 120);
        form().resize(640, 600);
        const QRect placed(form().pos(), form().size());
        QVERIFY(m_program->mainWindow().close());
        m_program = QuietProgram(m_platform, m_dir->path());
        QVERIFY(m_program->start());
        QCOMPARE(QRect(form().pos(), form().size()), placed);
        QVERIFY(form().isVisible());
    }
};

QTEST_MAIN(InfoPanelEndToEndTest)
#include "InfoPanelEndToEndTest.moc"
