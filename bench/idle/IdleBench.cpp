// What the whole program costs while nothing happens: the real program, connected to a simulated
// radio that never changes on its own, left alone with its default windows, then with the
// display window open as well. For each stretch it prints the CPU time the program used (the
// process's CPU time less the simulator's thread), the timer events of the main thread, the
// main thread's voluntary context switches, the firings of each of the program's own timers and
// the repaints of each widget.
//
//   idle_bench [seconds]        (default 60 per stretch; a --benchmark_min_time=... argument,
//                                as the test script passes to every benchmark, runs 1 second)
//   IDLE_BENCH_SETTINGS='[Timeouts]\r\nPollWhenOn=16\r\n' idle_bench ...
//                               (more settings, "\r\n" written as such: another poll rhythm, say)

#include "app/Program.h"
#include "console/ConsoleWindow.h"
#include "display/DisplayControl.h"
#include "display/DisplayForm.h"
#include "display/DisplayWindow.h"
#include "info_panel/InfoWindow.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "RadioSimulator.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteWindow.h"
#include "session/InfoPanel.h"
#include "session/MacroRunner.h"
#include "update/UpdateWindow.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <pthread.h>

namespace {

double cpuSeconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Voluntary context switches of the main thread: how often it went to sleep and was woken.
long voluntarySwitches() {
    QFile status(QStringLiteral("/proc/thread-self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("voluntary_ctxt_switches:")) {
            return line.mid(int(std::strlen("voluntary_ctxt_switches:"))).trimmed().toLong();
        }
    }
    return -1;
}

// Counts the main thread's timer events and paint events by receiver.
class EventCounter : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Timer) {
            ++timerEvents;
            ++timerBy[QString::fromLatin1(watched->metaObject()->className())];
        } else if (event->type() == QEvent::Paint) {
            const QString name = watched->objectName();
            const QObject *window = watched;
            while (window->parent()) {
                window = window->parent();
            }
            ++paintBy[window->objectName() + u'/' + QString::fromLatin1(watched->metaObject()->className()) +
                      (name.isEmpty() ? QString() : u'#' + name)];
        }
        return false;
    }
    void reset() {
        timerEvents = 0;
        timerBy.clear();
        paintBy.clear();
    }
    long timerEvents = 0;
    std::map<QString, long> timerBy;
    std::map<QString, long> paintBy;
};

// The program's own timers by the name their owner gives them; each firing counted.
class TimerCounter : public QObject {
public:
    void watch(Timer &timer, const QString &name) {
        names[&timer] = name;
        connect(&timer, &Timer::timeout, this, [this, t = &timer] { ++fired[t]; });
    }
    std::map<const Timer *, QString> names;
    std::map<const Timer *, long> fired;
};

