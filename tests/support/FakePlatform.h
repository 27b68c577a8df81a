#pragma once

#include "platform/Platform.h"
#include "support/FakeSoundPlayer.h"
#include "support/FakeTcpSocket.h"
#include "support/FakeTimer.h"
#include "support/FixedWallClock.h"

#include <memory>
#include <vector>

// Sockets and timers made here stay owned by their caller; the lists let a test reach them.
class FakePlatform final : public Platform {
public:
    Clock &clock() override { return fakeClock; }
    const WallClock &wallClock() override { return fakeWallClock; }
    std::unique_ptr<Timer> createTimer() override {
        auto timer = std::make_unique<FakeTimer>(fakeClock);
        timers.push_back(timer.get());
        return timer;
    }
    std::unique_ptr<TcpSocket> createSocket() override {
        auto socket = std::make_unique<FakeTcpSocket>();
        sockets.push_back(socket.get());
        return socket;
    }
    SoundPlayer &sound() override { return fakeSound; }

    FakeClock fakeClock;
    FixedWallClock fakeWallClock;
    FakeSoundPlayer fakeSound;
    std::vector<FakeTimer *> timers;
    std::vector<FakeTcpSocket *> sockets;
};
