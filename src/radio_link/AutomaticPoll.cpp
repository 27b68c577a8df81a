#include "radio_link/AutomaticPoll.h"

#include "platform/Platform.h"
#include "radio_link/LinkHooks.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "session/RadioView.h"
#include "settings/Timeouts.h"

#include <algorithm>

AutomaticPoll::AutomaticPoll(Platform &platform, Telnet &telnet, RadioState &state, const Timeouts &timeouts,
                             const LinkSettings &settings)
    : m_telnet(telnet)
    , m_state(state)
    , m_timeouts(timeouts)
    , m_settings(settings)
    , m_timer(platform.createTimer()) {
    m_timer->setInterval(500);
    connect(m_timer.get(), &Timer::timeout, this, &AutomaticPoll::UpdateTimer_Timer);
    m_telnet.whenIdle([this] { linkIdle(); });
}

AutomaticPoll::~AutomaticPoll() {
    m_telnet.whenIdle({});
}

int AutomaticPoll::ticksToSleep() const {
    if (!m_settings.UpdateDisplayLabels) {
        return MaxTicksAsleep; // nothing counts down; only the display's labels are refreshed
    }
    return std::clamp<int>(m_state.poll.PollCountdown, 1, MaxTicksAsleep);
}

void AutomaticPoll::armSleep() {
    m_sleepTicks = ticksToSleep();
    m_timer->setInterval(TickMs * m_sleepTicks);
}

void AutomaticPoll::linkIdle() {
    if (!m_timer->isEnabled()) {
        armSleep();
        m_timer->setEnabled(true);
    } else if (m_timer->interval() == TickMs * m_sleepTicks && ticksToSleep() < m_sleepTicks) {
        // The countdown was shortened while the timer slept (a screen change, a failed
        // connection): wake sooner. A timer somebody else set (a 20 ms kick) is left alone.
        armSleep();
    }
}

void AutomaticPoll::start() {
    m_timer->setEnabled(true);
}

void AutomaticPoll::kick() {
    m_timer->setEnabled(false);
    m_timer->setInterval(KickMs);
    m_timer->setEnabled(true);
}

void AutomaticPoll::kickUnlessKicked() {
    m_timer->setInterval(KickMs); // restarts the count unless the interval is KickMs already
    m_timer->setEnabled(true);
}

void AutomaticPoll::refreshIn(int ms) {
    m_timer->setInterval(ms);
}

void AutomaticPoll::stop() {
    m_timer->setEnabled(false);
}

void AutomaticPoll::hold() {
    m_enabledBeforeHold = m_timer->isEnabled();
    m_timer->setEnabled(false);
}

void AutomaticPoll::release() {
    m_timer->setEnabled(m_enabledBeforeHold);
}

void AutomaticPoll::askFor(Queries queries) {
    RadioState::PollNeeds &needs = m_state.needs;
    needs.NeedMenu = needs.NeedMenu || queries.testFlag(Query::Menu);
    needs.NeedList = needs.NeedList || queries.testFlag(Query::List);
    needs.NeedMeta = needs.NeedMeta || queries.testFlag(Query::Meta);
    needs.NeedVolume = needs.NeedVolume || queries.testFlag(Query::Volume);
    needs.NeedVersion = needs.NeedVersion || queries.testFlag(Query::Version);
    needs.NeedState = needs.NeedState || queries.testFlag(Query::State);
}

void AutomaticPoll::pollIn(qint16 ticks) {
    m_state.poll.PollCountdown = ticks;
}

void AutomaticPoll::askForAll() {
    m_state.needs.FullRefreshDue = true;
}

void AutomaticPoll::dropFullRefresh() {
    m_state.needs.FullRefreshDue = false;
}

void AutomaticPoll::deferFullRefresh() {
    m_state.poll.FullRefreshCountdown = m_timeouts.CheckAllOn;
}

void AutomaticPoll::followKey() {
    dropFullRefresh();
    m_state.poll.FullRefreshCountdown = m_state.poll.RadioStandby ? m_timeouts.CheckAllOff : m_timeouts.CheckAllOn;
    pollNow();
    askFor(Query::Menu);
}

