#pragma once

#include "settings/INIFILES.h"

#include <QObject>

#include <memory>

class Timer;

// Saves the settings file a few seconds after a change, so a crash, a kill or a power cut
// costs at most those seconds of changes, not the whole session. The first change arms the
// timer and later ones ride along: a steady stream of changes (a window dragged about) is saved
// every few seconds, not put off forever. Each save is one write of the whole file.
class SettingsSaver : public QObject {
    Q_OBJECT
public:
    static constexpr int DelayMs = 3000;

    // Listens to the settings' changes from now on; timer is the program's own (a fake one in
    // tests).
    SettingsSaver(INIFILES &settings, std::unique_ptr<Timer> timer, QObject *parent = nullptr);
    ~SettingsSaver() override;

    // Saves now what is not saved yet (the close does this) and stands the timer down.
    INIFILES::SaveResult saveNow();
    bool pending() const;

    // The timer's handler.
    void SaveTimer_Timer();

Q_SIGNALS:
    // A save failed; the message says what was not saved and why. A save that works after
    // failures says so with savedAgain().
    void saveFailed(const QString &message);
    void savedAgain();

private:
    void changed();

    INIFILES &m_ini;
    std::unique_ptr<Timer> m_timer;
    QString m_lastError;
};
