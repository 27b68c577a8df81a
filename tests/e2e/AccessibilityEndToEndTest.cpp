#include "console/ConsoleWindow.h"
#include "display/DisplayForm.h"
#include "display/DisplayWindow.h"
#include "e2e/RadioRun.h"
#include "macros/MacroWindow.h"
#include "main_window/ConfigForm.h"
#include "main_window/FoldingGroup.h"
#include "remote/RemoteForm.h"
#include "remote/RemoteWindow.h"
#include "session/RadioSession.h"
#include "session/RadioStatus.h"
#include "update/UpdateWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTextEdit>

namespace {

// The child of an accessible object with this name and role, or null.
QAccessibleInterface *childNamed(QAccessibleInterface *parent, const QString &name, QAccessible::Role role) {
    for (int i = 0; parent != nullptr && i < parent->childCount(); ++i) {
        QAccessibleInterface *child = parent->child(i);
        if (child != nullptr && child->role() == role && child->text(QAccessible::Name) == name) {
            return child;
        }
    }
    return nullptr;
}

bool press(QAccessibleInterface *object) {
    if (object == nullptr || object->actionInterface() == nullptr) {
        return false;
    }
    object->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    return true;
}

// The controls a user works (fields, lists, buttons, sliders, boxes) under an accessible
// object that a screen reader would announce without a name, as "window > role" paths.
void collectUnnamed(QAccessibleInterface *object, const QString &path, QStringList &unnamed) {
    static const QList<QAccessible::Role> controls{
        QAccessible::EditableText, QAccessible::List,     QAccessible::Slider,     QAccessible::Button,
        QAccessible::CheckBox,     QAccessible::ComboBox, QAccessible::SpinBox,    QAccessible::RadioButton,
        QAccessible::Table,        QAccessible::Tree,     QAccessible::StaticText, QAccessible::Graphic};
    if (object == nullptr || object->state().invisible) {
        return;
    }
    const QString here = path + u'>' + QString::number(object->role(), 16);
    if (controls.contains(object->role()) && object->role() != QAccessible::StaticText &&
        object->text(QAccessible::Name).trimmed().isEmpty()) {
        QObject *o = object->object();
        unnamed << here + u' ' +
                       (o != nullptr ? o->objectName() + u'/' + QLatin1String(o->metaObject()->className())
                                     : QStringLiteral("?"));
    }
    for (int i = 0; i < object->childCount(); ++i) {
        collectUnnamed(object->child(i), here, unnamed);
    }
}

// A widget's place for a test's message: its window, its name and its class.
QString whereIs(const QWidget *widget) {
    return widget->window()->objectName() + u'/' + widget->objectName() + u'/' +
           QLatin1String(widget->metaObject()->className());
}

// The controls of a window a mouse can use: buttons, boxes, fields, lists, sliders, texts to
// select from, tabs, and the pictures that take clicks (the remote, the radio's screen).
QList<QWidget *> mouseControls(QWidget *window, const QList<QWidget *> &pictures) {
    QList<QWidget *> controls;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window) || !w->isEnabled() || w->window() != window) {
            continue;
        }
        // Parts of a larger control, which the keyboard works through that control.
        if (qobject_cast<QScrollBar *>(w) != nullptr || qobject_cast<QComboBox *>(w->parentWidget()) != nullptr ||
            qobject_cast<QAbstractSpinBox *>(w->parentWidget()) != nullptr ||
            qobject_cast<QTabBar *>(w->parentWidget()) != nullptr) {
            continue;
        }
        const auto *group = qobject_cast<QGroupBox *>(w);
        if (qobject_cast<QAbstractButton *>(w) != nullptr || qobject_cast<QLineEdit *>(w) != nullptr ||
            qobject_cast<QComboBox *>(w) != nullptr || qobject_cast<QAbstractSpinBox *>(w) != nullptr ||
            qobject_cast<QAbstractSlider *>(w) != nullptr || qobject_cast<QAbstractItemView *>(w) != nullptr ||
            qobject_cast<QTextEdit *>(w) != nullptr || qobject_cast<QPlainTextEdit *>(w) != nullptr ||
            qobject_cast<QTabBar *>(w) != nullptr || (group != nullptr && group->isCheckable()) ||
            pictures.contains(w)) {
            controls << w;
        }
    }
    return controls;
}

// Whether the focus ring is drawn at a control's left edge (on its outermost pixels or just
// outside them), half way down.
bool ringShown(QWidget *control) {
    const QImage window = control->window()->grab().toImage();
    const QPoint at = control->mapTo(control->window(), QPoint(0, control->height() / 2));
    const QColor ring = control->palette().color(QPalette::Active, QPalette::Highlight);
    for (int x = at.x() - 4; x <= at.x(); ++x) {
        if (window.valid(x, at.y()) && window.pixelColor(x, at.y()) == ring) {
            return true;
        }
    }
    return false;
}

// The widgets Tab brings the focus to in a window, from where it starts, until it comes round.
// Of the panes, pictures and links among them, those that show no focus ring while they have the
// focus, or still show it once it has gone, are added to the faults.
QList<QWidget *> tabRound(QWidget *window, const QList<QWidget *> &pictures, QStringList &faults) {
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        faults << whereIs(window) + QStringLiteral(": never active");
        return {};
    }
    QList<QWidget *> reached;
    for (int i = 0; i < 400; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (focus == nullptr || focus->window() != window || reached.contains(focus)) {
            break;
        }
        reached << focus;
        const bool ringed = qobject_cast<QAbstractScrollArea *>(focus) != nullptr ||
                            qobject_cast<QLabel *>(focus) != nullptr || pictures.contains(focus);
        if (ringed && !ringShown(focus)) {
            faults << whereIs(focus) + QStringLiteral(": no focus ring");
        }
        // The ring is drawing, not an object for a screen reader.
        const QAccessibleInterface *object = QAccessible::queryAccessibleInterface(focus);
        for (int c = 0; object != nullptr && c < object->childCount(); ++c) {
            const QObject *child = object->child(c)->object();
            if (child != nullptr && child->objectName() == QStringLiteral("FocusRing")) {
                faults << whereIs(focus) + QStringLiteral(": its focus ring is read out");
            }
        }
        QTest::keyClick(focus, Qt::Key_Tab);
        if (ringed && QApplication::focusWidget() != focus && ringShown(focus)) {
            faults << whereIs(focus) + QStringLiteral(": focus ring stays");
        }
    }
    return reached;
}

} // namespace

