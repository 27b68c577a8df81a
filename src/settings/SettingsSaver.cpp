#include "settings/SettingsSaver.h"

#include "platform/Timer.h"

SettingsSaver::SettingsSaver(INIFILES &settings, std::unique_ptr<Timer> timer, QObject *parent)
    : QObject(parent)
    , m_ini(settings)
    , m_timer(std::move(timer)) {
    m_timer->setInterval(DelayMs);
    connect(m_timer.get(), &Timer::timeout, this, &SettingsSaver::SaveTimer_Timer);
    m_ini.setChangeListener([this] { changed(); });
}

SettingsSaver::~SettingsSaver() {
    m_ini.setChangeListener({});
}

void SettingsSaver::changed() {
    // Enabling a running timer keeps its count: the first change of a burst sets the time.
    m_timer->setEnabled(true);
}

bool SettingsSaver::pending() const {
    return m_timer->isEnabled();
}

INIFILES::SaveResult SettingsSaver::saveNow() {
    m_timer->setEnabled(false);
    const INIFILES::SaveResult result = m_ini.Save();
    if (!result.ok) {
        m_lastError = result.error;
    } else if (!m_lastError.isEmpty()) {
        m_lastError.clear();
        Q_EMIT savedAgain();
    }
    return result;
}

void SettingsSaver::SaveTimer_Timer() {
    const QString before = m_lastError;
    const INIFILES::SaveResult result = saveNow();
    // A failure is told once, not every few seconds while the disk stays full; the changes stay
    // in memory and go with the next save that works (which says so), and the close tells again
    // what is still not saved.
    if (!result.ok && before.isEmpty()) {
        Q_EMIT saveFailed(result.error);
    }
}
