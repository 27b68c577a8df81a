#include "platform/Timer.h"

#include "platform/Clock.h"

#include <algorithm>

QtTimer::QtTimer(QObject *parent)
    : Timer(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Timer::timeout);
}

void QtTimer::setEnabled(bool on) {
    if (on == m_enabled) {
        return;
    }
    m_enabled = on;
    restart();
}

void QtTimer::setInterval(int ms) {
    if (ms == m_interval) {
        return;
    }
    m_interval = ms;
    restart();
}

void QtTimer::restart() {
    if (m_enabled && m_interval > 0) {
        m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}
