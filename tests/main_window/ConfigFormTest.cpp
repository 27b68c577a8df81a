#include "main_window/ConfigForm.h"

#include "main_window/CommandList.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

class ConfigFormTest : public QObject {
    Q_OBJECT

private:
    static QString eightEntries() {
        return QStringLiteral("POWER\r\nVOLp{}\r\nOK[]{}\r\nUP{}[]\r\nDOWN\r\nLEFT\r\nRIGHT\r\nEXIT\r\n");
    }

    static void doubleClickRow(QListView *view, int row) {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }

private Q_SLOTS:
    void searchKeysClicksAndDoubleClicksOnTheList() {
        CommandList commands;
        ConfigForm form(commands);
        commands.MakeList(eightEntries());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        commands.select(1);
        QCOMPARE(form.TheList()->currentIndex().row(), 1);
        QSignalSpy selections(&commands, &CommandList::selectionChanged);
        QTest::keyClick(form.Do_SearchText(), Qt::Key_PageDown);
        QCOMPARE(commands.selectedIndex(), 7);
        QCOMPARE(form.TheList()->currentIndex().row(), 7);
        QTest::keyClick(form.Do_SearchText(), Qt::Key_Up);
        QCOMPARE(form.TheList()->currentIndex().row(), 6);
        QTest::keyClick(form.Do_SearchText(), Qt::Key_PageUp, Qt::ShiftModifier);
        QCOMPARE(form.TheList()->currentIndex().row(), 0);
        QCOMPARE(selections.size(), 3);
        QCOMPARE(selections.last().at(1).toString(), QStringLiteral("POWER"));

        // Other keys type into the box as usual and leave the list alone.
        QTest::keyClicks(form.Do_SearchText(), QStringLiteral("ab"));
        QCOMPARE(form.Do_SearchText()->text(), QStringLiteral("ab"));
        QCOMPARE(commands.selectedIndex(), 0);

        // A click in the list is a selection of the command list, marks removed.
        const QRect rect = form.TheList()->visualRect(form.TheList()->model()->index(3, 0));
        QTest::mouseClick(form.TheList()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(commands.selectedIndex(), 3);
        QCOMPARE(selections.last().at(1).toString(), QStringLiteral("UP{}"));

        // A double click sends the entry without its marks.
        QSignalSpy sent(&form, &ConfigForm::sendCommand);
        doubleClickRow(form.TheList(), 1);
        doubleClickRow(form.TheList(), 2);
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(0).at(0).toString(), QStringLiteral("VOLp"));
        QCOMPARE(sent.at(1).at(0).toString(), QStringLiteral("OK"));
        QCOMPARE(form.Do_SearchText()->text(), QStringLiteral("OK[]{}"));
    }

    void statusPanelsAndOtherControls() {
        CommandList commands;
        ConfigForm form(commands);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy panels(&form, &ConfigForm::statusPanelClicked);
        form.setStatusPanel(1, QStringLiteral("Connected"));
        form.setStatusPanel(2, QStringLiteral("1:0"));
        QCOMPARE(form.statusPanel(1), QStringLiteral("Connected"));
        auto *second = form.statusBar()->findChild<QWidget *>(QStringLiteral("StatusPanel2"));
        QVERIFY(second);
        QTest::mouseClick(second, Qt::LeftButton);
        QCOMPARE(panels.size(), 1);
        QCOMPARE(panels.at(0).at(0).toInt(), 2);
        QVERIFY(!form.statusBar()->findChild<QWidget *>(QStringLiteral("StatusPanel4"))->isVisible());

        // The terminal view takes what the window gains.
        const int before = form.TelnetData()->width();
        form.resize(form.width() + 200, form.height() + 100);
        QTRY_COMPARE(form.TelnetData()->width(), before + 200);
    }

    void hugeListsLoadWithoutFreezing() {
        CommandList commands;
        ConfigForm form(commands);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy sent(&form, &ConfigForm::sendCommand);

        QString text;
        text.reserve(100000 * 8 + (1 << 20) + 16);
        text += QString(1 << 20, u'W') + QStringLiteral("{}\r\n");
        for (int i = 0; i < 100000; ++i) {
            text += QStringLiteral("C%1\r\n").arg(i);
        }
        QElapsedTimer clock;
        clock.start();
        commands.MakeList(text);
        commands.select(0);
        form.TheList()->viewport()->repaint();
        QTest::keyClick(form.Do_SearchText(), Qt::Key_PageDown, Qt::ShiftModifier);
        form.TheList()->viewport()->repaint();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QStringLiteral("took %1 ms").arg(clock.elapsed())));
        QCOMPARE(commands.count(), 100001);
        QCOMPARE(commands.selectedIndex(), 27);

        // The long entry is sent whole even though the box shows only part of it.
        commands.select(0);
        doubleClickRow(form.TheList(), 0);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).at(0).toString().size(), 1 << 20);
    }
};

QTEST_MAIN(ConfigFormTest)
#include "ConfigFormTest.moc"
