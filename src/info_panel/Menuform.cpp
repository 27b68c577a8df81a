#include "info_panel/Menuform.h"

#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "settings/Timeouts.h"

Menuform::Menuform(Telnet &telnet, RadioState &state, const Timeouts &timeouts)
    : m_telnet(telnet)
    , m_state(state)
    , m_timeouts(timeouts) {}

void Menuform::ClearCaptures() {
    m_state.poll.PollCountdown = m_state.poll.RadioStandby ? m_timeouts.PollWhenOff : m_timeouts.PollWhenOn;
}

void Menuform::refresh(const QString &query) {
    ClearCaptures();
    m_telnet.QueueCommand(1, query);
}
