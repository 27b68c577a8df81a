// The display window repaints its screen and sets its title only when what it shows changed:
// the display tick and every reply ask it to render, mostly with nothing new.
#include "display/DisplayForm.h"

#include "display/DisplayControl.h"
#include "display/TestPictures.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "session/RadioSession.h"
#include "session/RadioView.h"
#include "skin/Skin.h"
#include "support/FakePlatform.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Counts the events of one kind that reach an object.
class EventCount : public QObject {
public:
    EventCount(QObject *watched, QEvent::Type type)
        : m_type(type) {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        count += event->type() == m_type;
        return false;
    }

private:
    QEvent::Type m_type;
};

} // namespace

class DisplayFormTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    FakePlatform m_platform;
    RadioSession m_session{m_platform, m_folder.path()};
    RadioState &m_state = m_session.state();
    SkinTables &m_skin = m_session.skin();
    RadioView &m_view = m_session.view();
    Telnet *m_telnet = &m_session.link().telnet;

    // Lets the window paint what it asked to paint.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

private Q_SLOTS:
    // The search box makes the window taller while it shows and gives that height back when it
    // goes, time after time; a window the user resized in between keeps the user's size.
    void theWindowGoesBackToItsSizeWhenTheSearchBoxGoes() {
        DisplayControl control(m_platform, m_session, m_folder.path());
        DisplayForm form(control, m_view);
        m_view.SearchBoxVisible = false;
        form.render();
        form.adjustSize();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QSize before = form.size();
        for (int round = 0; round < 2; ++round) {
            m_view.SearchBoxVisible = true;
            form.render();
            QVERIFY(form.SearchForText()->isVisible());
            QTRY_VERIFY(form.height() > before.height());
            QVERIFY(form.SearchForText()->geometry().bottom() < form.height());
            m_view.SearchBoxVisible = false;
            form.render();
            QVERIFY(!form.SearchForText()->isVisible());
            QTRY_COMPARE(form.size(), before);
        }
        m_view.SearchBoxVisible = true;
        form.render();
        const QSize users = form.size() + QSize(30, 40);
        form.resize(users);
        QTRY_COMPARE(form.size(), users);
        m_view.SearchBoxVisible = false;
        form.render();
        settle();
        QCOMPARE(form.size(), users);
    }

    // A screen reader hears the screen change (its name) and the list's selection move (the
    // row as the new focus), once per change, not on every tick.
    void screenReadersHearTheScreenAndTheSelectionChange() {
        QVERIFY(SavePicture(m_folder.filePath(QStringLiteral("bg.png")), {320, 240}, QColor(20, 20, 20)));
        ParseScreenFile(m_skin, QStringLiteral("[home]\r\nB=,,bg,,\r\nI=lst\r\n[next]\r\nB=,,bg,,\r\n"
                                               "[Labels_lst]\r\nL=5,100,%INFO,,\r\nL=5,T20,%INFO,,\r\n"
                                               "L=5,T20,%INFO,,\r\n"));
        m_view.InfoList = QStringList{QStringLiteral("List"), QStringLiteral("1=Jazz FM"), QStringLiteral("2=Rock FM")};
        m_view.InfoListEnabled = true;
        m_view.InfoListIndex = 1;
        DisplayControl control(m_platform, m_session, m_folder.path());
        DisplayForm form(control, m_view);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // What screen readers are told: each event's kind and the name of its object, as the
        // window tells them after each change it paints.
        QList<QPair<QAccessible::Event, QString>> told;
        DisplayAnnouncer announcer([&told](QAccessibleEvent &event) {
            QAccessibleInterface *object = event.accessibleInterface();
            told << qMakePair(event.type(), object != nullptr ? object->text(QAccessible::Name) : QString());
        });
        connect(&control, &DisplayControl::changed, &form, [&] { announcer.announce(*form.BackGround(), control); });
        control.DisplayScreen(QStringLiteral("home"));
        settle();
        QAccessibleInterface *screen = QAccessible::queryAccessibleInterface(form.BackGround());
        QCOMPARE(screen->text(QAccessible::Name), QStringLiteral("Radio display: home"));
        QVERIFY(told.contains(qMakePair(QAccessible::NameChanged, QStringLiteral("Radio display: home"))));
        QVERIFY(told.contains(qMakePair(QAccessible::Focus, QStringLiteral("Jazz FM"))));
        told.clear();
        for (int tick = 0; tick < 3; ++tick) {
            control.RefreshDisplays();
            form.render();
            settle();
        }
        QCOMPARE(told.size(), 0);
        m_view.InfoListIndex = 2;
        control.RefreshDisplays();
        settle();
        QCOMPARE(told, (QList<QPair<QAccessible::Event, QString>>{{QAccessible::Focus, QStringLiteral("Rock FM")}}));
        QCOMPARE(QAccessible::queryAccessibleInterface(&form)->role(), QAccessible::Window);
    }

    // On the search keyboard's screen, Enter in the search box sends the word as "." does
    // (its letters, then the end mark), and leaves the word in the box.
    void enterInTheSearchBoxSearchesAsTheDotDoes() {
        DisplayControl control(m_platform, m_session, m_folder.path());
        DisplayForm form(control, m_view);
        m_state.MenuState = QStringLiteral("14");
        m_view.SearchBoxVisible = true;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.render();
        QLineEdit *box = form.SearchForText();
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("Ab."));
        const QStringList byDot = m_telnet->toGo();
        QVERIFY(!byDot.isEmpty());
        QCOMPARE(box->text(), QStringLiteral("ab"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(m_telnet->toGo(), byDot + byDot);
        // Held down, Enter searches once.
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
        QCoreApplication::sendEvent(box, &repeat);
        // So do the "." and "_" that start it.
        for (const QString &mark : {QStringLiteral("."), QStringLiteral("_")}) {
            QKeyEvent held(QEvent::KeyPress, mark == u"." ? Qt::Key_Period : Qt::Key_Underscore, Qt::NoModifier, mark,
                           true);
            QCoreApplication::sendEvent(box, &held);
        }
        QCOMPARE(m_telnet->toGo(), byDot + byDot);
        QCOMPARE(box->text(), QStringLiteral("ab"));
        // Also with the cursor inside the word.
        box->setCursorPosition(1);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_telnet->toGo(), byDot + byDot + byDot);
        QCOMPARE(box->text(), QStringLiteral("ab"));

        // The box keeps the keys it takes (M types, "+" is dropped); those it passes on reach
        // the window, which presses their radio keys.
        m_telnet->ClearChannel(0);
        QTest::keyClick(box, Qt::Key_M);
        QTest::keyClick(box, Qt::Key_Plus);
        QCOMPARE(box->text(), QStringLiteral("abm"));
        QVERIFY(m_telnet->toGo().isEmpty());
        QTest::keyClick(box, Qt::Key_Up);
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(m_telnet->toGo(), QStringList({QStringLiteral("UP"), QStringLiteral("QXDELAY"), QStringLiteral("EXIT"),
                                                QStringLiteral("QXDELAY")}));
        // Without the box M mutes.
        m_telnet->ClearChannel(0);
        m_view.SearchBoxVisible = false;
        form.render();
        QVERIFY(!box->isVisible());
        QTest::keyClick(&form, Qt::Key_M);
        QCOMPARE(m_telnet->toGo(), QStringList({QStringLiteral("MUTE"), QStringLiteral("QXDELAY")}));
    }

    void unchangedScreensAreNotRepaintedAndChangedOnesAre() {
        QVERIFY(SavePicture(m_folder.filePath(QStringLiteral("bg.png")), {320, 240}, QColor(20, 20, 20)));
        QVERIFY(SavePicture(m_folder.filePath(QStringLiteral("bg2.png")), {320, 240}, QColor(90, 90, 90)));
        ParseScreenFile(m_skin, QStringLiteral("[home]\r\nB=,,bg,,\r\nI=lst\r\n[next]\r\nB=,,bg2,,\r\n"
                                               "[Labels_lst]\r\nL=5,100,%INFO,,\r\nL=5,T20,%MIN,,\r\n"));
        m_platform.fakeWallClock.set(QDateTime(QDate(2024, 3, 9), QTime(9, 58, 10)));
        DisplayControl control(m_platform, m_session, m_folder.path());
        control.DisplayScreen(QStringLiteral("home"));
        DisplayForm form(control, m_view);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        settle();
        QCOMPARE(form.windowTitle(), QStringLiteral("Display Screen - home"));

        EventCount paints(form.BackGround(), QEvent::Paint);
        EventCount titles(&form, QEvent::WindowTitleChange);
        // Display ticks and view changes with nothing new for the screen.
        for (int tick = 0; tick < 5; ++tick) {
            control.RefreshDisplays();
            form.render();
            settle();
        }
        QCOMPARE(paints.count, 0);
        QCOMPARE(titles.count, 0);

        // A new entry in a shown list, a new minute, another screen: painted, the title only
        // when it changes.
        m_view.InfoList = QStringList{QStringLiteral("1=Jazz FM")};
        control.RefreshDisplays();
        settle();
        QVERIFY(paints.count > 0);
        paints.count = 0;
        m_platform.fakeWallClock.set(m_platform.fakeWallClock.now().addSecs(60));
        control.RefreshDisplays();
        settle();
        QVERIFY(paints.count > 0);
        QCOMPARE(titles.count, 0);
        control.DisplayScreen(QStringLiteral("next"));
        settle();
        QCOMPARE(form.windowTitle(), QStringLiteral("Display Screen - next"));
        QCOMPARE(titles.count, 1);

        // A radio that stops answering veils the screen: a view change, not a screen change.
        paints.count = 0;
        m_view.RadioOffline = true;
        m_view.OfflineSince = QStringLiteral("09:31:05");
        form.render();
        settle();
        QVERIFY(paints.count > 0);
        QCOMPARE(form.windowTitle(), QStringLiteral("Display Screen - next (Offline since 09:31:05)"));
        paints.count = 0;
        form.render();
        settle();
        QCOMPARE(paints.count, 0);
    }
};

QTEST_MAIN(DisplayFormTest)
#include "DisplayFormTest.moc"
