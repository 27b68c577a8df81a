#include "app/Program.h"
#include "display/DisplayWindow.h"
#include "e2e/ProgramFolder.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "RadioSimulator.h"
#include "support/ChildWidget.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define CV_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CV_ASAN 1
#endif
#endif

namespace {

// Kilobytes of a field of /proc/self/status ("VmRSS", "VmHWM").
qint64 statusKb(const char *field) {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(field) && line.size() > qsizetype(qstrlen(field)) && line[qstrlen(field)] == ':') {
            return line.mid(qsizetype(qstrlen(field)) + 1).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

// Nanoseconds this thread has spent waiting for a CPU while ready to run: on a busy machine
// that, not the program, is what stretches many gaps between timer beats.
qint64 runQueueWaitNs() {
    char text[96] = {};
    const int fd = ::open("/proc/thread-self/schedstat", O_RDONLY);
    if (fd < 0) {
        return 0;
    }
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    long long onCpu = 0, waiting = 0;
    return n > 0 && std::sscanf(text, "%lld %lld", &onCpu, &waiting) == 2 ? waiting : 0;
}

} // namespace

// The real program (window, radio link, real sockets and timers) against a simulated radio
// whose faults are switched while it runs. For every fault: the user's commands reach the radio
// in order and none twice, the event loop keeps running, memory stays bounded, and the link
// comes back by itself once the radio behaves again. Waits are generous (a busy machine, a
// sanitizer build); the measured numbers are printed so real regressions stay visible.
class FaultyRadioEndToEndTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 15000;
    // The event loop may be held up this long by the program's own work (time spent waiting for
    // a CPU on a busy machine is not counted); the sanitizers make that work a few times slower.
#ifdef CV_ASAN
    static constexpr qint64 StallAllowanceMs = 600;
    // Freed memory sits in the sanitizer's quarantine (up to 256 MB) before it is reused.
    static constexpr qint64 MemoryAllowanceKb = 600 * 1024;
#else
    // A faulty radio that froze the program would hold it for seconds (a reply wait, a connect
    // time-out); a tenth of a second more or less of work on a loaded machine is not that.
    static constexpr qint64 StallAllowanceMs = 250;
    static constexpr qint64 MemoryAllowanceKb = 120 * 1024;
#endif

    QtPlatform m_platform;
    std::unique_ptr<RadioSimulator> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;
    quint16 m_port = 0;
    QStringList m_wire;    // every command the radio took, in order, across restarts
    QStringList m_extra;   // bytes written onto a connection after its command
    QStringList m_replies; // every reply the program showed, in order

    QElapsedTimer m_clock;
    QTimer m_beat;
    qint64 m_lastBeatNs = 0;
    qint64 m_lastWaitNs = 0;
    qint64 m_longestGap = 0;      // ms between two beats of a 10 ms timer
    qint64 m_longestOwnStall = 0; // the same, less the time spent waiting for a CPU
    qint64 m_rssStartKb = 0;

    void newSimulator(quint16 port) {
        m_sim = std::make_unique<RadioSimulator>();
        QVERIFY2(m_sim->start(QHostAddress(QHostAddress::LocalHost), port), qPrintable(m_sim->errorString()));
        m_sim->setStatusStepMs(50);
        connect(m_sim.get(), &RadioSimulator::commandReceived, this,
                [this](int, const QString &command) { m_wire << command; });
        connect(
            m_sim.get(), &RadioSimulator::extraBytesReceived, this, [this](int connection, const QByteArray &bytes) {
                m_extra << QStringLiteral("%1:%2").arg(connection).arg(QString::fromLatin1(bytes.toPercentEncoding()));
            });
    }

    QString terminal() const {
        return ChildWidget<QPlainTextEdit>(m_program->mainWindow(), QStringLiteral("TelnetData"))->toPlainText();
    }
    RadioLink &link() {
        return m_program->link();
    }

    // The radio's commands that are among these, in the order it took them.
    QStringList took(const QStringList &among) const {
        QStringList commands;
        for (const QString &command : m_wire) {
            if (among.contains(command)) {
                commands << command;
            }
        }
        return commands;
    }

    void sendAsUser(const QStringList &commands) {
        for (const QString &command : commands) {
            link().telnet.QueueCommand(0, command);
        }
    }

    // Nothing left on the command channel to send or to wait for.
    bool commandsSettled() {
        return link().telnet.pending(0).isEmpty() && !link().connection.deliveryOutstanding(0) &&
               !link().connection.tickWaiting();
    }

    bool saidUnanswered(const QString &command) const {
        return terminal().contains(QStringLiteral("[no reply to %1]").arg(command));
    }

