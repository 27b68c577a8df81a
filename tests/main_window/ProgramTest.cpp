#include "app/Program.h"

#include "app/Version.h"
#include "console/ConsoleWindow.h"
#include "display/DisplayWindow.h"
#include "e2e/FilledFolder.h"
#include "finder/FirstContact.h"
#include "finder/FirstRunDialog.h"
#include "info_panel/InfoForm.h"
#include "info_panel/InfoWindow.h"
#include "keyboard/KeyMap.h"
#include "macros/MacroForm.h"
#include "macros/MacroWindow.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "remote/LayoutEditorPanel.h"
#include "remote/RemoteForm.h"
#include "remote/RemoteWindow.h"
#include "session/LinkHealthLook.h"
#include "settings/LinkHealthBadge.h"
#include "support/ChildWidget.h"
#include "support/FakePlatform.h"
#include "support/RoomySize.h"
#include "update/UpdateForm.h"
#include "update/UpdateGroup.h"
#include "update/UpdateWindow.h"

#include <QAbstractSocket>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <functional>

// Start-up, use and close of the whole program in a temporary program folder.
class ProgramTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The settings file cannot be replaced (a folder stands in its name): at the user's close the
    // main window stays and says why until the user has read it; SIGTERM ends at once. Either
    // way the terminal view and stderr name what was not saved.
    void aFailedSaveIsToldBeforeTheWindowGoesAndASignalEndsAtOnce() {
        for (const bool byUser : {true, false}) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("CVRemote.ini")));
            FakePlatform platform;
            Program program(platform, dir.path());
            int ended = 0;
            connect(&program, &Program::ended, this, [&] { ++ended; });
            QVERIFY(program.start());
            ConfigForm &form = program.mainWindow();
            auto *url = ChildWidget<QLineEdit>(form, QStringLiteral("txtUrl"));
            url->clear();
            QTest::keyClicks(url, QStringLiteral("127.0.0.2"));
            QPlainTextEdit *terminal = ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"));
            if (byUser) {
                form.close();
                QVERIFY(form.isVisible());
                QCOMPARE(ended, 0);
                auto *box = form.findChild<QMessageBox *>();
                QVERIFY(box != nullptr);
                QVERIFY2(box->informativeText().contains(QStringLiteral("[General] RaidoURL")),
                         qPrintable(box->informativeText()));
                QVERIFY(terminal->toPlainText().contains(QStringLiteral("Settings not saved")));
                box->accept();
                QCOMPARE(ended, 1);
                QVERIFY(!form.isVisible());
            } else {
                program.Terminate();
                QCOMPARE(ended, 1);
                QVERIFY(form.findChild<QMessageBox *>() == nullptr);
            }
            QVERIFY(QFileInfo(dir.filePath(QStringLiteral("CVRemote.ini"))).isDir());
        }
    }

    void terminalSecondCopyAndCloseSavingTheSettingsInOrder() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program program(platform, dir.path());
        int ended = 0;
        connect(&program, &Program::ended, this, [&] { ++ended; });
        QVERIFY(program.start());
        ConfigForm &form = program.mainWindow();
        QCOMPARE(form.windowTitle(), MainCaption());

        // The terminal shows the last 20000 characters.
        RadioView &view = program.link().view;
        QVERIFY(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("0000000001111111111")));
        QString replies;
        for (int i = 0; i < 3750; ++i) {
            const QString reply = QStringLiteral("VOL=%1\r\n").arg(i % 100, 2, 10, QLatin1Char('0'));
            replies += reply;
            view.appendTerminal(reply);
            view.flush();
        }
        QString expected = replies.right(20000);
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->toPlainText(), expected);
        QCOMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->textCursor().position(),
                 expected.size());
        QVERIFY(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->isReadOnly());
        QVERIFY(!view.editTerminal(QStringLiteral("typed")));
        // Unlocked, the view may be edited by hand; the next reply lands after the edit.
        ChildWidget<QCheckBox>(form, QStringLiteral("UnLockTextBox"))->click();
        QVERIFY(!ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->isReadOnly());
        QTest::keyClicks(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData")), QStringLiteral("hi"));
        view.appendTerminal(QStringLiteral("OK\r\n"));
        view.flush();
        QVERIFY(view.TelnetData.endsWith(QStringLiteral("VOL=49\r\nhiOK\r\n")));
        QCOMPARE(view.TelnetData.size(), 20000);
        ChildWidget<QCheckBox>(form, QStringLiteral("UnLockTextBox"))->click();
        QVERIFY(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->isReadOnly());
        QTest::mouseDClick(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->viewport(), Qt::LeftButton);
        QCOMPARE(view.TelnetData, QString());
        QCOMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->toPlainText(), QString());
        // The hint box takes the link's colour (blue, green, red from low to high byte).
        view.HoldOnColour = 65280;
        view.touch();
        view.flush();
        QCOMPARE(ChildWidget<QLineEdit>(form, QStringLiteral("HoldOn"))->palette().color(QPalette::Text),
                 QColor(0, 255, 0));

        // A second copy beeps and ends, and the first one's main window comes to the front,
        // un-minimised. The first runs on and nothing is saved.
        QCOMPARE(program.startNotice(), QString());
        form.showMinimized();
        QVERIFY(form.isMinimized());
        Program second(platform, dir.path());
        int secondBeeps = 0;
        connect(&second, &Program::secondCopyRefused, this, [&] { ++secondBeeps; });
        QVERIFY(!second.start());
        QCOMPARE(secondBeeps, 1);
        QVERIFY(second.startNotice().startsWith(QStringLiteral("CV Remote is already running")));
        QTRY_VERIFY_WITH_TIMEOUT(!form.isMinimized(), 5000);
        QVERIFY(form.isVisible());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("CVRemote.ini"))));

        // Unticked, "Update Display Labels" waits the poll time of the power state; ticked, it polls at once.
        program.state().poll.RadioStandby = true;
        ChildWidget<QCheckBox>(form, QStringLiteral("UpdateDisplayLabels"))->click();
        QCOMPARE(program.state().poll.PollCountdown, program.timeouts().PollWhenOff);
        ChildWidget<QCheckBox>(form, QStringLiteral("UpdateDisplayLabels"))->click();
        QCOMPARE(program.state().poll.PollCountdown, 0);
        ChildWidget<QLineEdit>(form, QStringLiteral("txtUrl"))->setText(QStringLiteral("127.0.0.1"));
        ChildWidget<QLineEdit>(form, QStringLiteral("txtPort"))->setText(QStringLiteral("18080"));
        ChildWidget<QCheckBox>(form, QStringLiteral("KeepAsConnected"))->setChecked(true);
        ChildWidget<QCheckBox>(form, QStringLiteral("Auto21Backout"))->setChecked(false);
        form.move(40, 60);
        const QSize formSize = RoomySize(form, QSize(1200, 760));
        form.resize(formSize);
        program.info().form().move(900, 70);
        const QSize infoSize = RoomySize(program.info().form(), QSize(700, 650));
        program.info().form().resize(infoSize);
        program.Close(); // as on a termination signal
        QCOMPARE(ended, 1);
        QVERIFY(!form.isVisible());
        form.close(); // a second request changes nothing
        QCOMPARE(ended, 1);
        QFile ini(dir.filePath(QStringLiteral("CVRemote.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        // CR LF line ends; blank lines between sections do not matter.
        QString saved = QString::fromLatin1(ini.readAll()).replace(QRegularExpression("(\r\n)+"), "|");
        // The remote window stores its place for itself and again for its layout.
        const QRegularExpression remote(QStringLiteral("\\[RemoteForm\\]\\|FC=([0-9.,]+)\\|\\[remote1\\]\\|FC=\\1\\|"));
        QVERIFY(saved.contains(remote));
        // The windows' places are saved as they change, so their sections come in the order the
        // windows were first moved; the main window's keys come first.
        saved.remove(remote);
        for (const QString &place :
             {QStringLiteral("[InfoForm]|FC=70,900,%1,%2,|").arg(infoSize.width()).arg(infoSize.height()),
              QStringLiteral("[ConfigForm]|FC=60,40,%1,%2,|").arg(formSize.width()).arg(formSize.height())}) {
            QVERIFY2(saved.contains(place), qPrintable(saved));
            saved.remove(place);
        }
        QCOMPARE(saved,
                 QStringLiteral("[General]|LastRemote=remote1|RaidoURL=127.0.0.1|RaidoPORT=18080|KeepConnected=1|"
                                "AutoRefresh=1|Auto21Exit=0|UnLock=0|"));
    }

    // The remote window's third status panel brings the information panel back: shown when
    // closed, restored (and kept maximised when it was) when minimised.
    void remotesStatusPanelRestoresTheInformationPanel() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program program(platform, dir.path());
        QVERIFY(program.start());
        InfoForm &info = program.info().form();
        program.remote().show();
        const auto clickPanel3 = [&program] {
            QTest::mouseClick(program.remote().form().statusPanel(3), Qt::LeftButton);
        };
        QVERIFY(info.isVisible());
        info.close();
        QVERIFY(!info.isVisible());
        clickPanel3();
        QVERIFY(info.isVisible());
        info.showMinimized();
        QVERIFY(info.isMinimized());
        clickPanel3();
        QVERIFY(info.isVisible());
        QVERIFY(!info.isMinimized());
        info.showMaximized();
        info.setWindowState(info.windowState() | Qt::WindowMinimized);
        clickPanel3();
        QVERIFY(!info.isMinimized());
        QVERIFY(info.isMaximized());
    }

    // The main window, the remote and the information panel show whether the radio answers with
    // one mark and the same words: connecting at first, offline a few seconds after its
    // connections began to be refused, and back to answering at its first reply.
    void everyWindowShowsWhetherTheRadioAnswersAlike() {
        QTemporaryDir dir;
        QVERIFY(FillProgramFolder(dir.path(), 8080));
        FakePlatform platform;
        platform.fakeWallClock.set(QDateTime(QDate(2026, 12, 8), QTime(5, 37, 29)));
        Program program(platform, dir.path());
        QVERIFY(program.start());
        program.remote().show();
        const std::array<LinkHealthBadge *, 3> badges{program.mainWindow().linkHealth(),
                                                      program.remote().form().linkHealth(),
                                                      program.info().form().linkHealth()};
        // What each window shows: the words, the tool tip, and whether its mark has the colour of
        // the state and its words a readable one.
        const auto shownAlike = [&badges](LinkHealth health, const QString &text) {
            for (const LinkHealthBadge *badge : badges) {
                const QColor background = badge->palette().color(badge->backgroundRole());
                const auto *words = ChildWidget<QLabel>(*badge, QStringLiteral("HealthWords"));
                if (!badge->isVisible() || !ChildWidget<QWidget>(*badge, QStringLiteral("HealthMark"))->isVisible() ||
                    words->text() != text || badge->toolTip() != badges[0]->toolTip() ||
                    badge->markColour() != LinkHealthColoursOn(health, background).mark ||
                    ContrastRatio(badge->wordsColour(), background) < 4.5) {
                    qWarning() << badge->window()->objectName() << words->text() << badge->toolTip();
                    return false;
                }
            }
            return true;
        };
        QVERIFY(shownAlike(LinkHealth::NotYetAnswered, QStringLiteral("Connecting to 127.0.0.1:8080…")));

        const auto run = [&platform](qint64 ms, const std::function<void(FakeTcpSocket &)> &radio) {
            for (qint64 i = 0; i < ms; ++i) {
                for (FakeTcpSocket *socket : platform.sockets) {
                    radio(*socket);
                }
                platform.fakeClock.advance(1);
            }
        };
        run(5000, [](FakeTcpSocket &socket) {
            if (socket.state == TcpSocket::sckConnecting) {
                socket.fail(int(QAbstractSocket::ConnectionRefusedError), QStringLiteral("Connection refused"));
            }
        });
        QVERIFY(shownAlike(LinkHealth::Offline, QStringLiteral("Radio offline since 05:37:29: connection refused")));
        QVERIFY(badges[1]->toolTip().contains(QStringLiteral("Change it in Radio > Radio Address...")));
        // The remote keeps its pointer panels beside the mark.
        QVERIFY(program.remote().form().statusPanel(1)->isVisible());

        platform.fakeWallClock.set(QDateTime(QDate(2026, 12, 8), QTime(5, 38, 2)));
        run(1500, [](FakeTcpSocket &socket) {
            if (socket.state == TcpSocket::sckConnecting) {
                socket.acceptConnection();
            } else if (socket.state == TcpSocket::sckConnected && !socket.sent.isEmpty()) {
                socket.completeSends();
                socket.sent.clear();
                socket.receive(QStringLiteral("STATE=ON\r\n"));
                socket.peerClose();
            }
        });
        QVERIFY(shownAlike(LinkHealth::Answers, QStringLiteral("Radio answers")));
        QVERIFY(badges[2]->toolTip().startsWith(QStringLiteral("Radio answers (last reply 05:38:02)")));
    }

    // What was open stays open: the display window when it was on screen as the program closed,
    // and the terminal's "UnLock" box (the view editable, and the link told so).
    void displayWindowAndUnlockBoxSurviveARestart() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        const auto unlockBox = [](Program &program) {
            return ChildWidget<QCheckBox>(program.mainWindow(), QStringLiteral("UnLockTextBox"));
        };
        const auto terminal = [](Program &program) {
            return ChildWidget<QPlainTextEdit>(program.mainWindow(), QStringLiteral("TelnetData"));
        };
        {
            Program program(platform, dir.path());
            QVERIFY(program.start());
            QVERIFY(!program.display().form().isVisible());
            QVERIFY(!unlockBox(program)->isChecked());
            QVERIFY(terminal(program)->isReadOnly());
            ChildWidget<QPushButton>(program.mainWindow(), QStringLiteral("DisplayButton"))->click();
            QVERIFY(program.display().form().isVisible());
            unlockBox(program)->click();
            program.Close();
        }
        {
            Program program(platform, dir.path());
            QVERIFY(program.start());
            QVERIFY(program.display().form().isVisible());
            QVERIFY(unlockBox(program)->isChecked());
            QVERIFY(!terminal(program)->isReadOnly());
            QVERIFY(program.link().view.TerminalUnlocked);
            // Closed by the user, untick the box: both stay so.
            program.display().form().close();
            QVERIFY(!program.display().form().isVisible());
            unlockBox(program)->click();
            program.Close();
        }
        Program program(platform, dir.path());
        QVERIFY(program.start());
        QVERIFY(!program.display().form().isVisible());
        QVERIFY(!unlockBox(program)->isChecked());
        QVERIFY(terminal(program)->isReadOnly());
        QVERIFY(!program.link().view.TerminalUnlocked);
    }

    // The View menu opens what the old gestures open, by menu and by its shortcuts, also with
    // the focus in one of the main window's text boxes.
    void viewMenuAndItsShortcutsOpenTheWindows() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program program(platform, dir.path());
        QVERIFY(program.start());
        ConfigForm &form = program.mainWindow();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const auto action = [&form](const char *name) { return ChildWidget<QAction>(form, QString::fromLatin1(name)); };
        QMenu *view = ChildWidget<QMenu>(form, QStringLiteral("ViewMenu"));
        QCOMPARE(view->title(), QStringLiteral("&View"));
        const QList<QAction *> actions = view->actions();
        QCOMPARE(std::count_if(actions.begin(), actions.end(), [](QAction *a) { return !a->isSeparator(); }), 8);
        // Keys arrive where the user's focus is: in the command box.
        QLineEdit *box = ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText"));
        box->setFocus();
        const auto press = [box](QKeyCombination key) { QTest::keyClick(box, key.key(), key.keyboardModifiers()); };

        QVERIFY(!program.display().form().isVisible());
        press(Qt::CTRL | Qt::Key_D);
        QVERIFY(program.display().form().isVisible());
        QCOMPARE(box->text(), QString()); // nothing typed or deleted in the box

        InfoForm &info = program.info().form();
        info.showMinimized();
        QVERIFY(!program.link().view.MacroListVisible);
        press(Qt::CTRL | Qt::Key_M);
        QVERIFY(!info.isMinimized());
        QVERIFY(program.link().view.MacroListVisible);
        QCOMPARE(info.focusWidget(), info.MacroList()); // the arrows pick a macro at once
        info.close();
        program.info().logic().MacroList_RightPress(); // the list closed again
        action("ViewMacros")->trigger();
        QVERIFY(info.isVisible());
        QVERIFY(program.link().view.MacroListVisible);

        QVERIFY(!program.consoleWindow()->form().isVisible());
        press(Qt::CTRL | Qt::Key_T);
        QVERIFY(program.consoleWindow()->form().isVisible());

        QVERIFY(!program.updateWindow()->form().isVisible());
        action("ViewCheckForUpdates")->trigger();
        QVERIFY(program.updateWindow()->form().isVisible());

        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        box->setFocus();
        QSignalSpy reloads(&program, &Program::skinReloaded);
        press(QKeyCombination(Qt::Key_F5));
        QCOMPARE(reloads.size(), 1);
        press(Qt::CTRL | Qt::Key_R);
        QCOMPARE(reloads.size(), 2);
        action("ViewReload")->trigger();
        QCOMPARE(reloads.size(), 3);
        // Every shortcut is one action's.
        QList<QKeySequence> keys;
        for (QAction *a : view->actions() + ChildWidget<QMenu>(form, QStringLiteral("HelpMenu"))->actions()) {
            keys += a->shortcuts();
        }
        QCOMPARE(QSet<QKeySequence>(keys.begin(), keys.end()).size(), keys.size());
    }

    // The menus' shortcuts work from every window of the program, not only from the main window;
    // the menus bring back closed windows, F1 shows the keyboard's keys, the About box names the
    // version, the licence and the program folder, Esc closes the Updates window, and Ctrl+Q in
    // any window closes the program as the main window's close does, settings saved.
    void menusAndShortcutsWorkFromEveryWindow() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program program(platform, dir.path());
        int ended = 0;
        connect(&program, &Program::ended, this, [&] { ++ended; });
        QVERIFY(program.start());
        ConfigForm &form = program.mainWindow();
        program.display().show();
        program.macroWindow().show();
        program.consoleWindow()->show();
        program.updateWindow()->show();
        const QList<QWidget *> windows{&program.remote().form(),         &program.info().form(),
                                       &program.display().form(),        &program.macroWindow().form(),
                                       &program.consoleWindow()->form(), &program.updateWindow()->form()};
        const auto pressIn = [](QWidget *window, QKeyCombination key) {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr && focus->window() == window ? focus : window, key.key(),
                            key.keyboardModifiers());
        };
        QSignalSpy display(&form, &ConfigForm::displayRequested);
        QSignalSpy macros(&form, &ConfigForm::macrosRequested);
        QSignalSpy console(&form, &ConfigForm::consoleRequested);
        QSignalSpy keys(&form, &ConfigForm::keyboardKeysRequested);
        QSignalSpy reload(&form, &ConfigForm::reloadRequested);
        for (qsizetype i = 0; i < windows.size(); ++i) {
            QWidget *window = windows[i];
            for (const QKeyCombination key : {Qt::CTRL | Qt::Key_D, Qt::CTRL | Qt::Key_M, Qt::CTRL | Qt::Key_T,
                                              QKeyCombination(Qt::Key_F1), QKeyCombination(Qt::Key_F5)}) {
                pressIn(window, key);
            }
            const QString where = window->objectName();
            QVERIFY2(display.size() == i + 1, qPrintable(where));
            QVERIFY2(macros.size() == i + 1, qPrintable(where));
            QVERIFY2(console.size() == i + 1, qPrintable(where));
            QVERIFY2(keys.size() == i + 1, qPrintable(where));
            QVERIFY2(reload.size() == i + 1, qPrintable(where));
        }
        // F1 shows what the remote window's "?" shows.
        QMessageBox *keysHelp = program.remote().form().keysHelp();
        QVERIFY(keysHelp != nullptr && keysHelp->isVisible());
        QCOMPARE(keysHelp->text(), KeyboardHelpText());

        const auto action = [&form](const char *name) { return ChildWidget<QAction>(form, QString::fromLatin1(name)); };
        program.remote().form().close();
        program.info().form().close();
        QVERIFY(!program.remote().form().isVisible() && !program.info().form().isVisible());
        action("ViewRemote")->trigger();
        QVERIFY(program.remote().form().isVisible());
        action("ViewInformation")->trigger();
        QVERIFY(program.info().form().isVisible());

        QVERIFY(form.aboutBox() == nullptr);
        action("HelpAbout")->trigger();
        QVERIFY(form.aboutBox() != nullptr && form.aboutBox()->isVisible());
        const QString about = form.aboutBox()->text();
        QVERIFY2(about.contains(VersionString()) && about.contains(QStringLiteral("MIT licence")) &&
                     about.contains(QDir(dir.path()).absolutePath()),
                 qPrintable(about));
        QCOMPARE(form.aboutBox()->textFormat(), Qt::PlainText); // a folder's name is not markup
        form.aboutBox()->close();

        // Esc in the Updates window, also with the focus in its text.
        UpdateForm &updates = program.updateWindow()->form();
        QVERIFY(updates.isVisible());
        updates.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&updates));
        QTest::keyClick(updates.RawTexta(), Qt::Key_Escape);
        QVERIFY(!updates.isVisible());

        ChildWidget<QLineEdit>(form, QStringLiteral("txtPort"))->setText(QStringLiteral("18081"));
        pressIn(&program.info().form(), Qt::CTRL | Qt::Key_Q);
        QCOMPARE(ended, 1);
        QVERIFY(!form.isVisible());
        QFile ini(dir.filePath(QStringLiteral("CVRemote.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromLatin1(ini.readAll()).contains(QStringLiteral("RaidoPORT=18081")));
    }

    // A first start (no settings file) opens the first-run dialog beside the windows, without
    // holding them up. Find looks only in the networks it is given (loopback here, on fake
    // sockets), a double click on the radio found takes it: the link goes there and the console,
    // following the radio, too. The Radio menu opens the dialog again; with a settings file it
    // does not come by itself.
    void firstStartFindsTheRadioAndTakesItWithOnePick() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        {
            Program program(platform, dir.path());
            program.setFinderNetworks(
                [] { return QList<Ipv4Network>{ParseFindNetwork(QStringLiteral("127.0.0.0/30")).network}; });
            QVERIFY(program.start());
            FirstRunDialog *dialog = program.firstRunDialog();
            QVERIFY(dialog != nullptr);
            QVERIFY(dialog->isVisible());
            QVERIFY(!dialog->isModal());
            QVERIFY(program.mainWindow().isVisible());
            QCOMPARE(ChildWidget<QLineEdit>(*dialog, QStringLiteral("RadioHost"))->text(),
                     QStringLiteral("192.168.1.119"));

            const size_t before = platform.sockets.size();
            ChildWidget<QPushButton>(*dialog, QStringLiteral("FindRadios"))->click();
            QTRY_COMPARE(platform.sockets.size(), before + 2); // 127.0.0.1 and 127.0.0.2, nothing else
            QTRY_COMPARE(platform.sockets.back()->host, QStringLiteral("127.0.0.2"));
            for (size_t i = before; i < platform.sockets.size(); ++i) {
                QVERIFY(platform.sockets[i]->host.startsWith(QStringLiteral("127.0.0.")));
            }
            FakeTcpSocket &radio = *platform.sockets[before + 1];
            QCOMPARE(radio.host, QStringLiteral("127.0.0.2"));
            platform.sockets[before]->refuseConnection();
            radio.acceptConnection(QStringLiteral("127.0.0.2"));
            radio.receive(QStringLiteral("VER=3.1.7\r\n"));
            QListWidget *found = ChildWidget<QListWidget>(*dialog, QStringLiteral("FoundRadios"));
            QTRY_COMPARE(found->count(), 1);
            QVERIFY(found->item(0)->text().startsWith(QStringLiteral("127.0.0.2:8080")));
            QVERIFY(found->item(0)->text().contains(QStringLiteral("3.1.7")));

            Q_EMIT found->itemActivated(found->item(0)); // a double click
            QVERIFY(!dialog->isVisible());
            QCOMPARE(ChildWidget<QLineEdit>(program.mainWindow(), QStringLiteral("txtUrl"))->text(),
                     QStringLiteral("127.0.0.2"));
            QCOMPARE(program.session().linkOptions().host, QStringLiteral("127.0.0.2"));
            QCOMPARE(program.ini().ReadSetting(QStringLiteral("General"), QStringLiteral("ConsoleAddress"), QString()),
                     QStringLiteral("127.0.0.2"));
            QCOMPARE(
                program.ini().ReadSetting(QStringLiteral("General"), QStringLiteral("ConsoleFollowsRadio"), QString()),
                QStringLiteral("1"));
            // Typed in the main window later, the radio's host takes the console along.
            ChildWidget<QLineEdit>(program.mainWindow(), QStringLiteral("txtUrl"))
                ->setText(QStringLiteral("127.0.0.3"));
            QCOMPARE(program.ini().ReadSetting(QStringLiteral("General"), QStringLiteral("ConsoleAddress"), QString()),
                     QStringLiteral("127.0.0.3"));

            ChildWidget<QAction>(program.mainWindow(), QStringLiteral("RadioAddressAction"))->trigger();
            QVERIFY(dialog->isVisible());
            QCOMPARE(ChildWidget<QLineEdit>(*dialog, QStringLiteral("RadioHost"))->text(), QStringLiteral("127.0.0.3"));
            // Closed, it takes nothing.
            ChildWidget<QLineEdit>(*dialog, QStringLiteral("RadioHost"))->setText(QStringLiteral("127.0.0.9"));
            dialog->close();
            QCOMPARE(program.session().linkOptions().host, QStringLiteral("127.0.0.3"));
            program.Close();
        }
        QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("CVRemote.ini"))));
        Program again(platform, dir.path());
        QVERIFY(again.start());
        QVERIFY(!again.firstRunDialog()->isVisible());
        again.Close();
    }

    // The first start, no window placed yet: the main window, the remote and the information
    // panel stand on the main window's screen, left to right in that order and sharing one top;
    // side by side and centred when they fit, otherwise the main window keeps the area's left
    // edge and the panel reaches its right edge. None lies off the area where its size allows.
    void theFirstStartLinesTheWindowsUpOnTheScreen() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(FillProgramFolder(dir.path(), 9)); // the remote's picture; nothing is sent on fake sockets
        FakePlatform platform;
        Program program(platform, dir.path());
        QVERIFY(program.start());
        QVERIFY(program.mainWindow().screen() != nullptr);
        const QRect area = program.mainWindow().screen()->availableGeometry();
        QList<QRect> frames;
        for (const QWidget *window :
             {static_cast<QWidget *>(&program.mainWindow()), static_cast<QWidget *>(&program.remote().form()),
              static_cast<QWidget *>(&program.info().form())}) {
            QVERIFY(window->isVisible());
            frames << window->frameGeometry();
        }
        const auto where = [&frames, &area] {
            QStringList text{
                QStringLiteral("area %1,%2 %3x%4").arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height())};
            for (const QRect &f : frames) {
                text << QStringLiteral("%1,%2 %3x%4").arg(f.x()).arg(f.y()).arg(f.width()).arg(f.height());
            }
            return text.join(QStringLiteral("; "));
        };
        for (const QRect &frame : frames) {
            if (frame.width() <= area.width()) {
                QVERIFY2(frame.left() >= area.left() && frame.right() <= area.right(), qPrintable(where()));
            } else {
                QVERIFY2(frame.left() == area.left(), qPrintable(where()));
            }
            if (frame.height() <= area.height()) {
                QVERIFY2(frame.top() >= area.top() && frame.bottom() <= area.bottom(), qPrintable(where()));
            } else {
                QVERIFY2(frame.top() == area.top(), qPrintable(where()));
            }
            QVERIFY2(frame.top() == frames[0].top(), qPrintable(where()));
        }
        QVERIFY2(frames[0].left() <= frames[1].left() && frames[1].left() < frames[2].left(), qPrintable(where()));
        if (!frames[0].intersects(frames[1]) && !frames[0].intersects(frames[2])) {
            const int leftMargin = frames[0].left() - area.left(), rightMargin = area.right() - frames[2].right();
            QVERIFY2(std::abs(leftMargin - rightMargin) <= 1, qPrintable(where()));
        } else {
            QVERIFY2(frames[0].left() == area.left() && frames[2].right() == area.right(), qPrintable(where()));
        }
    }

    // Places saved on a monitor that is gone (beyond every screen there is now): each window
    // comes up with its title bar on a screen that is there.
    void windowsSavedOnAMonitorThatIsGoneComeUpOnAScreenThatIsThere() {
        QRect desktop;
        for (const QScreen *screen : QGuiApplication::screens()) {
            desktop |= screen->geometry();
        }
        const QString gone =
            QStringLiteral("FC=%1,%2,500,400,\r\n").arg(desktop.top() + 100).arg(desktop.right() + 2000);
        QString places;
        for (const char *section : {"ConfigForm", "RemoteForm", "remote1", "InfoForm"}) {
            places += QStringLiteral("[%1]\r\n").arg(QLatin1String(section)) + gone;
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(FillProgramFolder(dir.path(), 9, places));
        FakePlatform platform;
        Program program(platform, dir.path());
        QVERIFY(program.start());
        for (const QWidget *window :
             {static_cast<QWidget *>(&program.mainWindow()), static_cast<QWidget *>(&program.remote().form()),
              static_cast<QWidget *>(&program.info().form())}) {
            QVERIFY(window->isVisible());
            const QRect frame = window->frameGeometry();
            const QString where = window->objectName() + QStringLiteral(" at %1,%2").arg(frame.x()).arg(frame.y());
            const QScreen *on = QGuiApplication::screenAt(frame.topLeft());
            QVERIFY2(on != nullptr, qPrintable(where));
            const QRect area = on->availableGeometry();
            QVERIFY2(area.contains(frame.topLeft()), qPrintable(where));
            QVERIFY2(frame.right() <= area.right() || frame.width() > area.width(), qPrintable(where));
        }
    }

    // The panel's volume slider worked by keys through the real session: each key steers the radio
    // to the slider's new value, the slider keeps the focus (and the next key) while the radio has
    // not answered, and a step taken while keys are still on their way counts from where they lead,
    // not from a volume the radio reports on its way there.
    void volumeSliderByKeysSteersTheRadioAndKeepsTheFocus() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program program(platform, dir.path());
        QVERIFY(program.start());
        RadioLink &link = program.link();
        const auto report = [&link](const char *reply) {
            link.telnet.Channels[1].LastReply = QString::fromLatin1(reply);
            link.decoder.DecodeReturn();
            link.view.flush();
        };
        report("VOL=20");
        InfoForm &info = program.info().form();
        QSlider *slider = info.VolumeAdjuster();
        QCOMPARE(slider->value(), 20);
        info.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&info));
        slider->setFocus();
        link.telnet.ClearChannel(0);
        const QString Q = QStringLiteral("QXDELAY");
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(slider->value(), 25);
        QCOMPARE(link.telnet.toGo(), (QStringList{"VOLp", Q}));
        QVERIFY(slider->isEnabled() && slider->hasFocus());
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(slider->value(), 30);
        QCOMPARE(link.telnet.toGo(), (QStringList{"VOLp", Q, "VOLp", Q}));
        // The radio tells of the first key; the second is still to go.
        report("VOL=25");
        QCOMPARE(slider->value(), 25);
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(slider->value(), 35);
        QCOMPARE(link.telnet.toGo(), (QStringList{"VOLp", Q, "VOLp", Q, "VOLp", Q}));
        QVERIFY(slider->hasFocus());
    }

    // A main-menu icon of the display queues what a double click on its entry in the panel's
    // main-menu list queues, once for a double click; the display stays on the menu, as the
    // radio has not answered yet.
    void displayMenuIconsQueueWhatThePanelsMenuListDoes() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(FillProgramFolder(dir.path(), 9)); // the skin; nothing is sent on fake sockets
        FakePlatform platform;
        Program program(platform, dir.path());
        QVERIFY(program.start());
        program.state().MenuState = QStringLiteral("5"); // now playing; the menu's cursor on entry 1
        program.state().SelectedMenuItem = QStringLiteral("1");
        DisplayControl &display = program.display().logic();
        display.DisplayScreen(QStringLiteral("main"));
        program.display().show();
        QWidget *screen = program.display().form().BackGround();
        Telnet &telnet = program.link().telnet;
        telnet.ClearChannel(0);
        // A user's double click, as Qt delivers it: the double click comes in place of the
        // second press.
        const QPoint recordings = display.screen.OverlayImages.at(1).Rect().center();
        QTest::mousePress(screen, Qt::LeftButton, {}, recordings);
        QTest::mouseRelease(screen, Qt::LeftButton, {}, recordings);
        QTest::mouseDClick(screen, Qt::LeftButton, {}, recordings);
        QTest::mouseRelease(screen, Qt::LeftButton, {}, recordings);
        const QStringList byIcon = telnet.toGo();
        QCOMPARE(byIcon, QStringLiteral("HOME,QXDELAY,RIGHT,QXDELAY,OK,QXDELAY").split(u','));
        QCOMPARE(display.screen.Caption, QStringLiteral("Display Screen - main2"));

        telnet.ClearChannel(0);
        program.info().show();
        QListWidget *menu = program.info().form().MainMenuList();
        QCOMPARE(menu->item(2)->text(), QStringLiteral("Recordings"));
        const QPoint row = menu->visualItemRect(menu->item(2)).center();
        QTest::mouseClick(menu->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(menu->viewport(), Qt::LeftButton, {}, row);
        QCOMPARE(telnet.toGo(), byIcon);
    }

    // Every request a window makes of the rest of the program is answered: one nobody listens
    // to would do nothing, silently. Disconnecting a signal tells whether anything listened.
    void everyRequestOfTheWindowsIsAnswered() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        FakePlatform platform;
        Program program(platform, dir.path());
        QVERIFY(program.start());
