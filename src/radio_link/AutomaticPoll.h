#pragma once

#include "platform/Timer.h"

#include <QObject>

#include <memory>

class Platform;
class Telnet;
struct LinkSettings;
struct RadioState;
struct Timeouts;

// The display window's refresh timer (UpdateTimer) and its tick: redraw the emulated screen's
// labels and, when the poll countdown runs out, queue the status queries the device state asks
// for on the query channel. The timer switches itself off after a tick in which anything was
// wanted; the queue switches it on again when both channels are idle, so polls never pile up
// behind unanswered queries. Owned by the composition root (through RadioLink) until the display
// window exists; that window connects refreshDisplays() to its RefreshDisplays.
class AutomaticPoll : public QObject {
    Q_OBJECT
public:
    AutomaticPoll(Platform &platform, Telnet &telnet, RadioState &state, const Timeouts &timeouts,
                  const LinkSettings &settings);
    ~AutomaticPoll() override;

    Timer &UpdateTimer() { return *m_timer; }

    // Arms the timer as the display window does when it loads (500 ms first, 100 ms after).
    void start();

    // The tick; connected to the timer, public so tests can call it directly.
    void UpdateTimer_Timer();

    // An explicit refresh query: postpones the automatic poll by a full interval, then queues
    // the query on channel 1 (what the information panel's refresh menu does).
    void RefreshQuery(const QString &query);

Q_SIGNALS:
    void refreshDisplays();

private:
    void reloadPollCountdown();

    Telnet &m_telnet;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    const LinkSettings &m_settings;
    std::unique_ptr<Timer> m_timer;
};
