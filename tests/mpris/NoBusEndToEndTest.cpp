#include "e2e/RadioRun.h"
#include "session/RadioSession.h"
#include "session/RadioView.h"

#include <QDir>

#include <algorithm>

// The real program where the session bus is named but not there: it runs as before and says
// once, in the terminal view, why media keys and playerctl cannot reach it.
class NoBusEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = RadioRun::Patience;

private Q_SLOTS:
    void withoutASessionBusTheProgramRunsAndSaysWhy() {
        RadioRun run;
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                QStringLiteral("unix:path=%1").arg(QDir(run.dir.path()).filePath(QStringLiteral("no-bus"))).toUtf8());
        QVERIFY(run.begin());
        // Everything the terminal view is given from here on (it keeps only its tail).
        const RadioView &view = run.program->session().view();
        QString written;
        RadioView::TerminalMark seen = view.terminalMark();
        connect(&view, &RadioView::changed, this, [&] {
            const RadioView::TerminalMark mark = view.terminalMark();
            const qint64 before = mark.revision == seen.revision ? seen.appended : 0;
            written +=
                view.TelnetData.right(qsizetype(std::min<qint64>(mark.appended - before, view.TelnetData.size())));
            seen = mark;
        });
        const QString notice = QStringLiteral("Media keys and playerctl cannot reach CV Remote (no MPRIS): no D-Bus "
                                              "session bus (");
        QTRY_VERIFY_WITH_TIMEOUT(written.contains(notice), Patience);

        // The radio is driven as ever.
        QTRY_COMPARE_WITH_TIMEOUT(run.program->session().status().volume.value_or(-1), 20, Patience);
        run.program->session().pressKey(QStringLiteral("VOLp"));
        QTRY_COMPARE_WITH_TIMEOUT(run.sim.volume(), 25, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(run.program->session().status().volume.value_or(-1), 25, Patience);
        QCOMPARE(written.count(notice), 1);
        QCOMPARE(run.logged({QStringLiteral("VOLp")}), QStringList{QStringLiteral("VOLp")});
    }
};

QTEST_MAIN(NoBusEndToEndTest)
#include "NoBusEndToEndTest.moc"
