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
// behind unanswered queries. The countdown counts ticks of 100 ms, but the timer does not fire
// for each: it sleeps through as many as are left (up to a second) and counts them at once. Owned by the composition
// root (through RadioLink) until the display window exists; that window connects refreshDisplays() to its
// RefreshDisplays.
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

    // The queue has nothing left to send or to wait for (Telnet::CompactQueues): the timer runs
    // again, and wakes sooner when the countdown was shortened meanwhile.
    void linkIdle();

    static constexpr int TickMs = 100;
    // Ticks the timer sleeps through at most (the display's clock is refreshed at least once a
    // second).
    static constexpr int MaxTicksAsleep = 10;

    // An explicit refresh query: postpones the automatic poll by a full interval, then queues
    // the query on channel 1 (what the information panel's refresh menu does).
    void RefreshQuery(const QString &query);

Q_SIGNALS:
    void refreshDisplays();

private:
    void reloadPollCountdown();
    int ticksToSleep() const;
    void armSleep();

    Telnet &m_telnet;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    const LinkSettings &m_settings;
    std::unique_ptr<Timer> m_timer;
    int m_sleepTicks = 1; // ticks the timer's present interval stands for
};
