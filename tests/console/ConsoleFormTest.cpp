#include "console/ConsoleForm.h"

#include "console/ConsoleMonitor.h"
#include "console/ConsoleWindow.h"
#include "platform/ConnectAttempt.h"
#include "platform/Platform.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

// The console window rendering its monitor as the program wires them; the test plays the
// radio on a fake socket and decides when the window renders.
class ConsoleFormTest : public QObject {
    Q_OBJECT

    struct Console {
        FakePlatform platform;
        Timeouts timeouts;
        ConnectExtraTime connectExtra;
        ConsoleMonitor monitor{platform, timeouts, connectExtra};
        FakeTcpSocket &socket = *platform.sockets.at(0);
        ConsoleForm form;
        Console() {
            monitor.ConsoleAddress = "10.0.0.5";
            monitor.ConsoleText_DblClick();
            socket.acceptConnection();
        }
        void receive(const QString &text) {
            socket.receive(text);
            platform.fakeClock.advance(ConsoleMonitor::CheckInterval);
            form.render(monitor);
        }
        QString shown() const { return form.ConsoleText()->toPlainText(); }
        QStringList curls() const {
            QStringList texts;
            for (int i = 0; i < form.TheCurlList()->count(); ++i) {
                texts << form.TheCurlList()->item(i)->text();
            }
            return texts;
        }
    };

private Q_SLOTS:
    // The window's Connect button opens the console connection (here to a loopback listener)
    // and, as "Disconnect", closes it again: what a double click on the console text does.
    void connectButtonOpensAndClosesTheConsole() {
        QTcpServer radio;
        QVERIFY(radio.listen(QHostAddress::LocalHost, 0));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        INIFILES ini;
        ini.SetProgramPaths(QDir(dir.path()).filePath(QStringLiteral("CVRemote")));
        ini.WriteSetting(QStringLiteral("General"), QStringLiteral("ConsoleAddress"), QStringLiteral("127.0.0.1"));
        ini.WriteSetting(QStringLiteral("General"), QStringLiteral("ConsolePort"), QString::number(radio.serverPort()));
        QtPlatform platform;
        Timeouts timeouts;
        ConnectExtraTime connectExtra;
        ConsoleWindow window(platform, timeouts, connectExtra, ini);
        window.show();
        QPushButton *button = window.form().ConnectButton();
        QCOMPARE(button->text(), QStringLiteral("Connect"));
        QVERIFY(!radio.hasPendingConnections());
        button->click();
        QTRY_VERIFY(radio.hasPendingConnections());
        QTcpSocket *accepted = radio.nextPendingConnection();
        QVERIFY(accepted != nullptr);
        QTRY_COMPARE(window.logic().ConsoleSocket().State(), qint16(TcpSocket::sckConnected));
        QCOMPARE(button->text(), QStringLiteral("Disconnect"));
        button->click();
        QCOMPARE(window.logic().ConsoleSocket().State(), qint16(TcpSocket::sckClosed));
        QCOMPARE(button->text(), QStringLiteral("Connect"));
        QTRY_COMPARE(accepted->state(), QAbstractSocket::UnconnectedState);
        window.form().close();
    }

