#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

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
