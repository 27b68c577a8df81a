// One reply of many short lines, as a radio with a long station list may send: the reply tick
// with the real decoder, the terminal and the main window's terminal view brought up to date.
//   radio_link_lines_bench
//   radio_link_lines_bench --benchmark_filter=Window

#include "main_window/CommandList.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"
#include "skin/SkinTables.h"
#include "support/FakePlatform.h"

#include <QApplication>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int Lines = 20000;

// The status lines of a radio that walks its station list: about 60 bytes a line on average,
// no two lists or titles alike.
QString manyLineReply(int lines) {
    const QStringList names{"Jazz FM Lounge", "Classic Rock Radio", "Smooth Jazz Nights", "Radio Nordlicht",
                            "City News 24",   "Blues Highway",      "Acid Jazz Cellar"};
    QString reply = QStringLiteral("VOL=20\r\n");
    for (int i = 0; i < lines; ++i) {
        switch (i % 5) {
        case 0:
            reply += QStringLiteral("Menu state=3 mp=1 ms=1 title=Stations\r\n");
            break;
        case 1:
        case 4:
            reply += QStringLiteral("VOL=%1\r\n").arg(20 + i % 3);
            break;
        case 2:
            reply += QStringLiteral("List pos=%1").arg(i);
            for (int k = 0; k < 7; ++k) {
                reply += QStringLiteral(" %1=%2 %3").arg(k + 1).arg(names[k]).arg(i / 7 + k);
            }
            reply += QStringLiteral("\r\n");
            break;
        default:
            reply += QStringLiteral("Meta title=Track %1 artist=Some Band album=Live url=http://streams.example.net/"
                                    "jazz.mp3 status=playing\r\n")
                         .arg(i);
        }
    }
    return reply;
}

// What the simulator's radio repeats on its main menu, where a list reply changes what the
// poll asks for (the main menu has no list): the decoder's derived work runs on every list.
QString mainMenuReply(int lines) {
    const QStringList cycle{QStringLiteral("Menu state=0 mp=1 ms=1 title=Main Menu\r\n"), QStringLiteral("VOL=20\r\n"),
                            QStringLiteral("List pos=0\r\n"),
                            QStringLiteral("Meta title= artist= album= url= status=stopped\r\n")};
    QString reply = QStringLiteral("VOL=20\r\n");
    for (int i = 0; i < lines; ++i) {
        reply += cycle[i % cycle.size()];
    }
    return reply;
}

struct Link {
    FakePlatform platform;
    RadioState state;
    Timeouts timeouts;
    SkinTables skin;
    RadioLink link{platform, state, timeouts, skin};
    Link() {
        link.hooks.answerMacroQuestions(NoMacroRuns());
        for (int i = 0; i <= 40; ++i) {
            skin.StateTable[size_t(i)] =
                StateTableEntry{QString::number(i), QStringLiteral("Screen %1").arg(i),
                                QStringLiteral("screen%1").arg(i), i == 0 ? QString() : QStringLiteral("IMV")};
            skin.MenuTable[size_t(i)] =
                MenuTableEntry{QStringLiteral("menu%1").arg(i), QStringLiteral("Item %1").arg(i), {}};
        }
        state.needs.FullRefreshDue = false;
        state.poll.PollCountdown = 30000;
    }
    // One reply tick with this reply finished on the query channel.
    void tick(const QString &reply) {
        link.telnet.Channels[1].Completed = reply;
        link.connection.Timer_CheckTelnet_Timer();
    }
};

void BM_ReplyOf20000Lines(benchmark::State &st) {
    Link l;
    const QString reply = manyLineReply(Lines);
    for (auto _ : st) {
        l.tick(reply);
    }
    st.counters["lines"] = Lines;
    st.counters["bytes"] = double(reply.size());
}
BENCHMARK(BM_ReplyOf20000Lines)->Unit(benchmark::kMillisecond);

void BM_MainMenuReplyOf20000Lines(benchmark::State &st) {
    Link l;
    const QString reply = mainMenuReply(Lines);
    for (auto _ : st) {
        l.tick(reply);
    }
    st.counters["bytes"] = double(reply.size());
}
BENCHMARK(BM_MainMenuReplyOf20000Lines)->Unit(benchmark::kMillisecond);

void ensureApplication() {
    static int argc = 1;
    static char name[] = "radio_link_lines_bench";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        new QApplication(argc, argv);
    }
}

// The main window with its terminal view following the link, as the program wires it.
struct TerminalFollowing {
    CommandList commands;
    ConfigForm form{commands};
    explicit TerminalFollowing(Link &l) {
        QObject::connect(&l.link.view, &RadioView::changed, &form,
                         [this, &l] { form.setTerminalText(l.link.view.TelnetData, l.link.view.terminalMark()); });
    }
};

// The same with the main window's terminal view following the link, as the program wires it.
void BM_ReplyOf20000LinesWithWindow(benchmark::State &st) {
    ensureApplication();
    Link l;
    TerminalFollowing window(l);
    const QString reply = manyLineReply(Lines);
    for (auto _ : st) {
        l.tick(reply);
    }
    st.counters["lines"] = Lines;
}
BENCHMARK(BM_ReplyOf20000LinesWithWindow)->Unit(benchmark::kMillisecond);

// The usual traffic: one short reply per tick, with the window.
void BM_OneLineRepliesWithWindow(benchmark::State &st) {
    ensureApplication();
    Link l;
    TerminalFollowing window(l);
    const QStringList replies{QStringLiteral("VOL=20\r\n"),
                              QStringLiteral("Menu state=3 mp=1 ms=1 title=Stations\r\n")};
    int i = 0;
    for (auto _ : st) {
        l.tick(replies[i++ % 2]);
    }
}
BENCHMARK(BM_OneLineRepliesWithWindow)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
