#pragma once

#include "platform/Clock.h"
#include "platform/Timer.h"

#include <QtGlobal>

#include <vector>

class FakeTimer;

// Time that moves only when a test says so. Advancing fires the fake timers that fall due,
// in time order, each at its own deadline, so timing rules can be checked to the millisecond.
class FakeClock final : public Clock {
public:
    qint64 nowMs() const override { return m_now; }
    void advance(qint64 ms);
    void setNow(qint64 ms) { m_now = ms; }

    void registerTimer(FakeTimer *timer);
    void unregisterTimer(FakeTimer *timer);

private:
    qint64 m_now = 0;
    std::vector<FakeTimer *> m_timers;
};

class FakeTimer final : public Timer {
    Q_OBJECT
public:
    explicit FakeTimer(FakeClock &clock, QObject *parent = nullptr);
    ~FakeTimer() override;
    void setEnabled(bool on) override;
    bool isEnabled() const override { return m_enabled; }
    void setInterval(int ms) override;
    int interval() const override { return m_interval; }

    // Milliseconds of the fake clock at which the timer fires next (meaningful when armed).
    qint64 deadline() const { return m_deadline; }
    bool armed() const { return m_enabled && m_interval > 0; }
    // Fires now, as if the interval had run out (the next deadline moves on by one interval).
    void fire();
    int fireCount() const { return m_fireCount; }

private:
    friend class FakeClock;
    FakeClock &m_clock;
    bool m_enabled = false;
    int m_interval = 0;
    qint64 m_deadline = 0;
    int m_fireCount = 0;
};