    // Starts the program and the watch on the event loop and on memory.
    void startProgram() {
        // Peak resident size counts from here (Linux: writing 5 resets VmHWM).
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly)) {
            clear.write("5");
        }
        m_rssStartKb = statusKb("VmRSS");
        QVERIFY(m_program->start());
        connect(&link().view, &RadioView::macroTrace, this, [this](const QString &text) {
            if (text.startsWith(QStringLiteral("\r\n\t<"))) {
                m_replies << text.mid(4, 200);
            }
        });
        m_clock.start();
        m_lastBeatNs = 0;
        m_lastWaitNs = runQueueWaitNs();
        m_longestGap = 0;
        m_longestOwnStall = 0;
        m_beat.start(10);
    }

    // The batch sent during the fault and the batch sent after it both reach the radio, in
    // order, once each; then the link comes back without any click: the last command is
    // acknowledged and a poll is decoded after it.
    void expectRecovered(const QStringList &during, const QStringList &after) {
        const qsizetype mark = m_replies.size();
        sendAsUser(after);
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled() && took(after).size() >= after.size(), Patience);
        QCOMPARE(took(during + after), during + after);
        const auto shownSince = [this, mark](const QString &start) {
            return std::any_of(m_replies.begin() + mark, m_replies.end(),
                               [&start](const QString &reply) { return reply.startsWith(start); });
        };
        QTRY_VERIFY_WITH_TIMEOUT(shownSince(QStringLiteral("OK")), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(shownSince(QStringLiteral("Menu state=")), Patience);
        // The volume is asked for in the poll after the acknowledgement, which may come after
        // the menu reply of an earlier poll.
        QTRY_COMPARE_WITH_TIMEOUT(m_program->state().VolumeText, QString::number(m_sim->volume()), Patience);
        // The terminal view is edited on every reply; it keeps no history of those edits.
        QCOMPARE(ChildWidget<QPlainTextEdit>(m_program->mainWindow(), QStringLiteral("TelnetData"))
                     ->document()
                     ->availableUndoSteps(),
                 0);
    }

    void report(const char *fault) {
        const qint64 peakKb = statusKb("VmHWM");
        qInfo("%s: longest event-loop stall %lld ms (%lld ms of it not waiting for a CPU), resident memory %lld MB at "
              "start, peak %lld MB, "
              "%lld commands on the wire",
              fault, m_longestGap, m_longestOwnStall, m_rssStartKb / 1024, peakKb / 1024, qint64(m_wire.size()));
        QVERIFY2(m_longestOwnStall < StallAllowanceMs,
                 qPrintable(QStringLiteral("stalled %1 ms").arg(m_longestOwnStall)));
        QVERIFY2(peakKb - m_rssStartKb < MemoryAllowanceKb,
                 qPrintable(QStringLiteral("peak %1 kB over a start of %2 kB").arg(peakKb).arg(m_rssStartKb)));
        QVERIFY2(m_extra.isEmpty(), qPrintable(m_extra.join(QStringLiteral("; "))));
    }

    const QStringList m_during{QStringLiteral("VOLp"), QStringLiteral("MESSAGE a"), QStringLiteral("VOLm"),
                               QStringLiteral("MESSAGE b")};
    const QStringList m_after{QStringLiteral("MESSAGE c"), QStringLiteral("MUTE")};