#define ANSWERED(sender, signal) QVERIFY2(QObject::disconnect(sender, signal, nullptr, nullptr), #signal)
        const ConfigForm *main = &program.mainWindow();
        ANSWERED(main, &ConfigForm::urlEdited);
        ANSWERED(main, &ConfigForm::portEdited);
        ANSWERED(main, &ConfigForm::connectClicked);
        ANSWERED(main, &ConfigForm::disconnectClicked);
        ANSWERED(main, &ConfigForm::retryClicked);
        ANSWERED(main, &ConfigForm::keepConnectedToggled);
        ANSWERED(main, &ConfigForm::autoRefreshToggled);
        ANSWERED(main, &ConfigForm::autoRefreshClicked);
        ANSWERED(main, &ConfigForm::auto21BackoutToggled);
        ANSWERED(main, &ConfigForm::displayRequested);
        ANSWERED(main, &ConfigForm::macrosRequested);
        ANSWERED(main, &ConfigForm::consoleRequested);
        ANSWERED(main, &ConfigForm::updateCheckRequested);
        ANSWERED(main, &ConfigForm::reloadRequested);
        ANSWERED(main, &ConfigForm::terminalUnlockToggled);
        ANSWERED(main, &ConfigForm::sendCommand);
        ANSWERED(main, &ConfigForm::terminalCleared);
        ANSWERED(main, &ConfigForm::terminalEdited);
        ANSWERED(main, &ConfigForm::statusPanelClicked);
        ANSWERED(main, &ConfigForm::functionFramesDoubleClicked);
        ANSWERED(main, &ConfigForm::unloading);
        const LayoutEditorPanel *editor = &program.mainWindow().layoutEditor();
        ANSWERED(editor, &LayoutEditorPanel::layoutChosen);
        ANSWERED(editor, &LayoutEditorPanel::boxEdited);
        ANSWERED(editor, &LayoutEditorPanel::boxFocused);
        ANSWERED(editor, &LayoutEditorPanel::boxArrow);
        ANSWERED(editor, &LayoutEditorPanel::setClicked);
        ANSWERED(editor, &LayoutEditorPanel::saveClicked);
        ANSWERED(editor, &LayoutEditorPanel::reloadClicked);
        ANSWERED(editor, &LayoutEditorPanel::showPointerClicked);
        ANSWERED(editor, &LayoutEditorPanel::staticPointerClicked);
        ANSWERED(&program.mainWindow().updateGroup(), &UpdateGroup::checkRequested);
        const InfoPanel *panel = &program.info().logic();
        ANSWERED(panel, &InfoPanel::volumeRequested);
        ANSWERED(panel, &InfoPanel::macroStartRequested);
        ANSWERED(panel, &InfoPanel::macroStopRequested);
        ANSWERED(panel, &InfoPanel::macroShowRequested);
        ANSWERED(panel, &InfoPanel::displayRequested);
        ANSWERED(panel, &InfoPanel::currentMenuNamed);
        const DisplayControl *display = &program.display().logic();
        ANSWERED(display, &DisplayControl::infoListOpened);
        ANSWERED(display, &DisplayControl::metaListOpened);
        ANSWERED(display, &DisplayControl::mainMenuEntryOpened);
        ANSWERED(&program.remote().logic(), &RemoteControl::infoPanelRequested);
#undef ANSWERED
    }
};

QTEST_MAIN(ProgramTest)
#include "ProgramTest.moc"
