#include "radio_link/AutomaticPoll.h"

#include "platform/Platform.h"
#include "radio_link/LinkView.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
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
    m_telnet.setPoll(this);
}

AutomaticPoll::~AutomaticPoll() {
    m_telnet.setPoll(nullptr);
}

int AutomaticPoll::ticksToSleep() const {
    if (!m_settings.UpdateDisplayLabels) {
        return MaxTicksAsleep; // nothing counts down; only the display's labels are refreshed
    }
    return std::clamp<int>(m_state.PollCountdown, 1, MaxTicksAsleep);
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

void AutomaticPoll::reloadPollCountdown() {
    m_state.PollCountdown = m_state.RadioStandby ? m_timeouts.PollWhenOff : m_timeouts.PollWhenOn;
}

void AutomaticPoll::RefreshQuery(const QString &query) {
    reloadPollCountdown();
    m_telnet.QueueCommand(1, query);
}

void AutomaticPoll::UpdateTimer_Timer() {
    RadioState &s = m_state;
    // The ticks this firing stands for: those it slept through, or one when somebody else set
    // the timer (the first, longer tick; a kick for an immediate refresh).
    const int ticks = m_timer->interval() == TickMs * m_sleepTicks ? m_sleepTicks : 1;
    m_timer->setInterval(TickMs);
    if (m_settings.UpdateDisplayLabels) {
        s.PollCountdown = qint16(std::max(int(s.PollCountdown) - ticks, -32768));
    }
    Q_EMIT refreshDisplays();

    if (s.PollCountdown <= 0) {
        m_timer->setEnabled(false);
        --s.FullRefreshCountdown;
        if (s.FullRefreshCountdown <= 0) {
            s.FullRefreshCountdown = s.RadioStandby ? m_timeouts.CheckAllOff : m_timeouts.CheckAllOn;
            s.FullRefreshDue = true;
        }
        if (s.FullRefreshDue) {
            // Everything, each once: a second VOLUME or MINFO in the same refresh only made the
            // radio answer the same question twice.
            for (const char *query : {"MINFO", "VOLUME", "METAINFO", "LISTINFO", "STATE", "VERSION"}) {
                RefreshQuery(QLatin1String(query));
            }
        } else {
            if (s.NeedVolume) {
                RefreshQuery(QStringLiteral("VOLUME"));
            }
            if (s.NeedList) {
                RefreshQuery(QStringLiteral("MINFO"));
                RefreshQuery(QStringLiteral("LISTINFO"));
            }
            if (s.NeedMeta) {
                RefreshQuery(QStringLiteral("MINFO"));
                RefreshQuery(QStringLiteral("METAINFO"));
            }
            if (!s.NeedList && !s.NeedMeta) {
                if (s.NeedMenu) {
                    RefreshQuery(QStringLiteral("MINFO"));
                }
            } else if (s.NeedVolume) {
                RefreshQuery(QStringLiteral("VOLUME"));
            }
            if (s.NeedState) {
                RefreshQuery(QStringLiteral("STATE"));
            }
            if (s.NeedVersion) {
                RefreshQuery(QStringLiteral("VERSION"));
            }
        }
        reloadPollCountdown();
        s.FullRefreshDue = false;
    }

    m_timer->setEnabled(false);
    if (s.PollCountdown <= 0) {
        reloadPollCountdown();
    }
    if (!s.NeedMenu && !s.NeedList && !s.NeedMeta && !s.NeedState && !s.NeedVersion && !s.NeedVolume) {
        s.FullRefreshDue = false;
        s.NeedMenu = true;
        reloadPollCountdown();
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
