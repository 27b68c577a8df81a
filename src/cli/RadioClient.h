#pragma once

#include "cli/RadioAddress.h"
#include "platform/Platform.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class RadioSession;

// The radio session as a short-lived client uses it: the session on the program folder's
// settings and data, with the link's options a client needs, and one-shot waits on what the
// session tells (idle, the first full refresh, a change of status).
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

    // Whether any reply has come from the radio.
    bool answered() const { return m_answered; }

    // One-shot waits: the callback runs once, from the event loop, when the condition holds
    // (on the next turn of the loop when it already does). whenDrained: nothing asked of the
    // radio is on its way any more (RadioSession::idle), so the process may end without
    // losing or cutting off a command. whenRefreshed: the first full refresh is in.
    void whenDrained(std::function<void()> then);
    void whenRefreshed(std::function<void()> then);
    void when(std::function<bool()> condition, std::function<void()> then);

Q_SIGNALS:
    // The radio cannot be reached: a connection failed before it ever answered, or it has gone
    // offline. Emitted once per outage.
    void unreachable(const QString &why);

private:
    void scheduleCheck();
    void check();

    // No sound: a script or a timer that drives the radio must not make the computer chime at
    // every acknowledged key.
    QtPlatform m_platform{QtPlatform::Sounds::Silent};
    std::unique_ptr<RadioSession> m_session;
    bool m_checkQueued = false;
    bool m_answered = false;
    bool m_outage = false;
    struct Wait {
        std::function<bool()> condition;
        std::function<void()> then;
    };
    std::vector<Wait> m_waits;
};
