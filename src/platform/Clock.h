#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <vector>

class FakeTimer;

// A monotonic millisecond clock. Logic asks it for the time so tests can drive time by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
};

class SteadyClock final : public Clock {
public:
    SteadyClock() { m_started.start(); }
    qint64 nowMs() const override { return m_started.elapsed(); }

private:
    QElapsedTimer m_started;
};

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
