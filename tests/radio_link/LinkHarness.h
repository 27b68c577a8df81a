#pragma once

#include "radio_link/MacroSwitch.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"
#include "skin/SkinTables.h"
#include "support/FakePlatform.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <ostream>
#include <vector>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

// The radio link on fake time and fake sockets, with a scripted radio on the other end. Time
// moves one millisecond at a time and the radio reacts between steps, so every send is seen
// at the exact millisecond it happened.
struct LinkHarness {
    struct Sent {
        qint64 at;
        int channel;
        QString command;
    };
    FakePlatform platform;
    RadioState state;
    Timeouts timeouts;
    SkinTables skin;
    RadioLink link{platform, state, timeouts, skin};
    bool accept = true;          // the radio accepts connections at once
    bool closeAfterReply = true; // the radio closes the connection once it has answered
    qint64 replyDelay = 0;       // ms between a command and its reply
    std::function<std::optional<QString>(const QString &)> answer = [](const QString &) {
        return std::optional<QString>(QStringLiteral("ERR\r\n"));
    };
    std::vector<Sent> sent;
    // Commands written onto a connection that had carried one already.
    QStringList secondWrites;
    MacroSwitch macroRun; // no run unless a test says so
    // The reply tick and the refresh timer stay off unless a test starts them.
    LinkHarness() {
        link.view.TelnetData.clear();
        link.hooks.answerMacroQuestions(macroRun);
    }
    // The reply tick on, and only what the test queues goes to the radio: no polls, no labels.
    void quiet() {
        state.needs.FullRefreshDue = false;
        state.poll.PollCountdown = 10000;
        link.settings.UpdateDisplayLabels = false;
        link.connection.start();
    }
    void replyAll(const char *text) {
        answer = [text](const QString &) { return std::optional<QString>(text); };
    }
    FakeTcpSocket &port(int channel) { return *platform.sockets[size_t(channel)]; }
    void queue(int channel, const QStringList &commands) {
        for (const QString &command : commands) {
            link.telnet.QueueCommand(channel, command);
        }
    }

    void react() {
        for (size_t c = 0; c < 2; ++c) {
            FakeTcpSocket &p = port(int(c));
            if (accept && p.state == TcpSocket::sckConnecting) {
                p.acceptConnection(QStringLiteral("192.168.1.119"));
            }
            while (size_t(p.sent.size()) > seen[c]) {
                const QString command = p.sent[qsizetype(seen[c]++)];
                if (carrier[c] == p.connectCalls) {
                    secondWrites << command;
                }
                carrier[c] = p.connectCalls;
                sent.push_back({platform.fakeClock.nowMs(), int(c), command});
                p.completeSends();
                pendingReply[c] = command;
                replyAt[c] = platform.fakeClock.nowMs() + replyDelay;
            }
            if (p.state != TcpSocket::sckConnected) {
                pendingReply[c].reset(); // the connection it came on is gone
            }
            if (pendingReply[c] && platform.fakeClock.nowMs() >= replyAt[c]) {
                const std::optional<QString> reply = answer(*pendingReply[c]);
                pendingReply[c].reset();
                if (reply) {
                    p.receive(*reply);
                    if (closeAfterReply) {
                        p.peerClose();
                    }
                }
            }
        }
    }

    void run(qint64 ms) {
        for (qint64 i = 0; i < ms; ++i) {
            react();
            platform.fakeClock.advance(1);
        }
        react();
    }

    // What the radio received, in order; with the millisecond of each when timed.
    QStringList commands(int channel = -1, bool timed = false) const {
        QStringList list;
        for (const Sent &s : sent) {
            if (channel < 0 || s.channel == channel) {
                list << (timed ? QString::number(s.at) + ' ' + s.command : s.command);
            }
        }
        return list;
    }
    // The poll flags as letters: N menu, I list, M meta, V volume, S state, R version, A all.
    static constexpr std::pair<char, bool RadioState::PollNeeds::*> Flags[] = {
        {'N', &RadioState::PollNeeds::NeedMenu},      {'I', &RadioState::PollNeeds::NeedList},
        {'M', &RadioState::PollNeeds::NeedMeta},      {'V', &RadioState::PollNeeds::NeedVolume},
        {'S', &RadioState::PollNeeds::NeedState},     {'R', &RadioState::PollNeeds::NeedVersion},
        {'A', &RadioState::PollNeeds::FullRefreshDue}};
    void need(const QString &letters) {
        for (const auto &[letter, flag] : Flags) {
            state.needs.*flag = letters.contains(QLatin1Char(letter));
        }
    }
    QString needs() const {
        QString letters;
        for (const auto &[letter, flag] : Flags) {
            letters += state.needs.*flag ? QString(QLatin1Char(letter)) : QString();
        }
        return letters;
    }
    // What the radio has seen of each port and the reply it owes.
    std::array<size_t, 2> seen{{0, 0}};
    std::array<std::optional<QString>, 2> pendingReply;
    std::array<qint64, 2> replyAt{{0, 0}};
    std::array<int, 2> carrier{{-1, -1}}; // the connection (by connect count) that last carried a command
};
