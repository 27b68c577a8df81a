// Decoder throughput and the queue's pace over a loopback connection.
//   radio_link_bench                     all of it (a few seconds)
//   radio_link_bench --benchmark_filter=Decode

#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"
#include "skin/SkinTables.h"
#include "support/EventLoop.h"
#include "support/FakePlatform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

struct FakeLink {
    FakePlatform platform;
    RadioState state;
    Timeouts timeouts;
    SkinTables skin;
    RadioLink link{platform, state, timeouts, skin};
    FakeLink() {
        link.hooks.answerMacroQuestions(NoMacroRuns());
        for (int i = 0; i <= 40; ++i) {
            skin.StateTable[size_t(i)] = StateTableEntry{QString::number(i), QStringLiteral("Screen %1").arg(i),
                                                         QStringLiteral("screen%1").arg(i), QStringLiteral("IMV")};
            skin.MenuTable[size_t(i)] =
                MenuTableEntry{QStringLiteral("menu%1").arg(i), QStringLiteral("Item %1").arg(i), {}};
        }
    }
    void decode(const QString &reply) {
        link.telnet.Channels[1].LastReply = reply;
        link.decoder.DecodeReturn();
    }
};

void BM_Decode1000TypicalReplies(benchmark::State &st) {
    FakeLink f;
    const QStringList replies{
        QStringLiteral("Menu state=3 mp=1 ms=1 title=Stations\r\n"),
        QStringLiteral("List pos=9 1=Radio One 2=Jazz FM 3=Classic 4=News 24 5=Talk 6=Rock Hits 7=Chill\r\n"),
        QStringLiteral(
            "Meta title=Song Title artist=Some Artist album=The Album url=http://host/stream status=playing\r\n"),
        QStringLiteral("VOL=35\r\n"),
        QStringLiteral("STATE=ON\r\n"),
        QStringLiteral("VER=3.1.7\r\n"),
    };
    for (auto _ : st) {
        for (int i = 0; i < 1000; ++i) {
            f.decode(replies[i % replies.size()]);
        }
    }
    st.counters["replies/s"] = benchmark::Counter(1000.0 * double(st.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Decode1000TypicalReplies)->Unit(benchmark::kMillisecond);

void BM_DecodeOne64KiBReply(benchmark::State &st) {
    FakeLink f;
    QString reply = QStringLiteral("List pos=3");
    for (int k = 1; reply.size() < 64 * 1024 - 64; ++k) {
        reply += QStringLiteral(" %1=Entry number %1 with a longer name").arg(k);
    }
    reply += QStringLiteral("\r\n");
    for (auto _ : st) {
        f.decode(reply);
    }
    st.counters["bytes"] = double(reply.size());
}
BENCHMARK(BM_DecodeOne64KiBReply)->Unit(benchmark::kMillisecond);

// A radio that answers every command at once and closes ("OK" unless told otherwise).
class InstantRadio : public QObject {
public:
    QTcpServer server;
    std::vector<qint64> arrivals; // ns of the clock below, one per command
    std::vector<qint64> closes;   // ns at which each reply was written and the close begun
    QByteArray reply = "OK\r\n";
    QElapsedTimer clock;

    InstantRadio() {
        server.listen(QHostAddress::LocalHost, 0);
        clock.start();
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                s->setParent(this);
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    s->readAll();
                    arrivals.push_back(clock.nsecsElapsed());
                    s->write(reply);
                    s->disconnectFromHost();
                    closes.push_back(clock.nsecsElapsed());
                });
                QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
};

struct LoopbackLink {
    QtPlatform platform;
    RadioState state;
    Timeouts timeouts;
    SkinTables skin;
    RadioLink link{platform, state, timeouts, skin};
    explicit LoopbackLink(quint16 port) {
        link.hooks.answerMacroQuestions(NoMacroRuns());
        link.settings.txtUrl = QStringLiteral("127.0.0.1");
        link.settings.txtPort = QString::number(port);
        state.needs.FullRefreshDue = false;
        state.poll.PollCountdown = 30000;
        link.connection.start();
    }
};

// The loopback runs need an application object for their event loop.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "radio_link_bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

void BM_Pace100CommandsOverLoopback(benchmark::State &st) {
    ensureApplication();
    for (auto _ : st) {
        InstantRadio radio;
        LoopbackLink l(radio.server.serverPort());
        const qint64 start = radio.clock.nsecsElapsed();
        for (int i = 0; i < 100; ++i) {
            l.link.telnet.QueueCommand(0, QStringLiteral("K%1").arg(i));
        }
        RunUntil([&] { return radio.arrivals.size() >= 100; }, 20000);
        // Nothing in the queue's rules spaces these commands: each goes as soon as the one
        // before it was answered, so the time is the radio's round trips alone.
        const double measured = double(radio.arrivals.back() - start) / 1e6;
        st.SetIterationTime(measured / 1000.0);
        st.counters["measured_ms"] = measured;
        st.counters["per_command_ms"] = measured / 100.0;
        st.counters["received"] = double(radio.arrivals.size());
    }
}
BENCHMARK(BM_Pace100CommandsOverLoopback)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FirstByteLatencyIdleLink(benchmark::State &st) {
    ensureApplication();
    for (auto _ : st) {
        InstantRadio radio;
        LoopbackLink l(radio.server.serverPort());
        std::vector<double> latencies;
        for (int i = 0; i < 20; ++i) {
            // Let the link fall idle for a while that varies (against any beat the queue might
            // keep), then time one command from queue to the radio.
            RunUntil([] { return false; }, 100 + (i * 13) % 75);
            const size_t before = radio.arrivals.size();
            const qint64 start = radio.clock.nsecsElapsed();
            l.link.telnet.QueueCommand(0, QStringLiteral("K"));
            RunUntil([&] { return radio.arrivals.size() > before; }, 3000);
            latencies.push_back(double(radio.arrivals.back() - start) / 1e6);
        }
        const Spread spread = SpreadOf(latencies);
        st.SetIterationTime(spread.mean / 1000.0);
        st.counters["min_ms"] = spread.min;
        st.counters["mean_ms"] = spread.mean;
        st.counters["max_ms"] = spread.max;
    }
}
BENCHMARK(BM_FirstByteLatencyIdleLink)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// From the radio's close to the reply decoded into the device state (the volume slider moved).
void BM_ReplyDecodedAfterClose(benchmark::State &st) {
    ensureApplication();
    for (auto _ : st) {
        InstantRadio radio;
        LoopbackLink l(radio.server.serverPort());
        std::vector<double> delays;
        qint64 decodedAt = 0;
        QObject::connect(&l.link.view, &RadioView::volumeAdjusterSet, &radio,
                         [&] { decodedAt = radio.clock.nsecsElapsed(); });
        for (int i = 0; i < 20; ++i) {
            RunUntil([] { return false; }, 50 + (i * 13) % 75);
            radio.reply = QStringLiteral("VOL=%1\r\n").arg(i + 1).toLatin1();
            decodedAt = 0;
            const size_t before = radio.closes.size();
            l.link.telnet.QueueCommand(1, QStringLiteral("VOLUME"));
            RunUntil([&] { return decodedAt != 0; }, 5000);
            if (decodedAt != 0 && radio.closes.size() > before) {
                delays.push_back(double(decodedAt - radio.closes[before]) / 1e6);
            }
        }
        if (delays.empty()) {
            st.SkipWithError("no reply was decoded");
            break;
        }
        const Spread spread = SpreadOf(delays);
        st.SetIterationTime(spread.mean / 1000.0);
        st.counters["mean_ms"] = spread.mean;
        st.counters["max_ms"] = spread.max;
    }
}
BENCHMARK(BM_ReplyDecodedAfterClose)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