void AutomaticPoll::postpone() {
    m_state.poll.PollCountdown = m_state.poll.RadioStandby ? m_timeouts.PollWhenOff : m_timeouts.PollWhenOn;
}

void AutomaticPoll::forgetQueries() {
    RadioState::PollNeeds &needs = m_state.needs;
    needs.NeedList = needs.NeedMeta = needs.NeedMenu = needs.NeedState = needs.NeedVolume = needs.NeedVersion = false;
}

void AutomaticPoll::RefreshQuery(const QString &query) {
    postpone();
    m_telnet.QueueCommand(1, query);
}

void AutomaticPoll::UpdateTimer_Timer() {
    RadioState &s = m_state;
    // The ticks this firing stands for: those it slept through, or one when somebody else set
    // the timer (the first, longer tick; a kick for an immediate refresh).
    const int ticks = m_timer->interval() == TickMs * m_sleepTicks ? m_sleepTicks : 1;
    m_timer->setInterval(TickMs);
    if (m_settings.UpdateDisplayLabels) {
        s.poll.PollCountdown = qint16(std::max(int(s.poll.PollCountdown) - ticks, -32768));
    }
    Q_EMIT refreshDisplays();

    if (s.poll.PollCountdown <= 0) {
        m_timer->setEnabled(false);
        --s.poll.FullRefreshCountdown;
        if (s.poll.FullRefreshCountdown <= 0) {
            s.poll.FullRefreshCountdown = s.poll.RadioStandby ? m_timeouts.CheckAllOff : m_timeouts.CheckAllOn;
            s.needs.FullRefreshDue = true;
        }
        if (s.needs.FullRefreshDue) {
            // Everything, each once: a second VOLUME or MINFO in the same refresh only made the
            // radio answer the same question twice.
            for (const char *query : {"MINFO", "VOLUME", "METAINFO", "LISTINFO", "STATE", "VERSION"}) {
                RefreshQuery(QLatin1String(query));
            }
        } else {
            if (s.needs.NeedVolume) {
                RefreshQuery(QStringLiteral("VOLUME"));
            }
            if (s.needs.NeedList) {
                RefreshQuery(QStringLiteral("MINFO"));
                RefreshQuery(QStringLiteral("LISTINFO"));
            }
            if (s.needs.NeedMeta) {
                RefreshQuery(QStringLiteral("MINFO"));
                RefreshQuery(QStringLiteral("METAINFO"));
            }
            if (!s.needs.NeedList && !s.needs.NeedMeta) {
                if (s.needs.NeedMenu) {
                    RefreshQuery(QStringLiteral("MINFO"));
                }
            } else if (s.needs.NeedVolume) {
                RefreshQuery(QStringLiteral("VOLUME"));
            }
            if (s.needs.NeedState) {
                RefreshQuery(QStringLiteral("STATE"));
            }
            if (s.needs.NeedVersion) {
                RefreshQuery(QStringLiteral("VERSION"));
            }
        }
        postpone();
        s.needs.FullRefreshDue = false;
    }

    m_timer->setEnabled(false);
    if (s.poll.PollCountdown <= 0) {
        postpone();
    }
    if (!s.needs.NeedMenu && !s.needs.NeedList && !s.needs.NeedMeta && !s.needs.NeedState && !s.needs.NeedVersion &&
        !s.needs.NeedVolume) {
        s.needs.FullRefreshDue = false;
        s.needs.NeedMenu = true;
        postpone();
        m_timer->setEnabled(true);
    }
    // Rather than firing every 100 ms to count one tick down, the timer sleeps through the
    // ticks until the poll is due (a second at most, for the display's clock).
    armSleep();
    // The queue enables the timer again as soon as both its channels are empty. When this tick
    // queued nothing they are empty now: the countdown goes on at once, not at some later look
    // at the queue.
    m_telnet.CompactQueues();
}
