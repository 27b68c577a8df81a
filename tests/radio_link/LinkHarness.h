#pragma once

#include "display/SkinTables.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"

#include <QString>
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

    // How the radio behaves.
    bool accept = true;        // connections are accepted at once
    bool completeSends = true; // sends complete at once
    qint64 replyDelay = 0;     // ms between a command and its reply
    std::function<std::optional<QString>(const QString &)> answer = [](const QString &) {
        return std::optional<QString>(QStringLiteral("ERR\r\n"));
    };

    std::vector<Sent> sent;

    LinkHarness() {
        // The reply tick and the refresh timer stay off unless a test starts them: most tests
        // look at the queue alone.
        link.view.TelnetData.clear();
    }

    FakeTcpSocket &port(int channel) { return *platform.sockets[size_t(channel)]; }
    qint64 now() const { return const_cast<FakePlatform &>(platform).fakeClock.nowMs(); }

    void react() {
        for (int c = 0; c < 2; ++c) {
            FakeTcpSocket &p = port(c);
            if (accept && p.state == TcpSocket::sckConnecting) {
                p.acceptConnection(QStringLiteral("192.168.1.119"));
            }
            while (size_t(p.sent.size()) > seen[size_t(c)]) {
                const QString command = p.sent[qsizetype(seen[size_t(c)]++)];
                sent.push_back({now(), c, command});
                if (completeSends) {
                    p.completeSends();
                }
                pendingReply[size_t(c)] = command;
                replyAt[size_t(c)] = now() + replyDelay;
            }
            if (p.state != TcpSocket::sckConnected) {
                pendingReply[size_t(c)].reset(); // the connection it came on is gone
            }
            if (pendingReply[size_t(c)] && now() >= replyAt[size_t(c)]) {
                const std::optional<QString> reply = answer(*pendingReply[size_t(c)]);
                pendingReply[size_t(c)].reset();
                if (reply) {
                    p.receive(*reply);
                    p.peerClose();
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

    QStringList commands(int channel = -1) const {
        QStringList list;
        for (const Sent &s : sent) {
            if (channel < 0 || s.channel == channel) {
                list << s.command;
            }
        }
        return list;
    }
    QList<qint64> times() const {
        QList<qint64> list;
        for (const Sent &s : sent) {
            list << s.at;
        }
        return list;
    }

    std::array<size_t, 2> seen{{0, 0}};
    std::array<std::optional<QString>, 2> pendingReply;
    std::array<qint64, 2> replyAt{{0, 0}};
};
