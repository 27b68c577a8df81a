#pragma once

#include <QObject>
#include <QString>

#include <memory>

class Platform;
class TcpSocket;
class Timer;

// The adaptive extra connect time. Every connection to the radio (the command link's two
// sockets and the console monitor's) waits Connect (from the Timeouts settings) plus this
// extra, and they all share one instance: a radio, or a name lookup, that is slow for one of
// them is slow for all. A failed attempt adds 0.1 s (starting again from 0 once past 3 s), a
// successful one gives 0.1 s back (not below 0).
struct ConnectExtraTime {
    float seconds = 0.0f;

    void failed() {
        seconds += 0.1f;
        if (seconds > 3.0f) {
            seconds = 0.0f;
        }
    }
    void succeeded() { seconds = seconds - 0.1f > 0.0f ? seconds - 0.1f : 0.0f; }
};

// One connect-with-deadline attempt on a socket, without blocking: start() returns at once and
// finished() reports the outcome, on a socket event or at the deadline. Reusable: one object
// per socket serves every attempt on it, one at a time.
//
//   ConnectAttempt attempt(platform, socket, extra);     // extra: the program's shared ConnectExtra
//   connect(&attempt, &ConnectAttempt::finished, this, [](bool connected, const QString &result) {
//       statusPanel3 = result; // "Open in 0.02 sec [0.5]" or "Fail in 0.5 sec [0.5]"
//   });
//   attempt.start(host, port, timeouts.Connect);
//
// The rules, the same for every caller:
// - start() on a socket that is not connected closes it (a half-open or failed socket is reset)
//   and connects it from any free local port. A socket that is connected already is left as it
//   is; the attempt then ends at once as a success.
// - The attempt ends as soon as the socket is connected, closed (refused) or in error, and at
//   the latest connectSeconds + extra after start(). The attempt follows the socket's events by
//   itself; a caller that changes the socket's state without an event (Close(), say) calls
//   check() afterwards.
// - On failure the socket is closed and the extra grows; on success the extra shrinks.
// - finished() comes exactly once per started attempt, after the attempt is over (isActive()
//   is false, so a handler may start the next one), and never from inside start() unless the
//   socket was connected already or settled at once.
// The time is the platform's monotonic clock, so the deadline survives midnight and clock
// changes; tests drive it with FakePlatform.
class ConnectAttempt : public QObject {
    Q_OBJECT
public:
    ConnectAttempt(Platform &platform, TcpSocket &socket, ConnectExtraTime &extra, QObject *parent = nullptr);
    ~ConnectAttempt() override;

    // Starts an attempt. False, with nothing changed, while one is running: the caller joins it
    // by waiting for finished().
    bool start(const QString &host, quint16 port, float connectSeconds);
    bool isActive() const { return m_active; }
    // Ends the attempt now when the socket has settled or the deadline has passed.
    void check();

    // "Open in " or "Fail in ", the seconds waited rounded to two decimals, and the time-out in
    // brackets, each number as its shortest text: "Fail in 0.52 sec [0.5]".
    static QString resultText(bool connected, qint64 elapsedMs, float timeoutSeconds);

Q_SIGNALS:
    // connected: the socket is in state Connected; otherwise it has been closed.
    void finished(bool connected, const QString &result);

private:
    void armDeadline();
    void finish();

    Platform &m_platform;
    TcpSocket &m_socket;
    ConnectExtraTime &m_extra;
    std::unique_ptr<Timer> m_deadlineTimer;
    bool m_active = false;
    qint64 m_t0 = 0;
    qint64 m_deadline = 0;
    float m_timeoutShown = 0.0f;
};
