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

#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QIcon>

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
};

QTEST_MAIN(AccessibilityEndToEndTest)
#include "AccessibilityEndToEndTest.moc"
