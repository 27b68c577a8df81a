#include "radio_link/ReplyWait.h"

#include <algorithm>
#include <cmath>

void ReplyWait::setCeilingSeconds(double seconds) {
    const double ms = std::isfinite(seconds) ? seconds * 1000.0 : double(DefaultCeilingMs);
    m_ceilingMs = int(std::clamp(ms, double(FloorMs), 3600.0 * 1000.0));
}

int ReplyWait::ms() const {
    qint64 wait = qint64(FloorMs) << m_stretch;
    for (int i = 0; i < m_count; ++i) {
        wait = std::max(wait, 2 * m_recent[size_t(i)]);
    }
    return int(std::clamp<qint64>(wait, FloorMs, m_ceilingMs));
}

void ReplyWait::answered(qint64 ms) {
    m_recent[size_t(m_next)] = std::max<qint64>(ms, 0);
    m_next = (m_next + 1) % Remembered;
    m_count = std::min(m_count + 1, Remembered);
    m_stretch = 0;
}

void ReplyWait::unanswered() {
    // Past a few doublings the ceiling holds anyway; the cap keeps the shift defined.
    m_stretch = std::min(m_stretch + 1, 10);
}
