#include "app/Program.h"
#include "display/DisplayControl.h"
#include "display/DisplayForm.h"
#include "e2e/ProgramFolder.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "RadioSimulator.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The display window of the real program, clicked and typed into, against the simulated radio.
class DisplayEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 20000;

    QtPlatform m_platform;
    std::unique_ptr<RadioSimulator> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;

    DisplayControl &display() { return m_program->display(); }
    DisplayForm &window() { return m_program->displayWindow(); }
    QString caption() { return display().screen.Caption; }
    QStringList labelTexts() {
        QStringList texts;
        for (const DrawnItem &label : display().screen.OverlayLabel) {
            if (label.Visible) {
                texts << label.Text;
            }
        }
        return texts;
    }

private Q_SLOTS:
    // The default program folder, pictures included, pointing at the simulator; the window
    // shown as a user opens it.
    void init() {
        m_program.reset();
        m_sim = std::make_unique<RadioSimulator>();
        QVERIFY(m_sim->start());
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(FillProgramFolder(m_dir->path(), m_sim->commandPort()));
        m_program = QuietProgram(m_platform, m_dir->path());
        QVERIFY(m_program->start());
        QVERIFY(m_program->mainWindow().DisplayButton()->isEnabled());
        m_program->mainWindow().DisplayButton()->click();
        QVERIFY(window().isVisible());
    }

    void cleanup() {
        // One command per connection, whatever the display sent.
        QVERIFY(m_sim->extraBytes().isEmpty());
        m_program.reset();
        m_sim.reset();
    }

    void showsTheMainMenuAndAClickOnADrawnButtonSendsItsCommand() {
        QCOMPARE(caption(), QStringLiteral("Display Screen - main2"));
        QCOMPARE(window().windowTitle(), caption());
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->commandTexts().contains(QStringLiteral("MINFO")), Patience);
        // Twenty icons' worth of menu: the first page's sixteen are drawn with their pictures.
        int icons = 0;
        for (const DrawnItem &item : display().screen.OverlayImages) {
            icons += item.Visible && item.Picture.size() == QSize(64, 48);
        }
        QCOMPARE(icons, 16);
        // The volume icon of the status bar mutes the radio.
        const DrawnItem &mute = display().screen.StatusImages.at(1);
        QVERIFY(mute.Visible);
        QTest::mouseClick(window().BackGround(), Qt::LeftButton, {}, mute.Rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->commandTexts().contains(QStringLiteral("MUTE")), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->volume(), 0, Patience);
        // A main-menu icon does not pretend the radio moved: the display stays on the menu.
        QTest::mouseClick(window().BackGround(), Qt::LeftButton, {},
                          display().screen.OverlayImages.at(0).Rect().center());
        QCOMPARE(caption(), QStringLiteral("Display Screen - main2"));
        // Closing hides the window; the program keeps it.
        QVERIFY(!window().close());
        QVERIFY(!window().isVisible());
        // Reload reads the skin again and redraws the screen shown from it.
        const QRgb before = display().screen.render().pixel(160, 120);
        QFile menus(m_dir->filePath(QStringLiteral("menus.txt")));
        QVERIFY(menus.open(QIODevice::ReadOnly));
        const QByteArray text = menus.readAll().replace("B=,,320x240/main,,", "B=,,320x240/error,,");
        menus.close();
        QVERIFY(menus.open(QIODevice::WriteOnly | QIODevice::Truncate));
        menus.write(text);
        menus.close();
        m_program->ReloadButton_Click();
        QCOMPARE(caption(), QStringLiteral("Display Screen - main2"));
        QVERIFY(display().screen.render().pixel(160, 120) != before);
    }

    void searchBoxAppearsOnTheKeyboardScreenAndTypesTheWord() {
        QLineEdit *box = window().SearchForText();
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->commandTexts().contains(QStringLiteral("MINFO")), Patience);
        QVERIFY(!box->isVisible());
        // Item 3 of the main menu is the search keyboard.
        RadioLink &link = m_program->link();
        for (const char *key : {"RIGHT", "RIGHT", "OK"}) {
            link.telnet.QueueCommand(0, QLatin1String(key));
        }
        QTRY_VERIFY_WITH_TIMEOUT(box->isVisible(), Patience);
        QCOMPARE(m_sim->screen(), 14);
        QCOMPARE(caption(), QStringLiteral("Display Screen - keyboard"));
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("JAZZ."));
        QCOMPARE(box->text(), QStringLiteral("jazz"));
        QTRY_COMPARE_WITH_TIMEOUT(m_sim->screen(), 15, Patience);
        QCOMPARE(m_sim->searchText().toLower(), QStringLiteral("jazz"));
        QTRY_VERIFY_WITH_TIMEOUT(!box->isVisible(), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(caption(), QStringLiteral("Display Screen - stationlist"), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(labelTexts().contains(QStringLiteral("Smooth Jazz Nights")), Patience);
        QVERIFY(labelTexts().contains(QStringLiteral("Jazz FM Lounge")));
        QVERIFY(labelTexts().contains(QStringLiteral("Acid Jazz Cellar")));
    }
};

QTEST_MAIN(DisplayEndToEndTest)
#include "DisplayEndToEndTest.moc"
