#pragma once

#include <QHash>
#include <QString>

class QSoundEffect;

// Plays a WAV file without waiting for it. A missing or broken file, or a machine without
// audio, is silent; playing never blocks the caller.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &wavPath) = 0;
};

// Plays nothing: for a program run from scripts and timers, which must not make the computer
// chime at every acknowledged key.
class NoSoundPlayer final : public SoundPlayer {
public:
    void play(const QString &) override {}
};

class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void play(const QString &wavPath) override;

private:
    QHash<QString, QSoundEffect *> m_effects;
    bool m_audioChecked = false;
    bool m_audioAvailable = false;
};