private Q_SLOTS:
    void initTestCase() {
        connect(&m_beat, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed(), waited = runQueueWaitNs();
            m_longestGap = std::max(m_longestGap, (now - m_lastBeatNs) / 1000000);
            m_longestOwnStall = std::max(m_longestOwnStall, (now - m_lastBeatNs - (waited - m_lastWaitNs)) / 1000000);
            m_lastBeatNs = now;
            m_lastWaitNs = waited;
        });
    }

    void init() {
        m_wire.clear();
        m_extra.clear();
        m_replies.clear();
        m_program.reset();
        newSimulator(0);
        m_port = m_sim->commandPort();
        m_dir = std::make_unique<QTemporaryDir>();
        // A poll every 0.3 s instead of every second keeps the fault windows short.
        QVERIFY(FillProgramFolder(m_dir->path(), m_port, QStringLiteral("[Timeouts]\r\nPollWhenOn=3\r\n")));
        m_program = QuietProgram(m_platform, m_dir->path());
    }

    void cleanup() {
        m_beat.stop();
        if (QTest::currentTestFailed()) {
            qInfo().noquote() << "radio took:" << m_wire.join(QLatin1Char(','))
                              << "\nterminal:" << terminal().right(3000);
        }
        m_program.reset();
        m_sim.reset();
    }

    void refusingRadio() {
        QVERIFY(m_sim->setRefuse(true));
        startProgram();
        sendAsUser(m_during);
        QTRY_VERIFY_WITH_TIMEOUT(link().connection.ConnectExtra.seconds >= 0.15f, Patience);
        QVERIFY(m_sim->setRefuse(false));
        expectRecovered(m_during, m_after);
        QVERIFY(!terminal().contains(QStringLiteral("[no reply")));
        report("refuses");
    }

    // The radio takes a command and then hangs: the program gives up on that connection and
    // goes on; the command is not sent again (the radio has it).
    void stallingRadio() {
        m_sim->setStall(true);
        startProgram();
        sendAsUser(m_during);
        QTRY_VERIFY_WITH_TIMEOUT(took(m_during).size() >= 1, Patience);
        m_sim->setStall(false);
        expectRecovered(m_during, m_after);
        QVERIFY(saidUnanswered(m_during.first()));
        report("stalls");
    }

    // A radio that answers three seconds late: the first command goes unanswered (and is not
    // sent again); from then on the link waits long enough, and the radio's state shows.
    void lateRadio() {
        m_sim->setDelayMs(3000);
        startProgram();
        // Four keys behind answers of 3 s each would outwait the few seconds a key press may
        // wait (and be dropped, as they should); here the link's learning of the pace is tested.
        m_program->session().timeouts().KeyTimeLimit = 60;
        sendAsUser(m_during);
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled() && took(m_during) == m_during, 4 * Patience);
        QTRY_VERIFY_WITH_TIMEOUT(m_program->state().MenuState == QString::number(m_sim->screen()) &&
                                     m_program->state().VolumeText == QString::number(m_sim->volume()),
                                 2 * Patience);
        // Twice the slowest answer (about 3 s), far above the 2.5 s the link starts with.
        QVERIFY2(link().connection.replyWait().ms() >= 5000,
                 qPrintable(QString::number(link().connection.replyWait().ms())));
        QCOMPARE(terminal().count(QStringLiteral("[no reply to")), 1);
        m_sim->setDelayMs(0);
        expectRecovered(m_during, m_after);
        QVERIFY(saidUnanswered(m_during.first()));
        report("answers late");
    }

    // A radio that trickles its answers a byte every 300 ms: each wait ends at its deadline with
    // what came by then, and the next command goes.
    void tricklingRadio() {
        m_sim->setTrickleMs(300);
        startProgram();
        sendAsUser(m_during);
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled() && took(m_during) == m_during, 4 * Patience);
        QVERIFY(terminal().contains(QStringLiteral("O")));
        m_sim->setTrickleMs(0);
        expectRecovered(m_during, m_after);
        report("trickles");
    }

    void radioThatNeverCloses() {
        m_sim->setNoClose(true);
        startProgram();
        sendAsUser(m_during);
        QTRY_VERIFY_WITH_TIMEOUT(took(m_during).size() >= 2, Patience);
        QTRY_VERIFY_WITH_TIMEOUT(terminal().contains(QStringLiteral("OK")), Patience);
        m_sim->setNoClose(false);
        expectRecovered(m_during, m_after);
        QVERIFY(!terminal().contains(QStringLiteral("[no reply")));
        report("never closes");
    }

    void radioThatSplitsItsReplies() {
        m_sim->setSplit(true);
        startProgram();
        sendAsUser(m_during);
        // Pieces are joined into whole replies before the decoder sees them.
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled() && !m_program->state().MenuState.isEmpty(), Patience);
        QCOMPARE(m_program->state().MenuState, QString::number(m_sim->screen()));
        m_sim->setSplit(false);
        expectRecovered(m_during, m_after);
        QVERIFY(!terminal().contains(QStringLiteral("[no reply")));
        report("splits");
    }

    void radioDroppingEveryThirdConnection() {
        m_sim->setDropEvery(3);
        startProgram();
        sendAsUser(m_during);
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled() && m_sim->connectionsAccepted() >= 6, Patience);
        m_sim->setDropEvery(0);
        // Commands on the dropped connections never reached the radio: they go again.
        expectRecovered(m_during, m_after);
        report("drops every third");
    }

    void radioAnsweringGarbage() {
        m_sim->setGarbage(true);
        startProgram();
        sendAsUser(m_during);
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled() && took(m_during) == m_during, Patience);
        // While noise keeps coming, each poll edits the terminal view only where the text
        // changed (the end, and the front as old text falls off). Noise the view could not show
        // as given used to make it differ from the text behind it for good, so every poll
        // rebuilt all of it and even an idle program kept a CPU busy.
        int rebuilds = 0, edits = 0;
        const QMetaObject::Connection watch =
            connect(ChildWidget<QPlainTextEdit>(m_program->mainWindow(), QStringLiteral("TelnetData"))->document(),
                    &QTextDocument::contentsChange, this, [&rebuilds, &edits](int at, int, int added) {
                        ++edits;
                        rebuilds += at == 0 && added > 0 ? 1 : 0;
                    });
        const int polled = m_sim->connectionsAccepted();
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->connectionsAccepted() >= polled + 5 && edits >= 5, Patience);
        disconnect(watch);
        QCOMPARE(rebuilds, 0);
        // Control characters show as harmless symbols, never raw.
        const QString shown = terminal();
        QVERIFY2(std::none_of(shown.begin(), shown.end(),
                              [](QChar c) {
                                  return (c.unicode() < 0x20 && c != u'\n' && c != u'\t') ||
                                         (c.unicode() >= 0x7f && c.unicode() < 0xa0);
                              }),
                 "a control character reached the terminal view");
        m_sim->setGarbage(false);
        expectRecovered(m_during, m_after);
        report("answers garbage");
    }

    void radioAnswering10MB() {
        m_sim->setBigReply(10 * 1000 * 1000);
        startProgram();
        sendAsUser(m_during.mid(0, 2));
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled() && took(m_during.mid(0, 2)) == m_during.mid(0, 2), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(terminal().contains(QStringLiteral("[reply cut after")), Patience);
        // The terminal keeps its tail only; its editor keeps no history of the edits.
        QVERIFY(link().view.TelnetData.size() <= RadioView::TerminalLimit);
        QCOMPARE(ChildWidget<QPlainTextEdit>(m_program->mainWindow(), QStringLiteral("TelnetData"))
                     ->document()
                     ->availableUndoSteps(),
                 0);
        m_sim->setBigReply(0);
        expectRecovered(m_during.mid(0, 2), m_after);
        report("answers 10 MB");
    }

    // A radio that follows every reply with 20000 short status lines (half a megabyte to a
    // megabyte a reply): the commands reach it once each and in order, the many-line replies
    // are decoded, and the window stays responsive while they are.
    void radioAnsweringManyLines() {
        m_sim->setExtraLines(20000);
        startProgram();
        sendAsUser(m_during);
        QTRY_VERIFY_WITH_TIMEOUT(commandsSettled() && took(m_during) == m_during, Patience);
        const int polled = m_sim->connectionsAccepted();
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->connectionsAccepted() >= polled + 3 && commandsSettled(), Patience);
        QCOMPARE(m_program->state().MenuState, QString::number(m_sim->screen()));
        QCOMPARE(m_program->state().VolumeText, QString::number(m_sim->volume()));
        m_sim->setExtraLines(0);
        expectRecovered(m_during, m_after);
        QStringList user = m_sim->commandTexts();
        user.removeIf([this](const QString &command) { return !(m_during + m_after).contains(command); });
        QCOMPARE(user, m_during + m_after);
