#include "main_window/ConfigForm.h"

#include "main_window/CommandList.h"
#include "remote/LayoutEditorPanel.h"
#include "support/ChildWidget.h"
#include "support/ThreadCpu.h"
#include "update/UpdateGroup.h"

#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

class ConfigFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Ends with a list of 100001 entries, one of them a megabyte long, loaded without freezing.
    void searchKeysClicksDoubleClicksAndAHugeList() {
        CommandList commands;
        ConfigForm form(commands);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const auto clickRow = [&form](int row, bool twice) {
            QListView *view = ChildWidget<QListView>(form, QStringLiteral("TheList"));
            const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            if (twice) {
                QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
            }
        };
        commands.MakeList(QStringLiteral("POWER\r\nVOLp{}\r\nOK[]{}\r\nUP{}[]\r\nDOWN\r\nLEFT\r\nRIGHT\r\nEXIT\r\n"));
        commands.select(1);
        QSignalSpy selections(&commands, &CommandList::selectionChanged);
        QTest::keyClick(ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText")), Qt::Key_PageDown);
        QCOMPARE(ChildWidget<QListView>(form, QStringLiteral("TheList"))->currentIndex().row(), 7);
        QTest::keyClick(ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText")), Qt::Key_Up);
        QCOMPARE(ChildWidget<QListView>(form, QStringLiteral("TheList"))->currentIndex().row(), 6);
        QTest::keyClick(ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText")), Qt::Key_PageUp,
                        Qt::ShiftModifier);
        QCOMPARE(ChildWidget<QListView>(form, QStringLiteral("TheList"))->currentIndex().row(), 0);
        QCOMPARE(selections.size(), 3);
        QCOMPARE(selections.last().at(1).toString(), QStringLiteral("POWER"));
        // Other keys type into the box as usual and leave the list alone.
        QTest::keyClicks(ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText")), QStringLiteral("ab"));
        QCOMPARE(ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText"))->text(), QStringLiteral("ab"));
        QCOMPARE(commands.selectedIndex(), 0);
        // A click selects in the command list, marks removed; a double click sends without them.
        clickRow(3, false);
        QCOMPARE(commands.selectedIndex(), 3);
        QCOMPARE(selections.last().at(1).toString(), QStringLiteral("UP{}"));
        // Every click acts, also on the entry already selected; a click that moves the selection
        // acts once.
        const qsizetype clicks = selections.size();
        clickRow(3, false);
        QCOMPARE(selections.size(), clicks + 1);
        QCOMPARE(selections.last().at(0).toInt(), 3);
        clickRow(4, false);
        QCOMPARE(selections.size(), clicks + 2);
        QSignalSpy sent(&form, &ConfigForm::sendCommand);
        clickRow(1, true);
        clickRow(2, true);
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent.at(0).at(0).toString(), QStringLiteral("VOLp"));
        QCOMPARE(sent.at(1).at(0).toString(), QStringLiteral("OK"));
        QCOMPARE(ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText"))->text(), QStringLiteral("OK[]{}"));
        // The terminal view takes what the window gains.
        const int before = ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->width();
        form.resize(form.width() + 200, form.height() + 100);
        QTRY_COMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->width(), before + 200);

        sent.clear();
        QString text;
        text += QString(1 << 20, u'W') + QStringLiteral("{}\r\n");
        for (int i = 0; i < 100000; ++i) {
            text += QStringLiteral("C%1\r\n").arg(i);
        }
        const qint64 started = ThreadCpuMs();
        commands.MakeList(text);
        commands.select(0);
        ChildWidget<QListView>(form, QStringLiteral("TheList"))->viewport()->repaint();
        QTest::keyClick(ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText")), Qt::Key_PageDown,
                        Qt::ShiftModifier);
        ChildWidget<QListView>(form, QStringLiteral("TheList"))->viewport()->repaint();
        const qint64 spent = ThreadCpuMs() - started;
        QVERIFY2(spent < 3000, qPrintable(QStringLiteral("took %1 ms of CPU").arg(spent)));
        QCOMPARE(commands.count(), 100001);
        QCOMPARE(commands.selectedIndex(), 27);
        // The long entry is sent whole even though the box shows only part of it.
        commands.select(0);
        clickRow(0, true);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).at(0).toString().size(), 1 << 20);
    }

    // The keyboard sends what a double click sends, each key once: Enter, keypad Enter and Space
    // in the list, Enter in the command box (the selected entry, or what the user typed there).
    void keysSendAsTheDoubleClickDoes() {
        CommandList commands;
        ConfigForm form(commands);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        commands.MakeList(QStringLiteral("POWER\r\nVOLp{}\r\nOK[]{}\r\nDOWN\r\n"));
        auto *list = ChildWidget<QListView>(form, QStringLiteral("TheList"));
        auto *box = ChildWidget<QLineEdit>(form, QStringLiteral("Do_SearchText"));
        QSignalSpy sent(&form, &ConfigForm::sendCommand);
        // Nothing selected: nothing to send.
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(sent.size(), 0);

        const QPoint row2 = list->visualRect(list->model()->index(2, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row2);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row2);
        QCOMPARE(sent.size(), 1);
        const QString byClick = sent.takeFirst().at(0).toString();
        QCOMPARE(byClick, QStringLiteral("OK"));
        for (const auto &[key, modifiers] : {std::pair{Qt::Key_Return, Qt::KeyboardModifiers()},
                                             std::pair{Qt::Key_Enter, Qt::KeyboardModifiers(Qt::KeypadModifier)},
                                             std::pair{Qt::Key_Space, Qt::KeyboardModifiers()}}) {
            QTest::keyClick(list, key, modifiers);
            QCOMPARE(sent.size(), 1);
            QCOMPARE(sent.takeFirst().at(0).toString(), byClick);
            QCOMPARE(commands.selectedIndex(), 2); // Space did not clear the selection
        }
        // The command box: moved with the arrow keys, Enter sends the selection and shows it.
        box->clear();
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.takeFirst().at(0).toString(), QStringLiteral("DOWN"));
        QCOMPARE(box->text(), QStringLiteral("DOWN"));
        // Typed by hand, the box's own text goes, marks removed; the arrow keys hand it back to the list.
        box->clear();
        QTest::keyClicks(box, QStringLiteral("MUTE{}"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.takeFirst().at(0).toString(), QStringLiteral("MUTE"));
        QTest::keyClicks(box, QStringLiteral("X"));
        QTest::keyClick(box, Qt::Key_Up);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.takeFirst().at(0).toString(), QStringLiteral("OK"));
    }

    // The window can be small: the layout editor and the update group fold away under their
    // captions, each fold lowering the window's smallest height, and the terminal gives up its
    // 80-column width and scrolls sideways instead. Only the user's clicks announce a change.
    void foldsAndAScrollingTerminalLetTheWindowBeSmall() {
        CommandList commands;
        ConfigForm form(commands);
        form.applyFolds({true, true});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy changed(&form, &ConfigForm::foldsChanged);
        QVERIFY(form.layoutEditor().isVisible() && form.updateGroup().isVisible());
        // The smallest size once the window has laid itself out again.
        const auto smallest = [&form] {
            for (int i = 0; i < 4; ++i) {
                QCoreApplication::sendPostedEvents();
                QCoreApplication::processEvents();
            }
            return form.minimumSizeHint();
        };
        const QSize open = smallest();

        ChildWidget<QToolButton>(form, QStringLiteral("LayoutEditorFold"))->click();
        QCOMPARE(changed.size(), 1);
        QVERIFY(!form.layoutEditor().isVisible());
        QVERIFY(!form.folds().LayoutEditorOpen && form.folds().UpdatesOpen);
        const int oneFolded = smallest().height();
        QVERIFY(oneFolded < open.height());
        ChildWidget<QToolButton>(form, QStringLiteral("UpdateGroupFold"))->click();
        QCOMPARE(changed.size(), 2);
        QVERIFY(!form.updateGroup().isVisible() && !form.folds().UpdatesOpen);
        QVERIFY(smallest().height() < oneFolded);
        // Both captions stay in view, a click away.
        QVERIFY(ChildWidget<QToolButton>(form, QStringLiteral("LayoutEditorFold"))->isVisible());
        QVERIFY(ChildWidget<QToolButton>(form, QStringLiteral("UpdateGroupFold"))->isVisible());
        const QSize folded = smallest();
        qInfo("main window's smallest size: %dx%d with its groups open, %dx%d folded", open.width(), open.height(),
              folded.width(), folded.height());

        // The settings open them again without a change to save.
        form.applyFolds({true, false});
        QVERIFY(form.layoutEditor().isVisible() && !form.updateGroup().isVisible());
        QVERIFY(form.folds().LayoutEditorOpen && !form.folds().UpdatesOpen);
        QCOMPARE(changed.size(), 2);
        ChildWidget<QToolButton>(form, QStringLiteral("LayoutEditorFold"))->click();
        QCOMPARE(changed.size(), 3);
        QVERIFY(!form.folds().LayoutEditorOpen);
        QCOMPARE(smallest(), folded);

        // At its smallest the terminal is narrower than the ruler and scrolls to it.
        auto *terminal = ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"));
        const int ruler = QFontMetrics(terminal->font()).horizontalAdvance(QString(80, u'0'));
        form.setTerminalText(QString(80, u'0') + QStringLiteral("\r\nVOL=20\r\n"));
        form.resize(folded);
        QTRY_COMPARE(form.size(), folded);
        QVERIFY(terminal->viewport()->width() < ruler);
        QTRY_VERIFY(terminal->horizontalScrollBar()->isVisible());
        QVERIFY(terminal->horizontalScrollBar()->maximum() > 0);
        // Given the room, it shows the whole ruler without a scroll bar.
        form.resize(form.width() + ruler, form.height());
        QTRY_VERIFY(!terminal->horizontalScrollBar()->isVisible());
        QVERIFY(terminal->viewport()->width() >= ruler);
    }

    // The terminal view follows the link's terminal text by its mark: appends are added at the
    // end and the oldest text leaves at the front, never the whole view rebuilt, and it always
    // shows what a view built from the whole text shows, also when a CR LF comes in two
    // appends or a lone CR ends one. Replacing the text (a clear, an edit) rebuilds it.
    void terminalViewAddsOnlyWhatIsNew() {
        CommandList commands;
        ConfigForm form(commands);
        RadioView view;
        const auto shownWhole = [&view] {
            QString shown = view.TelnetData;
            return shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        };
        form.setTerminalText(view.TelnetData, view.terminalMark());
        QCOMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->toPlainText(), shownWhole());
        int rebuilds = 0;
        connect(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->document(),
                &QTextDocument::contentsChange, this,
                [&rebuilds](int at, int, int added) { rebuilds += at == 0 && added > 0 ? 1 : 0; });
        const QStringList appends{"VOL=20\r",      "\nMenu state=3\r\n",       "a\rb\r", "\r\n", "\n",
                                  "x\x01\x85\r\n", QString(900, u'y') + "\r\n"};
        for (int round = 0; round < 200; ++round) {
            view.appendTerminal(appends[round % appends.size()]);
            if (round % 3 != 1) { // windows are not told of every append
                form.setTerminalText(view.TelnetData, view.terminalMark());
                QCOMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->toPlainText(), shownWhole());
            }
        }
        QCOMPARE(view.TelnetData.size(), RadioView::TerminalLimit);
        QCOMPARE(rebuilds, 0);
        view.clearTerminal();
        view.appendTerminal("OK\r\n");
        form.setTerminalText(view.TelnetData, view.terminalMark());
        QCOMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->toPlainText(),
                 QStringLiteral("OK\n"));
        view.TerminalUnlocked = true;
        view.editTerminal("mine\r\n");
        view.appendTerminal("VOL=5\r\n");
        form.setTerminalText(view.TelnetData, view.terminalMark());
        QCOMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->toPlainText(),
                 QStringLiteral("mine\nVOL=5\n"));
        // Text set by other means than the view's own functions is not taken for an append.
        view.TelnetData = QStringLiteral("other\r\n");
        form.setTerminalText(view.TelnetData, view.terminalMark());
        QCOMPARE(ChildWidget<QPlainTextEdit>(form, QStringLiteral("TelnetData"))->toPlainText(),
                 QStringLiteral("other\n"));
    }
};

QTEST_MAIN(ConfigFormTest)
#include "ConfigFormTest.moc"
