#include "radio_link/AutomaticPoll.h"

#include "platform/Platform.h"
#include "radio_link/LinkView.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "settings/Timeouts.h"

AutomaticPoll::AutomaticPoll(Platform &platform, Telnet &telnet, RadioState &state, const Timeouts &timeouts,
                             const LinkSettings &settings)
    : m_telnet(telnet)
    , m_state(state)
    , m_timeouts(timeouts)
    , m_settings(settings)
    , m_timer(platform.createTimer()) {
    m_timer->setInterval(500);
    connect(m_timer.get(), &Timer::timeout, this, &AutomaticPoll::UpdateTimer_Timer);
    m_telnet.setUpdateTimer(m_timer.get());
}

AutomaticPoll::~AutomaticPoll() {
    m_telnet.setUpdateTimer(nullptr);
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
    m_timer->setInterval(100);
    if (m_settings.UpdateDisplayLabels && s.PollCountdown > -32768) {
        --s.PollCountdown;
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
    // The queue enables the timer again as soon as both its channels are empty. When this tick
    // queued nothing they are empty now: the countdown goes on at its 100 ms pace, not at the
    // pace of some later look at the queue.
    m_telnet.CompactQueues();
}