#ifndef CV_ASAN
        // Decoding a reply of 20000 lines is one short piece of work, not a freeze.
        QVERIFY2(m_longestOwnStall <= 150, qPrintable(QStringLiteral("stalled %1 ms").arg(m_longestOwnStall)));
#endif
        report("answers 20000 lines");
    }

    // The radio goes away (every connection with it) and comes back on the same port.
    void radioRestarting() {
        startProgram();
        QTRY_VERIFY_WITH_TIMEOUT(terminal().contains(QStringLiteral("Menu state=")), Patience);
        sendAsUser(m_during.mid(0, 1));
        QTRY_VERIFY_WITH_TIMEOUT(took(m_during.mid(0, 1)).size() == 1, Patience);
        QVERIFY(!link().view.RadioOffline);
        QElapsedTimer gone;
        gone.start();
        m_sim.reset();
        sendAsUser(m_during.mid(1));
        // Within a few seconds every window says the radio is offline.
        QTRY_VERIFY_WITH_TIMEOUT(link().view.RadioOffline, Patience);
        qInfo("shown offline %lld ms after the radio went", gone.elapsed());
        QVERIFY(m_program->mainWindow().statusPanel(1).startsWith(QStringLiteral("Radio offline since ")));
        QVERIFY(m_program->display().logic().screen.notLiveText().startsWith(QStringLiteral("Offline since ")));
        QTRY_VERIFY_WITH_TIMEOUT(link().connection.ConnectExtra.seconds >= 0.15f, Patience);
        newSimulator(m_port);
        expectRecovered(m_during, m_after);
        QTRY_VERIFY_WITH_TIMEOUT(!link().view.RadioOffline, Patience);
        QVERIFY(m_program->mainWindow().statusPanel(1).startsWith(QStringLiteral("Radio answers (last reply ")));
        report("restarts");
    }
};

QTEST_MAIN(FaultyRadioEndToEndTest)
#include "FaultyRadioEndToEndTest.moc"