    // Keys typed on the pane go to the radio's console, but Tab moves the focus on as in every
    // other window: the pane must not trap a keyboard user.
    void tabLeavesThePaneOtherKeysGoToTheRadio() {
        ConsoleForm form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QStringList typed;
        connect(&form, &ConsoleForm::typed, this, [&typed](const QString &text) { typed << text; });
        QPlainTextEdit *pane = form.ConsoleText();
        pane->setFocus();
        QTest::keyClicks(pane, QStringLiteral("ls"));
        QCOMPARE(typed, (QStringList{"l", "s"}));
        QTest::keyClick(pane, Qt::Key_Tab);
        QVERIFY(!pane->hasFocus());
        pane->setFocus();
        QTest::keyClick(pane, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(!pane->hasFocus());
        QCOMPARE(typed, (QStringList{"l", "s"}));
    }

    void theRawTextIsAppendedWithLineBreaksWholeAcrossRenders() {
        Console c;
        c.receive("one\r");
        c.receive("\ntwo\nthr");
        c.receive("ee\r\n");
        QCOMPARE(c.shown(), QStringLiteral("one\ntwo\nthree\n"));
        // A render with nothing new touches nothing.
        const int revision = c.form.ConsoleText()->document()->revision();
        const int captureRevision = c.form.ConsoleCaptureText()->document()->revision();
        c.form.render(c.monitor);
        QCOMPARE(c.form.ConsoleText()->document()->revision(), revision);
        QCOMPARE(c.form.ConsoleCaptureText()->document()->revision(), captureRevision);
        // A new connection starts the view afresh.
        c.monitor.ConsoleText_DblClick(); // closes
        c.monitor.ConsoleText_DblClick(); // opens again
        c.socket.acceptConnection();
        c.receive("four\r\n");
        QCOMPARE(c.shown(), QStringLiteral("four\n"));
        // The radio's control codes show as control pictures, tabs stay.
        c.receive(QString::fromLatin1("\x1b[31mred\x07\tx\x9b\x7f\r\n"));
        QCOMPARE(c.shown(), QStringLiteral("four\n") + QString::fromUtf8("␛[31mred␇\tx␦␡\n"));
    }

    void underAFloodTheViewKeepsTheNewestTextAndNoMore() {
        Console c;
        for (int i = 0; i < 200; ++i) {
            c.receive(QString(997, QChar(u'a' + i % 26)) + "\r\n");
            QVERIFY(c.form.ConsoleText()->document()->characterCount() <= ConsoleMonitor::TextLimit + 1);
        }
        QVERIFY(c.shown().endsWith(QString(997, QChar(u'a' + 199 % 26)) + "\n"));
        QVERIFY(c.shown().size() >= ConsoleMonitor::TextLimit - 1000);
        QVERIFY(!c.form.ConsoleText()->document()->isUndoAvailable());
        // More than the monitor keeps between two renders: the view shows what it keeps, a
        // line longer than the fold in pieces, that arrived in pieces of other lengths.
        const int fold = ConsoleForm::FoldLength;
        c.socket.receive(QString(3 * ConsoleMonitor::TextLimit, u'z'));
        c.form.render(c.monitor);
        c.receive(QString(fold / 2 + 1, u'z'));
        c.receive(QString(fold, u'z') + "\r\nend\r\n");
        // The line is shown from where the monitor's text starts: 20 whole pieces, then one of
        // 501 + 1000 - 1000 characters.
        const QStringList lines = c.shown().split(u'\n');
        QCOMPARE(lines.mid(lines.size() - 3), (QStringList{QString(fold / 2 + 1, u'z'), "end", ""}));
        for (qsizetype i = 1; i < lines.size() - 3; ++i) {
            QCOMPARE(lines[i], QString(fold, u'z'));
        }
        QVERIFY(lines[0].size() <= fold);
        // The fold's breaks take room too: the view holds the newest of what the monitor keeps.
        QVERIFY(QString(c.monitor.ConsoleText).remove("\r\n").endsWith(QString(c.shown()).remove(u'\n')));
    }

    void theFetchListGrowsAtItsEndAndLetsTheOldestGo() {
        Console c;
        c.receive("cURL: a\r\ncURL: b\r\n");
        QListWidgetItem *first = c.form.TheCurlList()->item(0);
        c.receive("cURL: c\r\n");
        QCOMPARE(c.curls(), (QStringList{"a", "b", "c"}));
        QCOMPARE(c.form.TheCurlList()->item(0), first); // added to, not filled anew
        QString many;
        for (int i = 0; i < ConsoleLineReader::MaxCurls + 10; ++i) {
            many += QStringLiteral("cURL: %1\r\n").arg(i);
        }
        c.receive(many);
        QCOMPARE(c.curls(), c.monitor.TheCurlList());
        c.receive("cURL: last\r\n");
        QCOMPARE(c.curls(), c.monitor.TheCurlList());
        // Emptied by a double click on the summary, then filled again between two renders.
        c.monitor.ConsoleCaptureText_DblClick();
        c.socket.receive("cURL: after\r\n");
        c.platform.fakeClock.advance(ConsoleMonitor::CheckInterval);
        c.form.render(c.monitor);
        QCOMPARE(c.curls(), QStringList{"after"});
    }
};

QTEST_MAIN(ConsoleFormTest)
#include "ConsoleFormTest.moc"
