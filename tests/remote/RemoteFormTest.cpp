// The remote window and the main window's editor group, rendering the logic and forwarding to it.
#include "remote/RemoteForm.h"

#include "keyboard/KeyMap.h"
#include "RecordedRemoteActions.h"
#include "remote/LayoutEditor.h"
#include "remote/LayoutEditorPanel.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteLayout.h"
#include "settings/INIFILES.h"
#include "settings/WidgetPlacement.h"
#include "support/ChildWidget.h"
#include "support/FakePlatform.h"
#include "support/RoomySize.h"
#include "support/ScaleOfTheRun.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <cmath>

namespace {

// Where the remote's picture belongs in the window's picture control: scaled by the one factor
// that fits it, centred.
QRectF drawnPicture(const QWidget &control, QSizeF picture) {
    const QSizeF shown = picture * std::min(control.width() / picture.width(), control.height() / picture.height());
    return QRectF(QPointF((control.width() - shown.width()) / 2, (control.height() - shown.height()) / 2), shown);
}

// The middle of a command's rectangle in the window's picture control.
QPoint middleOfKey(const RemoteForm &form, const RemoteControl &control, const RemoteLayout &layout,
                   const char *command) {
    const RemoteButton &b = layout.RemoteButtons.at(size_t(FindButton(layout.RemoteButtons, command)));
    const QRectF drawn = drawnPicture(*form.RemoteImage(), control.picture().size());
    return (drawn.topLeft() +
            QPointF(drawn.width() * (b.Left + b.Right) / 200, drawn.height() * (b.Top + b.Bottom) / 200))
        .toPoint();
}

} // namespace

class RemoteFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A screen reader finds every key of the picture as a named button where it is drawn, and
    // pressing one through the accessibility interface sends its command once, as a click does.
    void screenReadersFindAndPressTheKeys() {
        FakePlatform platform;
        QTemporaryDir dir;
        INIFILES settings;
        settings.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
        const QDir data(qEnvironmentVariable("CV_TEST_DATA"));
        for (const QString &file :
             {QStringLiteral("remote1.txt"), QStringLiteral("remote1.png"), QStringLiteral("remote1@2x.png")}) {
            QVERIFY(QFile::copy(data.filePath(file), dir.filePath(file)));
        }
        RemoteLayout layout;
        LayoutEditor editor;
        RemoteControl control(layout, editor, settings, platform.createTimer());
        RemoteForm form(control);
        RecordedRemoteActions actions;
        control.setActions(actions);
        layout.CurrentRemote = QStringLiteral("remote1");
        control.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        // High-resolution screens get the remote drawn at twice the size.
        QCOMPARE(control.sharpPicture().size(), control.picture().size() * 2);
        QAccessibleInterface *picture = QAccessible::queryAccessibleInterface(form.RemoteImage());
        QVERIFY(picture != nullptr);
        QCOMPARE(picture->text(QAccessible::Name), QStringLiteral("Remote control keys"));
        QCOMPARE(picture->childCount(), 14);
        const QRect shown(form.RemoteImage()->mapToGlobal(QPoint(0, 0)), form.RemoteImage()->size());
        QStringList names;
        QAccessibleInterface *volumeUp = nullptr;
        for (int i = 0; i < picture->childCount(); ++i) {
            QAccessibleInterface *key = picture->child(i);
            QVERIFY(key != nullptr && key->isValid());
            QCOMPARE(key->role(), QAccessible::Button);
            QCOMPARE(key->parent(), picture);
            QCOMPARE(picture->indexOfChild(key), i);
            QVERIFY(shown.contains(key->rect()));
            QCOMPARE(picture->childAt(key->rect().center().x(), key->rect().center().y()), key);
            names << key->text(QAccessible::Name);
            if (names.last() == QStringLiteral("Volume up")) {
                volumeUp = key;
            }
        }
        for (const char *name : {"Power", "OK", "Volume up", "Volume down", "Mute", "Exit", "Home", "Record"}) {
            QVERIFY2(names.contains(QLatin1String(name)), name);
        }
        QVERIFY(volumeUp != nullptr);
        QCOMPARE(volumeUp->text(QAccessible::Description), QStringLiteral("Keyboard: +"));
        QAccessibleActionInterface *action = volumeUp->actionInterface();
        QVERIFY(action != nullptr);
        QCOMPARE(action->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        QCOMPARE(action->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                 QStringList{QStringLiteral("+")});
        action->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(actions.sent, QStringList{QStringLiteral("VOLp")});
        QCOMPARE(actions.selected, QStringList{QStringLiteral("VOLp")});

        // The buttons follow the picture when the window is resized.
        const QRect before = volumeUp->rect();
        form.resize(form.size() + QSize(100, 100));
        QTRY_VERIFY(volumeUp->rect().width() > before.width());
        QVERIFY(QRect(form.RemoteImage()->mapToGlobal(QPoint(0, 0)), form.RemoteImage()->size())
                    .contains(volumeUp->rect()));
        // Where it says the key is, a click presses that key, also with the picture off the
        // control's corner (it keeps its proportions).
        actions.sent.clear();
        QTest::mouseClick(form.RemoteImage(), Qt::LeftButton, {},
                          form.RemoteImage()->mapFromGlobal(volumeUp->rect().center()));
        QCOMPARE(actions.sent, QStringList{QStringLiteral("VOLp")});
    }

    void clicksOnTheDrawnRemoteSendItsKeysAtAnySize() {
        FakePlatform platform;
        QTemporaryDir dir;
        INIFILES settings;
        settings.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
        const QDir data(qEnvironmentVariable("CV_TEST_DATA"));
        for (const QString &file :
             {QStringLiteral("remote1.txt"), QStringLiteral("remote1.png"), QStringLiteral("remote1@2x.png")}) {
            QVERIFY(QFile::copy(data.filePath(file), dir.filePath(file)));
        }
        RemoteLayout layout;
        LayoutEditor editor;
        RemoteControl control(layout, editor, settings, platform.createTimer());
        RemoteForm form(control);
        WidgetPlacement placement(form, QStringLiteral("RemoteForm"));
        control.setPlacedWindow(&placement);
        RecordedRemoteActions actions;
        control.setActions(actions);
        const QStringList &sent = actions.sent;
        layout.CurrentRemote = QStringLiteral("remote1");
        const auto middleOf = [&](const char *command) { return middleOfKey(form, control, layout, command); };

        control.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), QStringLiteral("Remote Control"));
        // At its first size the window shows the drawn remote at its own size.
        QCOMPARE(form.RemoteImage()->size(), control.picture().size());
        QCOMPARE(control.pictureSize(), QSizeF(control.picture().size()));
        // It is drawn for the screen's device pixels: where there are twice as many, with every
        // pixel of the double-size drawing (the edge, where a focus ring may go, left aside).
        const qreal ratio = ScaleOfTheRun();
        QCOMPARE(form.RemoteImage()->devicePixelRatioF(), ratio);
        const QImage drawn = form.RemoteImage()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(drawn.size(), (QSizeF(control.picture().size()) * ratio).toSize());
        if (ratio == 1 || ratio == 2) {
            const QImage file =
                QImage(data.filePath(ratio == 2 ? QStringLiteral("remote1@2x.png") : QStringLiteral("remote1.png")))
                    .convertToFormat(QImage::Format_RGB32);
            const QRect inner = drawn.rect().adjusted(6, 6, -6, -6);
            QVERIFY(drawn.copy(inner) == file.copy(inner));
        }
        QTest::mouseClick(form.RemoteImage(), Qt::LeftButton, {}, middleOf("VOLp"));
        const QSize size = RoomySize(form, QSize(500, 900));
        form.resize(size);
        // As tall as the control, in the picture's proportions.
        QTRY_COMPARE(control.pictureSize().height(), double(form.RemoteImage()->height()));
        QVERIFY(std::abs(control.pictureSize().height() * 280 / 720 - control.pictureSize().width()) < 1);
        QTest::mouseClick(form.RemoteImage(), Qt::LeftButton, {}, middleOf("POWER"));
        QCOMPARE(sent, (QStringList{QStringLiteral("VOLp"), QStringLiteral("POWER")}));
        QCOMPARE(form.statusPanel(2)->text(), QStringLiteral("rC= POWER"));

        // Cut shorter than its picture (as the placement does on a small screen), the window
        // shows the remote in its own shape between bands of background, and a click in the
        // middle of every key still presses that key.
        form.resize(form.width(), 690);
        QTRY_COMPARE(form.height(), 690);
        QWidget &shown = *form.RemoteImage();
        QTRY_COMPARE(control.pictureSize().height(), double(shown.height()));
        QVERIFY(shown.height() < 720 && control.pictureSize().width() < shown.width());
        QVERIFY(std::abs(shown.height() * 280.0 / 720 - control.pictureSize().width()) < 1);
        for (const RemoteButton &key : layout.RemoteButtons) {
            actions.sent.clear();
            QTest::mouseClick(&shown, Qt::LeftButton, {}, middleOf(key.Function.toLatin1().constData()));
            QCOMPARE(sent, QStringList{key.Function});
        }
        // The band beside the picture holds no key: a click there connects, as beside the keys.
        actions.sent.clear();
        QTest::mouseClick(&shown, Qt::LeftButton, {}, QPoint(1, shown.height() / 2));
        QVERIFY(sent.isEmpty());
        QCOMPARE(actions.connects, 1);
        // Shift and a click fill the editor's boxes with the click's place in percent of the
        // picture: the middle of POWER (5..12 by 67..84) is at 8 down and 75 across.
        editor.FocusBox(0);
        for (int box = 0; box < 3; ++box) {
            QTest::mouseClick(&shown, Qt::LeftButton, Qt::ShiftModifier, middleOf("POWER"));
        }
        QCOMPARE(editor.ButtonLocations[0], QStringLiteral("8"));
        QCOMPARE(editor.ButtonLocations[2], QStringLiteral("75"));
        QCOMPARE(form.statusPanel(3)->text(), PercentPanelText(8, 75));
        form.resize(size);
        QSignalSpy info(&control, &RemoteControl::infoPanelRequested);
        QTest::mouseClick(form.statusPanel(3), Qt::LeftButton);
        QCOMPARE(info.size(), 1);

        // A double click comes as Qt delivers it: press, release, double click, release. POWER,
        // MUTE and OK go once; the keys that repeat when held go twice.
        const auto doubleClick = [&](const char *command) {
            QTest::mouseClick(form.RemoteImage(), Qt::LeftButton, {}, middleOf(command));
            QTest::mouseDClick(form.RemoteImage(), Qt::LeftButton, {}, middleOf(command));
            QTest::mouseRelease(form.RemoteImage(), Qt::LeftButton, {}, middleOf(command));
        };
        actions.sent.clear();
        for (const char *command : {"POWER", "MUTE", "OK", "VOLp", "UP"}) {
            doubleClick(command);
        }
        QCOMPARE(sent, QStringLiteral("POWER,MUTE,OK,VOLp,VOLp,UP,UP").split(u','));
        actions.sent = QStringList{QStringLiteral("VOLp"), QStringLiteral("POWER")};

        // Keys reach the window as clicks; the buttons' tooltips and the Keys button name them.
        QTest::keyClick(&form, Qt::Key_Minus);
        QTest::keyClick(&form, Qt::Key_P);
        QCOMPARE(sent, (QStringList{QStringLiteral("VOLp"), QStringLiteral("POWER"), QStringLiteral("VOLm")}));
        QCOMPARE(form.statusPanel(2)->text(), QStringLiteral("rC= VOLm"));
        QHelpEvent tip(QEvent::ToolTip, middleOf("VOLm"), form.RemoteImage()->mapToGlobal(middleOf("VOLm")));
        QCoreApplication::sendEvent(form.RemoteImage(), &tip);
        QCOMPARE(QToolTip::text(), QStringLiteral("VOLm \u2014 key: -"));
        QVERIFY(form.keysButton()->isVisible());
        QVERIFY(form.keysHelp() == nullptr);
        form.keysButton()->click();
        QVERIFY(form.keysHelp()->isVisible());
        QCOMPARE(form.keysHelp()->text(), KeyboardHelpText());
        form.keysHelp()->close();

        // Closed by hand it only hides; the program's close stores the place twice.
        form.move(70, 90);
        QVERIFY(!form.close());
        QVERIFY(form.isHidden());
        form.show();
        form.closeByProgram();
        QVERIFY(form.isHidden());
        const QString stored = settings.ReadSetting(QStringLiteral("RemoteForm"), QStringLiteral("FC"), QString());
        QVERIFY(stored.endsWith(QStringLiteral(",%1,%2,").arg(size.width()).arg(size.height())));
        QCOMPARE(settings.ReadSetting(QStringLiteral("remote1"), QStringLiteral("FC"), QString()), stored);
    }

    void editorPanelRendersTheBoxesAndReportsKeys() {
        LayoutEditorPanel form;
        LayoutEditor editor;
        QVERIFY(!ChildWidget<QPushButton>(form, QStringLiteral("SetButton"))->isEnabled());
        form.attach(editor);
        QVERIFY(ChildWidget<QPushButton>(form, QStringLiteral("SetButton"))->isEnabled());
        editor.ButtonLocations = {QStringLiteral("10"), QStringLiteral("20"), QString(), QString(), QString()};
        editor.FocusBox(1);
        QCOMPARE(ChildWidget<QLineEdit>(form, QStringLiteral("ButtonLocations_0"))->text(), QStringLiteral("10"));
        QCOMPARE(ChildWidget<QLineEdit>(form, QStringLiteral("ButtonLocations_1"))->palette().color(QPalette::Base),
                 QColor(0, 255, 0));
        QCOMPARE(ChildWidget<QLineEdit>(form, QStringLiteral("ButtonLocations_0"))->palette().color(QPalette::Base),
                 QColor(255, 255, 255));
        editor.StatusText = QStringLiteral("Saved remote1");
        editor.StaticPointer = true;
        editor.touch();
        QCOMPARE(ChildWidget<QLabel>(form, QStringLiteral("LayoutStatus"))->text(), QStringLiteral("Saved remote1"));
        QVERIFY(ChildWidget<QCheckBox>(form, QStringLiteral("StaticPointer"))->isChecked());

        QSignalSpy arrows(&form, &LayoutEditorPanel::boxArrow);
        QSignalSpy edits(&form, &LayoutEditorPanel::boxEdited);
        QTest::keyClick(ChildWidget<QLineEdit>(form, QStringLiteral("ButtonLocations_2")), Qt::Key_Up);
        QTest::keyClick(ChildWidget<QLineEdit>(form, QStringLiteral("ButtonLocations_2")), Qt::Key_7);
        QCOMPARE(arrows, (QList<QVariantList>{{2, true}}));
        QCOMPARE(edits.size(), 1);
        QCOMPARE(edits.at(0).at(1).toString(), QStringLiteral("7"));

        // The layout list: the current one selected, a double click picks one by its name.
        form.setLayoutNames({QStringLiteral("remote1"), QStringLiteral("remote2")}, 1);
        QListWidget *list = ChildWidget<QListWidget>(form, QStringLiteral("RemoteList"));
        QCOMPARE(list->currentRow(), 1);
        QSignalSpy chosen(&form, &LayoutEditorPanel::layoutChosen);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QPoint first = list->visualItemRect(list->item(0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
        QCOMPARE(chosen, (QList<QVariantList>{{QStringLiteral("remote1")}}));
    }
};

QTEST_MAIN(RemoteFormTest)
#include "RemoteFormTest.moc"
