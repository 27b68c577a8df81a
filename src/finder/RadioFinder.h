#pragma once

#include "finder/FindNetworks.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <deque>
#include <memory>
#include <vector>

class Platform;
class TcpSocket;
class Timer;

// A radio that answered the finder as a radio does.
struct FoundRadio {
    quint32 address = 0;
    quint16 port = 0;
    QString version; // what followed "VER=" in its answer

    QString addressText() const { return Ipv4Text(address); }
};

// The query the finder sends, and whether an answer is the radio's: one line "VER=" and a
// version (1 to 32 printable characters, no blanks), nothing else.
inline constexpr char FinderQuery[] = "VERSION";
bool TakeVersionAnswer(const QByteArray &answer, QString &version);

// Looks for radios: connects to the command port of every address of the networks given, a
// bounded number at a time, asks each one VERSION and keeps those that answer as the radio
// does. Hosts that refuse, that take the connection and stay silent, or that answer something
// else are counted, not listed.
//
// Only private and loopback networks no wider than a /24 are searched (see FindNetworks.h):
// start() refuses anything else, and every address is checked again before it is asked.
//
// Time: a host has ConnectMs to take the connection and AnswerMs after that to answer; at most
// Parallel hosts are asked at once. A /24 where nobody answers is therefore done within about
// (254 / Parallel) x ConnectMs. Times run on the platform's timers, so tests drive them.
class RadioFinder : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int connectMs = 500;
        int answerMs = 1500;
        int parallel = 64;
    };
    struct Tally {
        int asked = 0;
        int found = 0;
        int refused = 0; // the connection was refused or failed
        int silent = 0;  // no connection or no answer in time
        int other = 0;   // an answer that is not the radio's (or a close without one)
    };

    explicit RadioFinder(Platform &platform, QObject *parent = nullptr);
    ~RadioFinder() override;

    void setLimits(const Limits &limits) { m_limits = limits; }
    const Limits &limits() const { return m_limits; }

    // Starts a search and returns at once; finished() comes when every address has been
    // asked (also when there was none). False, with the reason in error and nothing asked,
    // when a network may not be searched or a search is running.
    bool start(const QList<Ipv4Network> &networks, quint16 port, QString *error = nullptr);
    // Ends the search now; what was found so far stays, finished() does not come.
    void stop();
    bool isRunning() const { return m_running; }

    // The radios found so far, in the order they answered.
    const QList<FoundRadio> &found() const { return m_found; }
    const Tally &tally() const { return m_tally; }
    // Hosts being asked now.
    int asking() const;

Q_SIGNALS:
    void radioFound(const FoundRadio &radio);
    void finished();

private:
    struct Probe;
    enum class Outcome { Found, Refused, Silent, Other };

    void startNext(Probe &probe);
    void onConnected(Probe &probe);
    void onData(Probe &probe);
    void onClosed(Probe &probe);
    void onError(Probe &probe);
    void onDeadline(Probe &probe);
    // Judges what arrived once the answer is complete (a line end, the close).
    void judge(Probe &probe);
    void end(Probe &probe, Outcome outcome, const QString &version = QString());
    void finishIfDone();

    Platform &m_platform;
    Limits m_limits;
    std::vector<std::unique_ptr<Probe>> m_probes;
    std::deque<quint32> m_waiting;
    quint16 m_port = 0;
    QList<FoundRadio> m_found;
    Tally m_tally;
    bool m_running = false;
};
