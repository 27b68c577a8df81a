// The console under a flood: how fast text goes through the line rules, and what a flood
// costs the program's one thread, with the bound on what the console keeps checked on the way
// (a run that exceeds it ends with an error).
//   console_flood_bench
//   console_flood_bench --benchmark_filter=FloodSecond

#include "console/ConsoleForm.h"
#include "console/ConsoleLines.h"
#include "console/ConsoleMonitor.h"
#include "platform/ConnectAttempt.h"
#include "settings/Timeouts.h"
#include "support/FakePlatform.h"

#include <QApplication>

#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype LineLength = 64 * 1024;

// 64 KiB lines of log-like filler, with a fetch, a player start and a playing line among
// them, so the rules fire now and then as they would on a real console.
QString FloodText(qsizetype lines) {
    const QString filler = QStringLiteral("mplayer: cache fill: 12.34%% (123456 bytes)  A:  17.3 (17.2) of 0.0 ");
    QString text;
    text.reserve(lines * LineLength);
    for (qsizetype i = 0; i < lines; ++i) {
        QString line;
        switch (i % 16) {
        case 5:
            line = QStringLiteral("cURL: http://flood.example/%1.pls").arg(i);
            break;
        case 9:
            line = QStringLiteral("Starting mplayer : [mplayer -cache 320 http://flood.example/%1]").arg(i);
            break;
        case 13:
            line = QStringLiteral("Playing http://flood.example/%1").arg(i);
            break;
        default:
            break;
        }
        while (line.size() < LineLength - 2) {
            line += QStringView(filler).left(LineLength - 2 - line.size());
        }
        text += line + QStringLiteral("\r\n");
    }
    return text;
}

// The line reader alone, fed in packets of the given size: characters per second through the
// line cutting and the rules. The per-character cost must not depend on the packet size.
void ReaderFeed(benchmark::State &st) {
    const QString text = FloodText(64); // 4 Mi characters
    const qsizetype packet = st.range(0);
    ConsoleLineReader reader;
    qsizetype mostWaiting = 0;
    for (auto _ : st) {
        for (qsizetype at = 0; at < text.size(); at += packet) {
            reader.feed(QStringView(text).mid(at, std::min(packet, text.size() - at)));
            mostWaiting = std::max(mostWaiting, reader.pendingLength());
        }
    }
    if (reader.summary().Playing.isEmpty() || mostWaiting > ConsoleLineReader::MaxLineLength) {
        st.SkipWithError("a playing line was missed, or a waiting line grew past its bound");
    }
    st.SetBytesProcessed(st.iterations() * text.size());
    st.counters["most waiting chars"] = double(mostWaiting);
}

struct FakeConsole {
    FakePlatform platform;
    Timeouts timeouts;
    ConnectExtraTime connectExtra;
    ConsoleMonitor monitor{platform, timeouts, connectExtra};
    FakeTcpSocket &socket = *platform.sockets.at(0);
    FakeConsole() {
        monitor.ConsoleAddress = QStringLiteral("127.0.0.1");
        monitor.ConsoleText_DblClick();
        socket.acceptConnection();
    }
};

// One second of a console flooding at the given rate (MB/s) in 64 KiB packets, in fake time:
// the arrivals, the twenty 50 ms ticks and the window's redraws, as the program wires them. The
// time per iteration is what one second of such a flood costs the thread (1 s would be a whole
// core), not counting the socket's own reading.
void FloodSecond(benchmark::State &st) {
    const QString flood = FloodText(64);
    const qsizetype perSecond = st.range(0) * 1000 * 1000 / 2; // characters, from bytes
    const bool withWindow = st.range(1) != 0;
    FakeConsole c;
    ConsoleForm form;
    int renders = 0;
    if (withWindow) {
        QObject::connect(&c.monitor, &ConsoleMonitor::changed, &form, [&] {
            form.render(c.monitor);
            ++renders;
        });
    }
    const int ticks = 1000 / ConsoleMonitor::CheckInterval;
    const qsizetype perTick = perSecond / ticks;
    qsizetype at = 0;
    qsizetype mostKept = 0;
    for (auto _ : st) {
        for (int tick = 0; tick < ticks; ++tick) {
            for (qsizetype sent = 0; sent < perTick;) {
                const qsizetype n = std::min({LineLength, perTick - sent, flood.size() - at});
                c.socket.receive(flood.mid(at, n));
                at = (at + n) % flood.size();
                sent += n;
            }
            mostKept = std::max(mostKept, c.monitor.keptCharacters());
            c.platform.fakeClock.advance(ConsoleMonitor::CheckInterval);
        }
    }
    if (mostKept > ConsoleMonitor::KeptCharactersBound) {
        st.SkipWithError("the console kept more than its bound");
    }
    st.SetBytesProcessed(st.iterations() * perSecond * 2);
    st.counters["most kept chars"] = double(mostKept);
    st.counters["bound chars"] = double(ConsoleMonitor::KeptCharactersBound);
    st.counters["renders/s"] = double(renders) / double(st.iterations());
    st.counters["dropped %"] =
        100.0 * double(c.monitor.droppedCharacters()) / double(std::max<qint64>(1, st.iterations() * perSecond));
}

} // namespace

BENCHMARK(ReaderFeed)->Arg(16)->Arg(1460)->Arg(64 * 1024)->Unit(benchmark::kMillisecond);
BENCHMARK(FloodSecond)
    ->ArgsProduct({{2, 20, 200}, {0, 1}})
    ->ArgNames({"MBps", "window"})
    ->Unit(benchmark::kMillisecond);

// The window's text needs a GUI application's fonts; none is shown.
int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