// A screen reader's user drives the radio through the accessible objects of the remote and the
// display alone, against the simulated radio, whose log judges what reached it.
class AccessibilityEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

private Q_SLOTS:
    void volumeStationsAndAStationByAccessibleObjectsAlone() {
        RadioRun run;
        QVERIFY(run.begin());
        // The windows' icon comes at every size, also twice the usual for high-resolution screens.
        const QList<QSize> iconSizes = QGuiApplication::windowIcon().availableSizes();
        for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(64, 64), QSize(256, 256)}) {
            QVERIFY(iconSizes.contains(size));
        }
        QAccessibleInterface *keys = QAccessible::queryAccessibleInterface(run.program->remote().form().RemoteImage());
        QVERIFY(keys != nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(run.program->session().status().volume.value_or(-1), run.sim.volume(), Patience);
        const int volume = run.sim.volume();

        QVERIFY(press(childNamed(keys, QStringLiteral("Volume up"), QAccessible::Button)));
        QTRY_VERIFY_WITH_TIMEOUT(run.sim.volume() > volume, Patience);

        run.program->display().show();
        QAccessibleInterface *screen =
            QAccessible::queryAccessibleInterface(run.program->display().form().BackGround());
        QVERIFY(screen != nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(screen->text(QAccessible::Name), QStringLiteral("Radio display: Main Menu"),
                                  Patience);
        QAccessibleInterface *stations = childNamed(screen, QStringLiteral("Stations"), QAccessible::Button);
        QVERIFY(stations != nullptr);
        QVERIFY(press(stations));
        QTRY_COMPARE_WITH_TIMEOUT(screen->text(QAccessible::Name), QStringLiteral("Radio display: Station List"),
                                  Patience);
        // The list's rows are read out, the one under the radio's cursor selected.
        QAccessibleInterface *selected = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (int i = 0; i < screen->childCount(); ++i) {
                    QAccessibleInterface *row = screen->child(i);
                    if (row->role() == QAccessible::ListItem && row->state().selected) {
                        selected = row;
                        return true;
                    }
                }
                return false;
            }(),
            Patience);
        const QString station = selected->text(QAccessible::Name);
        QVERIFY(!station.isEmpty());
        QVERIFY(press(childNamed(keys, QStringLiteral("OK"), QAccessible::Button)));
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.playerStatus().toLower(), QStringLiteral("playing"), Patience);

        // Every control of every window has a name.
        run.program->macroWindow().show();
        run.program->consoleWindow()->show();
        run.program->updateWindow()->show();
        for (FoldingGroup *group : run.program->mainWindow().findChildren<FoldingGroup *>()) {
            group->setOpen(true);
        }
        QStringList unnamed;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) {
                collectUnnamed(QAccessible::queryAccessibleInterface(window), window->windowTitle(), unnamed);
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));

        // Each press reached the radio once: the volume key, the OK that opened the menu's
        // entry under its cursor (Stations), the remote's OK.
        const QStringList sent{QStringLiteral("VOLp"), QStringLiteral("OK"), QStringLiteral("OK")};
        QCOMPARE(run.deliveryFault(QStringLiteral("VOLp,OK,UP,DOWN").split(u','), sent), QString());
    }

    // Every window is a window with a title to a screen reader; Tab alone reaches every control
    // of it a mouse can use, and lists, text panes and pictures show a ring while they have
    // the focus.
    void tabReachesEveryControlOfEveryWindow() {
        RadioRun run;
        QVERIFY(run.begin());
        QTRY_VERIFY_WITH_TIMEOUT(run.program->session().status().volume.has_value(), Patience);
        run.program->display().show();
        run.program->macroWindow().show();
        run.program->consoleWindow()->show();
        run.program->updateWindow()->show();
        for (FoldingGroup *group : run.program->mainWindow().findChildren<FoldingGroup *>()) {
            group->setOpen(true);
        }
        const QList<QWidget *> pictures{run.program->remote().form().RemoteImage(),
                                        run.program->display().form().BackGround()};
        QStringList faults;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!window->isVisible()) {
                continue;
            }
            QAccessibleInterface *object = QAccessible::queryAccessibleInterface(window);
            if (object->role() != QAccessible::Window && object->role() != QAccessible::Dialog) {
                faults << whereIs(window) + QStringLiteral(": role ") + QString::number(object->role(), 16);
            }
            if (object->text(QAccessible::Name).trimmed().isEmpty() || window->windowTitle().isEmpty()) {
                faults << whereIs(window) + QStringLiteral(": no title");
            }
            const QList<QWidget *> reached = tabRound(window, pictures, faults);
            for (QWidget *control : mouseControls(window, pictures)) {
                if (!reached.contains(control)) {
                    faults << whereIs(control) + QStringLiteral(": not reached by Tab");
                }
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_MAIN(AccessibilityEndToEndTest)
#include "AccessibilityEndToEndTest.moc"
