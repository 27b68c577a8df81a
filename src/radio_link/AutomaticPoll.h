#pragma once

#include "platform/Timer.h"

#include <QFlags>
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
// wanted; the queue switches it on again when both channels are idle (linkIdle), so polls never
// pile up behind unanswered queries. The countdown counts ticks of 100 ms, but the timer does not
// fire for each: it sleeps through as many as are left (up to a second) and counts them at once.
//
// The poll owns its timer. Other parts say what they want of it, never how the timer should be
// set: kick() for a refresh in a moment, refreshIn() after a navigation, stop() on an error
// screen, hold()/release() around connection attempts, askFor() and pollNow() for queries.
// Owned by the composition root (through RadioLink); the display window connects
// refreshDisplays() to its RefreshDisplays.
class AutomaticPoll : public QObject {
    Q_OBJECT
public:
    AutomaticPoll(Platform &platform, Telnet &telnet, RadioState &state, const Timeouts &timeouts,
                  const LinkSettings &settings);
    ~AutomaticPoll() override;

    // The queries a tick can ask for; raised with askFor(), read and lowered by the tick and by
    // the decoder as the screen's poll letters say.
    enum class Query : unsigned {
        Menu = 1 << 0,
        List = 1 << 1,
        Meta = 1 << 2,
        Volume = 1 << 3,
        Version = 1 << 4,
        State = 1 << 5,
    };
    Q_DECLARE_FLAGS(Queries, Query)

    // For tests and the idle benchmark, which look at the timer or fire it; the program's parts
    // use the calls below.
    Timer &UpdateTimer() { return *m_timer; }

    // Arms the timer as the display window does when it loads (500 ms first, 100 ms after).
    void start();

    // A tick in KickMs from now, whatever the timer was doing: the display follows a macro's
    // step at once instead of at the next second.
    void kick();
    // A tick in KickMs, enabling the timer if it was off; a kick already on its way keeps its
    // time (the link wants fresh values after it emptied its query channel).
    void kickUnlessKicked();
    // The next tick of a running timer comes ms from now (after a navigation, the display
    // catches up quickly); a stopped timer keeps the interval until it is woken.
    void refreshIn(int ms);
    // No ticks until the link next falls idle (an error screen on the radio).
    void stop();
    // No ticks while connection attempts run: they would queue polls behind a link that is not
    // there. release() puts the timer back as hold() found it. Not nested: the caller counts.
    void hold();
    void release();

    // The next tick asks the radio for these (the tick lowers nothing; the decoder decides what
    // the screen keeps wanting).
    void askFor(Queries queries);
    // The countdown runs out at the next tick: what is wanted is asked for then.
    void pollNow() { pollIn(0); }
    // The countdown runs out after ticks ticks.
    void pollIn(qint16 ticks);
    // The next poll asks for everything, each once, whatever the screen wants.
    void askForAll();
    // The next poll asks only for what the screen wants; a full refresh that was due is dropped.
    void dropFullRefresh();
    // The next full refresh comes a whole interval of a radio that is on from now (a macro's
    // steps keep it away while the radio is busy with them).
    void deferFullRefresh();
    // A key went to the radio: the next tick asks where the radio now is (its menu), and the
    // full refresh waits a whole interval (of a radio that is on, or in standby).
    void followKey();
    // The countdown starts again from a whole interval (the standby interval while the radio
    // sleeps): an explicit query or a paused display has just made the next poll pointless.
    void postpone();
    // Nothing is wanted any more (a new screen is being built and asks for what it shows).
    void forgetQueries();

    static constexpr int KickMs = 20;

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
    int ticksToSleep() const;
    void armSleep();

    Telnet &m_telnet;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    const LinkSettings &m_settings;
    std::unique_ptr<Timer> m_timer;
    int m_sleepTicks = 1; // ticks the timer's present interval stands for
    bool m_enabledBeforeHold = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(AutomaticPoll::Queries)
