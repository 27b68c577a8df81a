#pragma once

#include "platform/WallClock.h"

#include <QDateTime>

#include <utility>

// A date and time that stays where a test puts it.
class FixedWallClock final : public WallClock {
public:
    explicit FixedWallClock(QDateTime moment = {})
        : m_moment(std::move(moment)) {}
    QDateTime now() const override { return m_moment; }
    void set(const QDateTime &moment) { m_moment = moment; }

private:
    QDateTime m_moment;
};
