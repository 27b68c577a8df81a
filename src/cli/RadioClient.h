#pragma once

#include "cli/RadioAddress.h"
#include "platform/Platform.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class RadioSession;

// The radio session as a short-lived client uses it. Besides the session itself it tells the
// commands what the window program learns by looking: when everything asked for has gone out
// and been answered (so the process may end without losing or cutting off a command), when
// the first full refresh has come back, what the radio replied on the command channel, and
// that the radio cannot be reached.
//
// All of it is worked out from the session's public members (the link's queues, connection,
// view and trace), and every look is taken after the link's own handler has returned, never in
// the middle of one: a reply handed to the trace is decoded a moment later in the same handler.
class RadioClient : public QObject {
    Q_OBJECT
public:
    // Reads the settings (the radio's address, the link's options) and the data files (skin
    // tables, timeouts, macros) of the program folder; writes nothing there.
    explicit RadioClient(const QString &programFolder, QObject *parent = nullptr);
    ~RadioClient() override;

    RadioSession &session() { return *m_session; }
    const RadioSession &session() const { return *m_session; }

    // The radio to talk to instead of the one the settings name.
    void setAddress(const RadioAddress &address);
    // The address the link will use; error() set when the settings name no usable radio.
    RadioAddress address() const;

    // Connects and starts the automatic poll.
    void start();

    // Nothing the client asked for is on its way any more: the command queue is empty, its
    // gap after the last key has passed, no connection is being opened or carries a command,
    // and no reply waits to be decoded. Queries the automatic poll has queued but not sent
    // may remain; they are the client's own and harmless to drop.
    bool drained() const;
    // Whether any reply has come from the radio.
    bool answered() const { return m_answered; }
    // The first full refresh (every value the poll asks for) has been answered and decoded.
    bool refreshed() const;

    // One-shot waits: the callback runs once, from the event loop, when the condition holds
    // (at once, on the next turn of the loop, when it already does).
    void whenDrained(std::function<void()> then);
    void whenRefreshed(std::function<void()> then);
    void when(std::function<bool()> condition, std::function<void()> then);

Q_SIGNALS:
    // The radio cannot be reached: a connection failed before it ever answered (refused, no
    // such host, nobody there within the connect time-out), or the link has found it offline.
    // Emitted once per outage.
    void unreachable(const QString &why);
    // A reply to a command sent on the command channel, as the radio sent it.
    void commandReplied(const QString &reply);
    // The decoded state may have changed.
    void stateChanged();

private:
    void onTrace(const QString &text);
    void scheduleCheck();
    void check();
    void checkReachable();

    // No sound: a script or a timer that drives the radio must not make the computer chime at
    // every acknowledged key.
    QtPlatform m_platform{QtPlatform::Sounds::Silent};
    std::unique_ptr<RadioSession> m_session;
    QTimer m_backstop;
    bool m_checkQueued = false;
    bool m_answered = false;
    bool m_replyTakenThisTick = false;
    bool m_versionAsked = false;
    bool m_outage = false;
    struct Wait {
        std::function<bool()> condition;
        std::function<void()> then;
    };
    std::vector<Wait> m_waits;
};
