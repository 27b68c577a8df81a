#include "session/Menuform.h"

#include "radio_link/AutomaticPoll.h"

Menuform::Menuform(AutomaticPoll &poll)
    : m_poll(poll) {}

void Menuform::refresh(const QString &query) {
    m_poll.RefreshQuery(query);
}
