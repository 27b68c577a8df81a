#include "console/ConsoleForm.h"

#include "console/ConsoleMonitor.h"
#include "platform/Platform.h"
#include "platform/ShownForm.h"
#include "radio_link/ConnectAttempt.h"
#include "settings/Timeouts.h"

#include <QListWidget>
#include <QPlainTextEdit>
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
        // More than the monitor keeps between two renders: the view shows what it keeps.
        c.socket.receive(QString(3 * ConsoleMonitor::TextLimit, u'z') + "\n");
        c.form.render(c.monitor);
        QCOMPARE(c.shown(), ShownLineBreaks(c.monitor.ConsoleText));
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
