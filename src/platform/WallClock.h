#pragma once

#include <QDateTime>

// The computer's date and time of day, as shown on the emulated display and in the replies' "Updated" lines. Separate
// from the monotonic Clock of the platform: this one jumps with the user's clock and time zone, and tests pin it to a
// fixed moment.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual QDateTime now() const = 0;
};

class SystemWallClock final : public WallClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
