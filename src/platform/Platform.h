#pragma once

#include "platform/Clock.h"
#include "platform/Sound.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "platform/WallClock.h"

#include <memory>

// What logic needs from the machine: time, timers, sockets and sound. The program passes the
// real one; tests pass a fake one (tests/support) and drive everything by hand.
class Platform {
public:
    virtual ~Platform() = default;
    virtual Clock &clock() = 0;
    virtual const WallClock &wallClock() = 0;
    virtual std::unique_ptr<Timer> createTimer() = 0;
    virtual std::unique_ptr<TcpSocket> createSocket() = 0;
    virtual SoundPlayer &sound() = 0;
};

class QtPlatform final : public Platform {
public:
    enum class Sounds { Played, Silent };
    explicit QtPlatform(Sounds sounds = Sounds::Played)
        : m_silent(sounds == Sounds::Silent) {}

    Clock &clock() override { return m_clock; }
    const WallClock &wallClock() override { return m_wallClock; }
    std::unique_ptr<Timer> createTimer() override { return std::make_unique<QtTimer>(); }
    std::unique_ptr<TcpSocket> createSocket() override { return std::make_unique<QtTcpSocket>(); }
    SoundPlayer &sound() override { return m_silent ? static_cast<SoundPlayer &>(m_noSound) : m_sound; }

private:
    SteadyClock m_clock;
    SystemWallClock m_wallClock;
    QtSoundPlayer m_sound;
    NoSoundPlayer m_noSound;
    bool m_silent;
};
