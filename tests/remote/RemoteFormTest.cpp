#include "remote/RemoteForm.h"

#include "main_window/CommandList.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "remote/LayoutEditor.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteLayout.h"
#include "settings/INIFILES.h"
#include "settings/WidgetPlacement.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The remote window and the main window's editor group, rendering the logic and forwarding to it.
class RemoteFormTest : public QObject {
    Q_OBJECT

    struct Rig {
        FakePlatform platform;
        QTemporaryDir dir;
        INIFILES settings;
        RemoteLayout layout;
        LayoutEditor editor;
        RemoteControl control;
        RemoteForm form;
        WidgetPlacement placement;
        QStringList sent;

        Rig()
            : control(layout, editor, settings, platform.createTimer())
            , form(control)
            , placement(form, QStringLiteral("RemoteForm")) {
            settings.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
            control.setPlacedWindow(&placement);
            control.hooks.sendKey = [this](const QString &command) { sent << command; };
            const QDir data(qEnvironmentVariable("CV_TEST_DATA"));
            for (const char *file : {"remote1.txt", "remote1.png"}) {
                QFile::copy(data.filePath(QLatin1String(file)), dir.filePath(QLatin1String(file)));
            }
            layout.CurrentRemote = QStringLiteral("remote1");
        }

        // The middle of a command's rectangle in the window's picture control.
        QPoint middleOf(const QString &command) const {
            const RemoteButton &b = layout.RemoteButtons.at(size_t(FindButton(layout.RemoteButtons, command)));
            const QSize size = form.RemoteImage()->size();
            return QPoint(size.width() * (b.Left + b.Right) / 200, size.height() * (b.Top + b.Bottom) / 200);
        }
    };

private Q_SLOTS:
    void clicksOnTheDrawnRemoteSendItsKeysAtAnySize() {
        Rig rig;
        rig.control.Form_Load();
        rig.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.form));
        QCOMPARE(rig.form.windowTitle(), QStringLiteral("Remote Control"));
        // At its first size the window shows the drawn remote at its own size.
        QCOMPARE(rig.form.RemoteImage()->size(), rig.control.picture().size());
        QTest::mouseClick(rig.form.RemoteImage(), Qt::LeftButton, {}, rig.middleOf(QStringLiteral("VOLp")));
        rig.form.resize(500, 900);
        QTRY_COMPARE(rig.control.pictureSize(), QSizeF(rig.form.RemoteImage()->size()));
        QTest::mouseClick(rig.form.RemoteImage(), Qt::LeftButton, {}, rig.middleOf(QStringLiteral("POWER")));
        QCOMPARE(rig.sent, (QStringList{QStringLiteral("VOLp"), QStringLiteral("POWER")}));
        QCOMPARE(rig.form.statusPanel(2)->text(), QStringLiteral("rC= POWER"));
        QCOMPARE(rig.form.statusPanel(3)->toolTip(), QStringLiteral("Click to show and Hide the Info Frame"));
        QSignalSpy info(&rig.control, &RemoteControl::infoPanelRequested);
        QTest::mouseClick(rig.form.statusPanel(3), Qt::LeftButton);
        QCOMPARE(info.size(), 1);

        // Closed by hand it only hides; the program's close stores the place twice.
        rig.form.move(70, 90);
        QVERIFY(!rig.form.close());
        QVERIFY(rig.form.isHidden());
        rig.form.show();
        rig.form.closeByProgram();
        QVERIFY(rig.form.isHidden());
        const QString stored = rig.settings.ReadSetting(QStringLiteral("RemoteForm"), QStringLiteral("FC"), QString());
        QVERIFY(stored.endsWith(QStringLiteral(",500,900,")));
        QCOMPARE(rig.settings.ReadSetting(QStringLiteral("remote1"), QStringLiteral("FC"), QString()), stored);
    }

    void editorGroupRendersTheBoxesAndReportsKeys() {
        CommandList commands;
        ConfigForm form(commands);
        LayoutEditor editor;
        QVERIFY(!form.SetButton()->isEnabled());
        form.attachLayoutEditor(editor);
        QVERIFY(form.SetButton()->isEnabled());
        editor.ButtonLocations = {QStringLiteral("10"), QStringLiteral("20"), QString(), QString(), QString()};
        editor.FocusBox(1);
        QCOMPARE(form.ButtonLocations(0)->text(), QStringLiteral("10"));
        QCOMPARE(form.ButtonLocations(1)->palette().color(QPalette::Base), QColor(0, 255, 0));
        QCOMPARE(form.ButtonLocations(0)->palette().color(QPalette::Base), QColor(255, 255, 255));
        editor.StatusText = QStringLiteral("Saved remote1");
        editor.StaticPointer = true;
        editor.touch();
        QCOMPARE(form.LayoutStatus()->text(), QStringLiteral("Saved remote1"));
        QVERIFY(form.StaticPointer()->isChecked());

        QSignalSpy arrows(&form, &ConfigForm::layoutBoxArrow);
        QSignalSpy edits(&form, &ConfigForm::layoutBoxEdited);
        QTest::keyClick(form.ButtonLocations(2), Qt::Key_Up);
        QTest::keyClick(form.ButtonLocations(2), Qt::Key_7);
        QCOMPARE(arrows.size(), 1);
        QCOMPARE(arrows.at(0).at(0).toInt(), 2);
        QCOMPARE(arrows.at(0).at(1).toBool(), true);
        QCOMPARE(edits.size(), 1);
        QCOMPARE(edits.at(0).at(1).toString(), QStringLiteral("7"));
    }
};

QTEST_MAIN(RemoteFormTest)
#include "RemoteFormTest.moc"
