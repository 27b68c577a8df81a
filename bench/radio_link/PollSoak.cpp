// A long run of automatic polls, compressed: the radio link and the main window's terminal view
// on fake time and fake sockets, a radio answering every query at once. Prints the resident
// memory at the start, along the way and at the end.
//   radio_link_poll_soak [POLLS]     default 36000: an hour at ten polls a second
// The resident size should stay flat (within a couple of MB) however many polls run.

#include "main_window/CommandList.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"
#include "skin/SkinTables.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>

#include <cstdio>

namespace {

qint64 residentKb() {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return -1;
}

const QHash<QString, QString> Answers{
    {QStringLiteral("MINFO"), QStringLiteral("Menu state=5 mp=1 ms=1 title=Now playing\r\n")},
    {QStringLiteral("VOLUME"), QStringLiteral("VOL=35\r\n")},
    {QStringLiteral("LISTINFO"), QStringLiteral("List pos=3 1=Radio One 2=Jazz FM 3=Classic 4=News 24\r\n")},
    {QStringLiteral("METAINFO"),
     QStringLiteral("Meta title=Song artist=Artist album=Album url=http://host/stream status=playing\r\n")},
    {QStringLiteral("STATE"), QStringLiteral("STATE=ON\r\n")},
    {QStringLiteral("VERSION"), QStringLiteral("VER=3.1.7\r\n")},
};

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 polls = argc > 1 ? QByteArray(argv[1]).toLongLong() : 36000;

    FakePlatform platform;
    RadioState state;
    Timeouts timeouts;
    timeouts.PollWhenOn = 1; // a poll on every 100 ms tick of the refresh timer
    SkinTables skin;
    for (int i = 0; i <= 40; ++i) {
        skin.StateTable[size_t(i)] = StateTableEntry{QString::number(i), QStringLiteral("Screen %1").arg(i),
                                                     QStringLiteral("s%1").arg(i), QStringLiteral("IMV")};
    }
    RadioLink link(platform, state, timeouts, skin);
    link.hooks.answerMacroQuestions(NoMacroRuns());
    link.settings.txtUrl = QStringLiteral("192.168.1.119");
    CommandList commands;
    ConfigForm form(commands);
    QObject::connect(&link.view, &RadioView::changed, &form, [&] { form.setTerminalText(link.view.TelnetData); });
    link.start();

    std::array<qsizetype, 2> seen{{0, 0}};
    qint64 answered = 0;
    const auto react = [&] {
        for (int c = 0; c < 2; ++c) {
            FakeTcpSocket &port = *platform.sockets[size_t(c)];
            if (port.state == TcpSocket::sckConnecting) {
                port.acceptConnection(QStringLiteral("192.168.1.119"));
            }
            if (port.sent.size() > seen[size_t(c)]) {
                const QString command = port.sent[seen[size_t(c)]];
                port.sent.clear();
                seen[size_t(c)] = 0;
                port.completeSends();
                port.receive(Answers.value(command, QStringLiteral("OK\r\n")));
                port.peerClose();
                ++answered;
            }
        }
    };

    QElapsedTimer wall;
    wall.start();
    const qint64 startKb = residentKb();
    std::printf("polls      simulated s   resident kB\n%10d %13d %13lld\n", 0, 0, startKb);
    // Warm up (caches, the view filled to its limit) before the baseline counts.
    qint64 baselineKb = -1;
    qint64 pollsDone = 0;
    qint64 lastQueries = 0;
    while (pollsDone < polls) {
        react();
        platform.fakeClock.advance(5);
        QCoreApplication::processEvents();
        // Every 100 ms of fake time is one refresh tick, and with PollWhenOn = 1 one poll.
        const qint64 ticks = platform.fakeClock.nowMs() / 100;
        if (ticks > pollsDone) {
            pollsDone = ticks;
            if (pollsDone == 600) {
                baselineKb = residentKb();
                std::printf("%10lld %13lld %13lld  (baseline after a warm-up minute)\n", pollsDone, pollsDone / 10,
                            baselineKb);
            } else if (pollsDone % 6000 == 0) {
                std::printf("%10lld %13lld %13lld  %lld queries answered\n", pollsDone, pollsDone / 10, residentKb(),
                            answered - lastQueries);
                lastQueries = answered;
            }
        }
    }
    const qint64 endKb = residentKb();
    std::printf("end: %lld polls, %lld queries answered, resident %lld kB (start %lld kB, baseline %lld kB, "
                "growth %lld kB), %.1f s\n",
                pollsDone, answered, endKb, startKb, baselineKb, endKb - baselineKb, double(wall.elapsed()) / 1000.0);
    return 0;
}
