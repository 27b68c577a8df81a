// Plays a shipped macro against the simulated radio with the real program and compares the
// run's wall time with the waits the macro was designed to make: its pauses, the 200 ms gap
// after every command it sends, and one reply of the radio for every step that waits for one.
//
//   macro_run_bench [macro name] [runs]      (default: "Play jazz", 3 runs)

#include "app/Program.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "RadioSimulator.h"
#include "session/MacroRunner.h"
#include "support/EventLoop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>

namespace {

struct Designed {
    int commands = 0;
    int answeredTests = 0;
    qint64 pauses = 0;
    qint64 total() const {
        // Each command is followed by a 200 ms gap; the radio answers a command or a query
        // after its quiet gap.
        return pauses + 200LL * commands + qint64(RadioSimulator::QuietGapMs) * (commands + answeredTests);
    }
};

Designed designedWaits(const QString &trace) {
    Designed d;
    d.commands = int(trace.count(QStringLiteral("Command ")));
    for (const char *word : {"Menu State ", "Menu Item ", "Menu Page ", "List Item ", "List Page ", "List Selected "}) {
        d.answeredTests += int(trace.count(QLatin1String(word)));
    }
    static const QRegularExpression pause(QStringLiteral("(?:Delayset|PreSet Delay) (\\d+)"));
    for (auto it = pause.globalMatch(trace); it.hasNext();) {
        d.pauses += it.next().captured(1).toLongLong();
    }
    return d;
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString name = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Play jazz");
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    RadioSimulator sim;
    if (!sim.start()) {
        std::fprintf(stderr, "radiosim: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    QTemporaryDir dir;
    const QDir data(QCoreApplication::applicationDirPath() + QStringLiteral("/../../program"));
    for (const QString &file : data.entryList({QStringLiteral("*.txt")}, QDir::Files)) {
        QFile::copy(data.filePath(file), dir.filePath(file));
    }
    QFile ini(dir.filePath(QStringLiteral("CVRemote.ini")));
    if (!ini.open(QIODevice::WriteOnly)) {
        return 1;
    }
    ini.write(QStringLiteral("[General]\r\nRaidoURL=127.0.0.1\r\nRaidoPORT=%1\r\n").arg(sim.commandPort()).toLatin1());
    ini.close();

    QtPlatform platform;
    Program program(platform, dir.path());
    if (!program.start() || !RunUntil([&] { return !program.state().MenuState.isEmpty(); }, 10000)) {
        std::fprintf(stderr, "the program did not reach the radio\n");
        return 1;
    }
    int index = -1;
    for (size_t i = 0; i < program.macros().Macros.size(); ++i) {
        if (program.macros().Macros[i].Name == name) {
            index = int(i);
            break;
        }
    }
    if (index < 0) {
        std::fprintf(stderr, "no macro named %s\n", qPrintable(name));
        return 1;
    }

    MacroRunner &runner = program.macroRunner();
    QElapsedTimer since;
    since.start();
    if (qEnvironmentVariableIsSet("TIMELINE")) {
        QObject::connect(&program.link().view, &RadioView::macroTrace, [&](const QString &t) {
            std::printf("%lld link %s\n", since.elapsed(), qPrintable(QString(t).simplified()));
        });
        QObject::connect(&runner, &MacroRunner::traceAppended, [&](const QString &t) {
            std::printf("%lld runner %s\n", since.elapsed(), qPrintable(QString(t).simplified()));
        });
    }
    for (int run = 0; run < runs; ++run) {
        sim.model().handle(QStringLiteral("HOME"));
        RunUntil([] { return false; }, 1500); // the program sees the radio on its main menu again
        QElapsedTimer clock;
        clock.start();
        runner.Start(index);
        if (!RunUntil([&] { return !runner.running(); }, 120000)) {
            std::fprintf(stderr, "the run did not end\n");
            return 1;
        }
        const qint64 wall = clock.elapsed();
        if (qEnvironmentVariableIsSet("TIMELINE")) {
            for (const auto &c : sim.commands()) {
                std::printf("%lld %d %s\n", c.msSinceStart, c.connection, c.command.constData());
            }
            sim.clearCommands();
        }
        const QString trace = runner.MacroText();
        const Designed d = designedWaits(trace);
        const bool finished = trace.endsWith(QStringLiteral("MACRO FINISHED\r\n"));
        std::printf("%s run %d: %s, wall %lld ms, designed %lld ms (%d commands, %d answered tests, %lld ms pauses), "
                    "ratio %.2f\n",
                    qPrintable(name), run + 1, finished ? "finished" : "did not finish", wall, d.total(), d.commands,
                    d.answeredTests, d.pauses, double(wall) / double(d.total()));
    }
    return 0;
}
