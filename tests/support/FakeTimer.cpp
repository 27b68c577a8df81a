#include "support/FakeTimer.h"

#include <algorithm>

FakeTimer::FakeTimer(FakeClock &clock, QObject *parent)
    : Timer(parent)
    , m_clock(clock) {
    m_clock.registerTimer(this);
}

FakeTimer::~FakeTimer() {
    m_clock.unregisterTimer(this);
}

void FakeTimer::setEnabled(bool on) {
    if (on == m_enabled) {
        return;
    }
    m_enabled = on;
    m_deadline = m_clock.nowMs() + m_interval;
}

void FakeTimer::setInterval(int ms) {
    if (ms == m_interval) {
        return;
    }
    m_interval = ms;
    m_deadline = m_clock.nowMs() + m_interval;
}

void FakeTimer::fire() {
    m_deadline = m_clock.nowMs() + m_interval;
    ++m_fireCount;
    Q_EMIT timeout();
}

void FakeClock::advance(qint64 ms) {
    const qint64 target = m_now + ms;
    for (;;) {
        FakeTimer *next = nullptr;
        for (FakeTimer *t : m_timers) {
            if (t->armed() && t->m_deadline <= target && (!next || t->m_deadline < next->m_deadline)) {
                next = t;
            }
        }
        if (!next) {
            break;
        }
        m_now = std::max(m_now, next->m_deadline);
        // Re-arm before the handler runs, so that what the handler changes holds.
        next->m_deadline = m_now + next->m_interval;
        ++next->m_fireCount;
        Q_EMIT next->timeout();
    }
    m_now = target;
}

void FakeClock::registerTimer(FakeTimer *timer) {
    m_timers.push_back(timer);
}

void FakeClock::unregisterTimer(FakeTimer *timer) {
    std::erase(m_timers, timer);
}