bool copyProgramFolder(const QString &to) {
    const QDir data(QCoreApplication::applicationDirPath() + QStringLiteral("/../../program"));
    if (!QFile::exists(data.filePath(QStringLiteral("Commandlist.txt")))) {
        return false;
    }
    QDirIterator files(data.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString from = files.next();
        const QString name = QFileInfo(from).fileName();
        // Only data: no executable, no settings or lock of a run made there.
        if (QFileInfo(from).isExecutable() || name.startsWith(QStringLiteral("CVRemote.ini"))) {
            continue;
        }
        const QString target = QDir(to).filePath(data.relativeFilePath(from));
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(from, target);
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int seconds = 60;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--benchmark_min_time", 20) == 0) {
            seconds = 1;
        } else if (std::atoi(argv[i]) > 0) {
            seconds = std::atoi(argv[i]);
        }
    }

    // The simulated radio answers from a thread of its own, so its work is told apart from the
    // program's.
    QThread simThread;
    simThread.start();
    QObject simContext;
    simContext.moveToThread(&simThread);
    RadioSimulator *sim = nullptr;
    clockid_t simClock{};
    bool simStarted = false;
    QMetaObject::invokeMethod(
        &simContext,
        [&] {
            sim = new RadioSimulator;
            simStarted = sim->start();
            pthread_getcpuclockid(pthread_self(), &simClock);
        },
        Qt::BlockingQueuedConnection);
    const auto stopSim = [&] {
        QMetaObject::invokeMethod(
            &simContext, [&] { delete sim; }, Qt::BlockingQueuedConnection);
        simThread.quit();
        simThread.wait();
    };
    if (!simStarted) {
        std::fprintf(stderr, "radiosim did not start\n");
        stopSim();
        return 1;
    }

    QTemporaryDir dir;
    if (!copyProgramFolder(dir.path())) {
        std::fprintf(stderr, "no program folder beside the benchmark\n");
        stopSim();
        return 1;
    }
    // Every address the program may reach is the simulator's; no update check runs by itself.
    QFile ini(dir.filePath(QStringLiteral("CVRemote.ini")));
    if (!ini.open(QIODevice::WriteOnly) ||
        ini.write(QStringLiteral("[General]\r\nRaidoURL=127.0.0.1\r\nRaidoPORT=%1\r\nConsoleAddress=127.0.0.1\r\n"
                                 "ConsolePort=%2\r\nUpdateURL=http://127.0.0.1:%1/\r\n")
                      .arg(sim->commandPort())
                      .arg(sim->consolePort())
                      .toLatin1() +
                  qgetenv("IDLE_BENCH_SETTINGS").replace("\\r\\n", "\r\n")) <= 0) {
        stopSim();
        return 1;
    }
    ini.close();

    EventCounter events;
    TimerCounter timers;
    int result = 0;
    {
        QtPlatform platform;
        Program program(platform, dir.path());
        if (!program.start() || !QTest::qWaitFor([&] { return !program.state().MenuState.isEmpty(); }, 10000)) {
            std::fprintf(stderr, "the program did not reach the radio\n");
            stopSim();
            return 1;
        }
        RadioLink &link = program.link();
        timers.watch(link.telnet.CheckOutBuffer(), QStringLiteral("link: queue tick CheckOutBuffer"));
        timers.watch(link.poll.UpdateTimer(), QStringLiteral("link: display refresh/poll UpdateTimer"));
        timers.watch(link.connection.TimerCheckTelnet(), QStringLiteral("link: reply tick Timer_CheckTelnet"));
        timers.watch(link.connection.ResetTimer(), QStringLiteral("link: ResetTimer"));
        timers.watch(link.connection.RemarkTimer(), QStringLiteral("link: RemarkTimer"));
        timers.watch(program.display().logic().PleaseWaitTimer(), QStringLiteral("display: PleaseWaitTimer"));
        timers.watch(program.info().logic().HalfSecondTick(), QStringLiteral("info panel: HalfSecondTick"));
        timers.watch(program.macroRunner().MacroTimer(), QStringLiteral("macros: MacroTimer"));
        timers.watch(program.macroRunner().MacroWaitTimer(), QStringLiteral("macros: MacroWaitTimer"));
        timers.watch(program.remote().logic().LoseAid(), QStringLiteral("remote: LoseAid"));
        if (ConsoleWindow *console = program.consoleWindow()) {
            timers.watch(console->logic().CheckConsoleSocket(), QStringLiteral("console: CheckConsoleSocket"));
            timers.watch(console->logic().RefreshLabelTimer(), QStringLiteral("console: RefreshLabelTimer"));
            timers.watch(console->logic().ViewTimer(), QStringLiteral("console: ViewTimer"));
        }
        if (UpdateWindow *update = program.updateWindow()) {
            timers.watch(update->logic().Timer1(), QStringLiteral("update: Timer1"));
        }
        app.installEventFilter(&events);

        // A plain event loop: QTest::qWait would wake the thread every few milliseconds itself.
        const auto idleFor = [](int ms) {
            QEventLoop loop;
            QTimer::singleShot(ms, &loop, &QEventLoop::quit);
            loop.exec();
        };
        const auto stretch = [&](const char *what) {
            idleFor(seconds < 5 ? 500 : 3000); // what the start or the new window set going settles first
            events.reset();
            timers.fired.clear();
            const double cpu0 = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
            const double sim0 = cpuSeconds(simClock);
            const double main0 = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            const long switches0 = voluntarySwitches();
            idleFor(seconds * 1000);
            const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpu0 - (cpuSeconds(simClock) - sim0);
            const double mainCpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - main0;
            const long switches = voluntarySwitches() - switches0;
            std::printf("%s: CPU %.2f %% of a core (main thread %.2f %%), timer events %.1f/s, main thread "
                        "wake-ups %.1f/s\n",
                        what, 100.0 * cpu / seconds, 100.0 * mainCpu / seconds, double(events.timerEvents) / seconds,
                        double(switches) / seconds);
            for (const auto &[timer, name] : timers.names) {
                const auto it = timers.fired.find(timer);
                if (it != timers.fired.end() && it->second > 0) {
                    std::printf("    timer %-42s %6.2f/s\n", qPrintable(name), double(it->second) / seconds);
                }
            }
            for (const auto &[receiver, count] : events.timerBy) {
                std::printf("    timer events to %-32s %6.2f/s\n", qPrintable(receiver), double(count) / seconds);
            }
            for (const auto &[widget, count] : events.paintBy) {
                std::printf("    paints of %-48s %6.2f/s\n", qPrintable(widget), double(count) / seconds);
            }
            std::fflush(stdout);
        };

        stretch("idle, default windows");
        program.display().form().show();
        stretch("idle, display window open");
        app.removeEventFilter(&events);
        program.Close();
    }
    stopSim();
    return result;
}
