#include "display/DisplayForm.h"
#include "display/DisplayWindow.h"
#include "e2e/RadioRun.h"
#include "e2e/ShownLabels.h"
#include "keyboard/KeyboardGrid.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "remote/RemoteForm.h"
#include "remote/RemoteWindow.h"
#include "support/ChildWidget.h"

#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The keyboard working the remote and display windows of the real program, against the
// simulated radio: what each key sends, held keys, and typing on the radio's search screen.
class KeyboardEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

    static QStringList radioKeys() {
        return QStringLiteral("UP,DOWN,LEFT,RIGHT,OK,EXIT,HOME,POWER,STOP,PAUSE,RECORD,MUTE,VOLp,VOLm").split(u',');
    }

    // Started and answered: the poll has read the radio's screen once.
    static bool begin(RadioRun &run) {
        if (!run.begin()) {
            return false;
        }
        const QDeadlineTimer deadline(Patience);
        while (!run.sim.commandTexts().contains(QStringLiteral("MINFO")) && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return run.sim.commandTexts().contains(QStringLiteral("MINFO"));
    }

    static void send(QWidget *to, QEvent::Type type, int key, bool autoRepeat, const QString &text = QString(),
                     Qt::KeyboardModifiers modifiers = {}) {
        QKeyEvent event(type, key, modifiers, text, autoRepeat);
        QCoreApplication::sendEvent(to, &event);
    }
    // QTest's clicks know no media keys.
    static void click(QWidget *to, int key, Qt::KeyboardModifiers modifiers) {
        send(to, QEvent::KeyPress, key, false, QString(), modifiers);
        send(to, QEvent::KeyRelease, key, false, QString(), modifiers);
    }

private Q_SLOTS:
    // Each mapped key, typed into the remote window, reaches the radio as its one command, in
    // order; keys that map to nothing (letters, P without Ctrl, chords) send nothing.
    void eachKeyPressesItsOneRadioKey() {
        RadioRun run;
        QVERIFY(begin(run));
        RemoteForm &remote = run.program->remote().form();
        QVERIFY(remote.isVisible());
        struct Stroke {
            int key;
            Qt::KeyboardModifiers modifiers;
            const char *expected; // "" sends nothing
        };
        const Qt::KeyboardModifiers none, pad = Qt::KeypadModifier, ctrl = Qt::ControlModifier;
        // clang-format off
        const QList<Stroke> strokes = {
            {Qt::Key_A, none, ""}, {Qt::Key_Up, none, "UP"}, {Qt::Key_Down, none, "DOWN"},
            {Qt::Key_Left, none, "LEFT"}, {Qt::Key_Right, pad, "RIGHT"}, {Qt::Key_P, none, ""},
            {Qt::Key_Return, none, "OK"}, {Qt::Key_Enter, pad, "OK"}, {Qt::Key_Escape, none, "EXIT"},
            {Qt::Key_Backspace, none, "EXIT"}, {Qt::Key_Home, none, "HOME"}, {Qt::Key_Plus, Qt::ShiftModifier, "VOLp"},
            {Qt::Key_Plus, pad, "VOLp"}, {Qt::Key_Equal, none, "VOLp"}, {Qt::Key_Minus, none, "VOLm"},
            {Qt::Key_Minus, pad, "VOLm"}, {Qt::Key_Space, none, "PAUSE"}, {Qt::Key_M, none, "MUTE"},
            {Qt::Key_M, ctrl, ""}, {Qt::Key_Up, Qt::AltModifier, ""}, {Qt::Key_MediaTogglePlayPause, none, "PAUSE"},
            {Qt::Key_MediaStop, none, "STOP"}, {Qt::Key_MediaRecord, none, "RECORD"}, {Qt::Key_VolumeUp, none, "VOLp"},
            {Qt::Key_VolumeDown, none, "VOLm"}, {Qt::Key_VolumeMute, none, "MUTE"},
            {Qt::Key_P, ctrl | Qt::ShiftModifier, ""}, {Qt::Key_P, ctrl, "POWER"}, {Qt::Key_P, ctrl, "POWER"}};
        // clang-format on
        QStringList expected;
        for (const Stroke &stroke : strokes) {
            click(&remote, stroke.key, stroke.modifiers);
            if (*stroke.expected != 0) {
                expected << QLatin1String(stroke.expected);
                // Each key is in before the next goes: a key sent twice would show as the next.
                QTRY_COMPARE_WITH_TIMEOUT(run.logged(radioKeys()).size(), expected.size(), Patience);
                QCOMPARE(run.logged(radioKeys()), expected);
                QCOMPARE(remote.statusPanel(2)->text(), QStringLiteral("rC= ") + expected.last());
            }
        }
        QTRY_VERIFY_WITH_TIMEOUT(!run.program->link().telnet.hasLive(0), Patience);
        QCOMPARE(run.deliveryFault(radioKeys(), expected), QString());
        QVERIFY(run.sim.isPoweredOn());
    }

    // A held OK presses once however often the keyboard repeats it; a held volume key steps the
    // radio at the pace it answers, never with more than one press waiting, and stops at most
    // one step after the key is let go.
    void heldKeysDoNotFloodTheRadio() {
        RadioRun run;
        QVERIFY(begin(run));
        RemoteForm &remote = run.program->remote().form();
        Telnet &telnet = run.program->link().telnet;

        send(&remote, QEvent::KeyPress, Qt::Key_Return, false);
        for (int i = 0; i < 6; ++i) {
            send(&remote, QEvent::KeyRelease, Qt::Key_Return, true);
            send(&remote, QEvent::KeyPress, Qt::Key_Return, true);
            QCoreApplication::processEvents();
        }
        send(&remote, QEvent::KeyRelease, Qt::Key_Return, false);
        QTRY_VERIFY_WITH_TIMEOUT(!telnet.hasLive(0), Patience);
        QCOMPARE(run.logged(radioKeys()), QStringList{QStringLiteral("OK")});

        const int before = run.sim.volume();
        // The keyboard repeats a held key every 30 ms or so.
        int waitingAtMost = 0;
        QTimer repeat;
        repeat.setInterval(30);
        connect(&repeat, &QTimer::timeout, this, [&] {
            send(&remote, QEvent::KeyRelease, Qt::Key_Plus, true, QStringLiteral("+"));
            send(&remote, QEvent::KeyPress, Qt::Key_Plus, true, QStringLiteral("+"));
            waitingAtMost = std::max(waitingAtMost, int(telnet.pending(0).count(QStringLiteral("VOLp"))));
        });
        send(&remote, QEvent::KeyPress, Qt::Key_Plus, false, QStringLiteral("+"));
        waitingAtMost = int(telnet.pending(0).count(QStringLiteral("VOLp")));
        repeat.start();
        QTRY_VERIFY_WITH_TIMEOUT(run.sim.commandTexts().count(QStringLiteral("VOLp")) >= 3, Patience);
        repeat.stop();
        send(&remote, QEvent::KeyRelease, Qt::Key_Plus, false, QStringLiteral("+"));
        const qsizetype atRelease = run.logged({QStringLiteral("VOLp")}).size();
        QVERIFY(atRelease >= 3);
        QCOMPARE(waitingAtMost, 1);
        // A key pressed after the release comes after every step the held key queued.
        QTest::keyClick(&remote, Qt::Key_Down);
        QTRY_VERIFY_WITH_TIMEOUT(run.logged(radioKeys()).contains(QStringLiteral("DOWN")), Patience);
        const QStringList keys = run.logged(radioKeys());
        const qsizetype steps = keys.count(QStringLiteral("VOLp"));
        QVERIFY2(steps <= atRelease + 2, qPrintable(keys.join(u',')));
        QCOMPARE(keys.first(), QStringLiteral("OK"));
        QCOMPARE(keys.last(), QStringLiteral("DOWN"));
        QCOMPARE(keys.size(), steps + 2);
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.volume(), std::min<int>(100, before + 5 * int(steps)), Patience);
        QVERIFY2(run.extra().isEmpty(), qPrintable(run.extra().join(QLatin1Char(';'))));
    }

    // Keys to the display window take the radio to its search screen; there letters go into the
    // search box (M no longer mutes), Backspace erases and Enter searches, and the radio shows
    // what the box found. The search box itself keeps its keys.
    void typingOnTheSearchScreenSearches() {
        RadioRun run;
        QVERIFY(begin(run));
        ChildWidget<QPushButton>(run.program->mainWindow(), QStringLiteral("DisplayButton"))->click();
        DisplayForm &window = run.program->display().form();
        ScreenRenderer &screen = run.program->display().logic().screen;
        QLineEdit *box = window.SearchForText();
        QVERIFY(window.isVisible());
        QCOMPARE(run.sim.mainMenuItem(), 1);

        // Item 3 of the main menu is the search keyboard; a letter there sends nothing.
        QTest::keyClicks(&window, QStringLiteral("a"));
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Return}) {
            QTest::keyClick(&window, key);
        }
        QTRY_VERIFY_WITH_TIMEOUT(box->isVisible(), Patience);
        QCOMPARE(run.sim.screen(), 14);
        // The box took the focus; what it types stays there.
        QCOMPARE(window.focusWidget(), box);
        QTest::keyClicks(box, QStringLiteral("m"));
        QCOMPARE(box->text(), QStringLiteral("m"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString());

        // Keys that reach the window: typed into the box as it would have taken them.
        box->clearFocus();
        QTest::keyClicks(&window, QStringLiteral("Jm"));
        QCOMPARE(box->text(), QStringLiteral("jm"));
        QTest::keyClick(&window, Qt::Key_Backspace);
        QTest::keyClick(&window, Qt::Key_Backspace);
        QTest::keyClicks(&window, QStringLiteral("JAZZ"));
        QCOMPARE(box->text(), QStringLiteral("jazz"));
        QTest::keyClick(&window, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.screen(), 15, Patience);
        QCOMPARE(run.sim.searchText().toLower(), QStringLiteral("jazz"));
        QTRY_COMPARE_WITH_TIMEOUT(screen.Caption, QStringLiteral("Display Screen - stationlist"), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(ShownLabels(screen).contains(QStringLiteral("Smooth Jazz Nights")), Patience);
        QVERIFY(ShownLabels(screen).contains(QStringLiteral("Acid Jazz Cellar")));

        QStringList keys = QStringLiteral("RIGHT,RIGHT,OK").split(u',');
        keys += TypingKeys(QStringLiteral("jazz_"));
        QCOMPARE(run.deliveryFault(radioKeys(), keys), QString());
    }
};

QTEST_MAIN(KeyboardEndToEndTest)
#include "KeyboardEndToEndTest.moc"
