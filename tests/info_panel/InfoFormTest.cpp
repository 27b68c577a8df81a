#include "info_panel/InfoForm.h"

#include "macros/MacroTable.h"
#include "radio_link/LinkHarness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <initializer_list>
#include <memory>

// The window over the real panel logic and radio link (fake time, nothing connected): user
// events reach the queues, and the program's own updates do not come back as user events.
class InfoFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkHarness> m_link;
    MacroTable m_macros;
    std::unique_ptr<InfoPanel> m_panel;
    std::unique_ptr<InfoForm> m_form;

    QStringList sent() const { return m_link->link.telnet.toGo(); }
    QStringList asked() const { return m_link->link.telnet.pending(1); }
    static void press(QListWidget *list, int row, Qt::MouseButton button) {
        QTest::mousePress(list->viewport(), button, {}, list->visualItemRect(list->item(row)).center());
        QTest::mouseRelease(list->viewport(), button, {}, list->visualItemRect(list->item(row)).center());
    }

private Q_SLOTS:
    void init() {
        m_form.reset();
        m_panel.reset();
        m_link = std::make_unique<LinkHarness>();
        m_link->skin.MainMenuList = QStringList{"Power", "Stations", "Recordings", "Search", "Settings"};
        m_panel = std::make_unique<InfoPanel>(m_link->platform, m_link->link, m_link->state, m_link->timeouts,
                                              m_link->skin, m_macros, QString());
        m_form = std::make_unique<InfoForm>(*m_panel, m_link->link.view);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    // The panel can be much shorter than it opens: the debug text gives up height first, and
    // at its smallest every list still shows some rows and every control stays in view.
    void thePanelCanBeShortWithEveryControlInView() {
        const auto settle = [] {
            for (int i = 0; i < 4; ++i) {
                QCoreApplication::sendPostedEvents();
                QCoreApplication::processEvents();
            }
        };
        settle();
        const QSize opened = m_form->size();
        const QSize smallest = m_form->minimumSizeHint();
        qInfo("information panel: %dx%d at first, %dx%d at its smallest", opened.width(), opened.height(),
              smallest.width(), smallest.height());
        QVERIFY(smallest.height() < opened.height());
        const int debugTall = m_form->DebugText()->height();
        m_form->resize(smallest);
        QTRY_COMPARE(m_form->size(), smallest);
        settle();
        QVERIFY(m_form->DebugText()->height() < debugTall);
        QVERIFY(m_form->DebugText()->height() >= 2 * m_form->DebugText()->fontMetrics().lineSpacing());
        for (QListWidget *list : {m_form->MainMenuList(), m_form->MetaList(), m_form->InfoList()}) {
            QVERIFY(list->isVisible());
            QVERIFY(list->viewport()->height() >= list->fontMetrics().lineSpacing() * 2);
        }
        for (QWidget *control : std::initializer_list<QWidget *>{m_form->RecordButtons(), m_form->SendMessageButton(),
                                                                 m_form->MessageText(), m_form->VolumeAdjuster()}) {
            QVERIFY(control->isVisible());
            const QRect inWindow(control->mapTo(m_form.get(), QPoint(0, 0)), control->size());
            QVERIFY(m_form->rect().contains(inWindow));
        }
    }

    void listsTakeClicksDoubleClicksAndRightClicks() {
        m_link->state.MenuState = QStringLiteral("0"); // the main menu, cursor on entry 1
        m_link->state.SelectedMenuItem = QStringLiteral("1");
        m_form->render();
        QListWidget *menu = m_form->MainMenuList();
        QCOMPARE(menu->count(), 5);
        press(menu, 3, Qt::LeftButton);
        QVERIFY(m_link->state.holds.MainMenuListHold);
        QCOMPARE(m_link->link.view.MainMenuListIndex, 3);
        QTest::mouseDClick(menu->viewport(), Qt::LeftButton, {}, menu->visualItemRect(menu->item(3)).center());
        QCOMPARE(sent(), (QStringList{"RIGHT", "QXDELAY", "RIGHT", "QXDELAY", "OK", "QXDELAY"}));

        RadioView &view = m_link->link.view;
        view.InfoList = QStringList{"List - Updated", "pos=1 (1)", "1=One", "2=Two"};
        view.InfoListEnabled = true;
        view.touch();
        view.flush();
        QListWidget *info = m_form->InfoList();
        QCOMPARE(info->count(), 4);
        press(info, 2, Qt::LeftButton);
        QVERIFY(m_link->state.holds.InfoListHold);
        press(info, 3, Qt::RightButton);
        QVERIFY(!m_link->state.holds.InfoListHold);
        QCOMPARE(asked(), QStringList{"LISTINFO"});
        QCOMPARE(view.InfoListIndex, 2); // a right click does not pick a row
    }

    // The message box starts empty with a hint; Send is greyed while the box is blank, and
    // neither it nor Enter sends an empty message. Typed text goes by Enter as by Send.
    void messageBoxStartsEmptyAndSendsOnlyWhatWasTyped() {
        QLineEdit *box = m_form->MessageText();
        QPushButton *send = m_form->SendMessageButton();
        QCOMPARE(box->text(), QString());
        QVERIFY(!box->placeholderText().isEmpty());
        QVERIFY(!send->isEnabled());
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClicks(box, QStringLiteral("  "));
        QVERIFY(!send->isEnabled());
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(sent(), QStringList());
        QTest::keyClicks(box, QStringLiteral("Hello"));
        QVERIFY(send->isEnabled());
        QTest::keyClick(box, Qt::Key_Return);
        QTest::mouseClick(send, Qt::LeftButton);
        QCOMPARE(sent(), (QStringList{"MESSAGE   Hello", "MESSAGE   Hello"}));
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QVERIFY(!send->isEnabled());
    }

    void programsSliderMovesSendNothingTheUsersDo() {
        m_link->link.telnet.Channels[1].LastReply = QStringLiteral("VOL=20");
        m_link->link.decoder.DecodeReturn();
        m_link->link.view.flush();
        QCOMPARE(m_form->VolumeAdjuster()->value(), 20);
        QCOMPARE(m_form->ScrollVolumeLabel()->text(), QStringLiteral("20"));
        QVERIFY(sent().isEmpty() && asked().isEmpty());

        // The user's move asks for the volume (the session steers it there); the program's did not.
        QList<int> requested;
        connect(m_panel.get(), &InfoPanel::volumeRequested, this, [&requested](int value) { requested << value; });
        m_form->VolumeAdjuster()->setFocus();
        QTest::keyClick(m_form->VolumeAdjuster(), Qt::Key_PageUp); // one page: 25
        QCOMPARE(requested, QList<int>{25});
        QCOMPARE(m_form->ScrollVolumeLabel()->text(), QStringLiteral("25"));

        // Keys step to where the radio can go and never round back to where they began; the
        // focus stays on the slider for the next key.
        QSlider *slider = m_form->VolumeAdjuster();
        for (const auto &[key, expected] : {std::pair{Qt::Key_Right, 30}, std::pair{Qt::Key_Left, 25},
                                            std::pair{Qt::Key_PageDown, 20}, std::pair{Qt::Key_End, 100}}) {
            requested.clear();
            QTest::keyClick(slider, key);
            QCOMPARE(requested, QList<int>{expected});
            QCOMPARE(slider->value(), expected);
            QCOMPARE(QApplication::focusWidget(), slider);
        }

        QTest::mouseDClick(m_form->ScrollVolumeLabel(), Qt::LeftButton);
        QCOMPARE(sent().last(), QStringLiteral("MUTE"));

        // Closed by the user it only hides; the program's close closes.
        QVERIFY(!m_form->close());
        QVERIFY(!m_form->isVisible());
        m_form->show();
        m_form->allowClose();
        QVERIFY(m_form->close());
    }

    // The macro list shows over the menu picture for a start, then gives the picture back.
    // A radio gone quiet: its last values stay readable but greyed, under a line saying since when.
    void goneRadioGreysTheValuesUntilItAnswers() {
        RadioView &view = m_link->link.view;
        view.DeviceVolume = QStringLiteral("20");
        view.InfoList = QStringList{"List - Updated", "pos=1 (1)"};
        view.InfoListEnabled = true;
        view.RadioOffline = true;
        view.OfflineSince = QStringLiteral("09:31:05");
        view.touch();
        view.flush();
        auto *offline = m_form->findChild<QLabel *>(QStringLiteral("Offline"));
        QVERIFY(offline && offline->isVisible());
        QCOMPARE(offline->text(), QStringLiteral("Radio offline since 09:31:05"));
        // With the reason of the last failed connection, and where to change the address.
        view.ConnectProblem = QStringLiteral("Cannot reach 10.77.0.5:8080: connection refused. Change it in Radio");
        view.touch();
        view.flush();
        QCOMPARE(offline->text(), QStringLiteral("Radio offline since 09:31:05. Cannot reach 10.77.0.5:8080: "
                                                 "connection refused. Change it in Radio"));
        QCOMPARE(m_form->DeviceVolume()->text(), QStringLiteral("20"));
        QVERIFY(!m_form->DeviceVolume()->isEnabled() && !m_form->InfoList()->isEnabled());
        view.RadioOffline = false;
        view.touch();
        view.flush();
        QVERIFY(!offline->isVisible());
        QVERIFY(m_form->DeviceVolume()->isEnabled() && m_form->InfoList()->isEnabled());
    }

    // The radio's debug lines end in CR LF; the box shows them with LF. Rendering the same
    // text again must leave the box alone (refilling it repainted it on every tick), and
    // hiding the panel puts its clock to sleep.
    void unchangedTextIsNotSetAgainAndAHiddenPanelsClockSleeps() {
        RadioView &view = m_link->link.view;
        int refills = 0;
        connect(m_form->DebugText(), &QPlainTextEdit::textChanged, this, [&refills] { ++refills; });
        view.DebugText = QStringLiteral("MINFO\r\nMenu=Main\r\n");
        view.touch();
        view.flush();
        QCOMPARE(refills, 1);
        QCOMPARE(m_form->DebugText()->toPlainText(), QStringLiteral("MINFO\nMenu=Main"));
        for (int tick = 0; tick < 3; ++tick) {
            m_panel->HalfSecondTick_Timer();
            view.touch();
            view.flush();
        }
        QCOMPARE(refills, 1);

        QVERIFY(m_panel->HalfSecondTick().isEnabled());
        m_form->hide();
        QVERIFY(!m_panel->HalfSecondTick().isEnabled());
        m_form->show();
        QVERIFY(m_panel->HalfSecondTick().isEnabled());
    }

    void macroListOverThePictureStartsTheMacroOfTheEntry() {
        m_macros.List.Entries = {MacroListEntry{QStringLiteral("Play jazz"), 3}};
        QListWidget *macros = m_form->MacroList();
        QVERIFY(!macros->isVisible());
        QTest::mousePress(m_form->CurrentMenuImage(), Qt::RightButton);
        int started = -1;
        connect(m_panel.get(), &InfoPanel::macroStartRequested, this, [&started](int macro) { started = macro; });
        press(macros, 0, Qt::LeftButton);
        QTest::mouseDClick(macros->viewport(), Qt::LeftButton, {}, macros->visualItemRect(macros->item(0)).center());
        QCOMPARE(started, 3);
        QVERIFY(!macros->isVisible() && m_form->CurrentMenuImage()->isVisible());
    }

    // By keys: the selection made with the arrows survives the list's refresh, and Enter or Space
    // runs the selected macro. A running macro has a Stop button beside its progress text.
    void macroListRunsByKeysAndARunningMacroHasAStopButton() {
        m_macros.List.Entries = {MacroListEntry{QStringLiteral("Play jazz"), 3},
                                 MacroListEntry{QStringLiteral("Play news"), 5},
                                 MacroListEntry{QStringLiteral("Mute"), 7}};
        QList<int> started;
        connect(m_panel.get(), &InfoPanel::macroStartRequested, this, [&started](int macro) { started << macro; });
        QListWidget *macros = m_form->MacroList();
        RadioView &view = m_link->link.view;
        for (const Qt::Key run : {Qt::Key_Return, Qt::Key_Space}) {
            m_panel->CurrentMenuImage_RightPress(false);
            QVERIFY(macros->isVisible());
            macros->setFocus();
            QTest::keyClick(macros, Qt::Key_Home);
            QTest::keyClick(macros, Qt::Key_Down);
            QCOMPARE(macros->currentRow(), 1);
            // The panel's refresh, as the clock's tick brings it.
            m_panel->HalfSecondTick_Timer();
            view.touch();
            view.flush();
            m_form->render();
            QCOMPARE(macros->currentRow(), 1);
            QTest::keyClick(macros, run);
            QCOMPARE(started.size(), run == Qt::Key_Return ? 1 : 2);
            QCOMPARE(started.last(), 5);
            QVERIFY(!macros->isVisible());
        }

        QPushButton *stop = m_form->MacroStopButton();
        QVERIFY(!stop->isVisible());
        m_form->setMacroLabel(QStringLiteral("3-OK"), QStringLiteral("Play news, Step: 1"), true, true);
        QVERIFY(stop->isVisible());
        int stops = 0;
        connect(m_panel.get(), &InfoPanel::macroStopRequested, this, [&stops] { ++stops; });
        stop->click();
        QCOMPARE(stops, 1);
        m_form->setMacroLabel(QString(), QString(), false, false);
        QVERIFY(!stop->isVisible());
    }
};

QTEST_MAIN(InfoFormTest)
#include "InfoFormTest.moc"
