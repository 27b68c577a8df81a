#include "platform/Timer.h"

#include "support/FakeTimer.h"

#include <gtest/gtest.h>

TEST(FakeTimer, FiresAtEachIntervalInTimeOrder) {
    FakeClock clock;
    FakeTimer fast(clock);
    FakeTimer slow(clock);
    QStringList order;
    QObject::connect(&fast, &Timer::timeout, [&] { order << QStringLiteral("fast@%1").arg(clock.nowMs()); });
    QObject::connect(&slow, &Timer::timeout, [&] { order << QStringLiteral("slow@%1").arg(clock.nowMs()); });
    fast.setInterval(75);
    slow.setInterval(100);
    fast.setEnabled(true);
    slow.setEnabled(true);
    clock.advance(230);
    EXPECT_EQ(order.join(u' '), QStringLiteral("fast@75 slow@100 fast@150 slow@200 fast@225"));
    EXPECT_EQ(clock.nowMs(), 230);
}

// Re-enabling keeps the beat, a new interval restarts it, and what a handler changes holds.
TEST(FakeTimer, ReEnablingKeepsTheBeatAndHandlerChangesTakeEffect) {
    FakeClock clock;
    FakeTimer timer(clock);
    QList<qint64> firedAt;
    QObject::connect(&timer, &Timer::timeout, [&] {
        firedAt << clock.nowMs();
        if (clock.nowMs() >= 500) {
            timer.setInterval(timer.fireCount() == 4 ? 200 : 0); // a delay after 500 ms, then silence
        }
    });
    timer.setInterval(100);
    timer.setEnabled(true);
    for (int i = 0; i < 4; ++i) { // re-enabled every 75 ms by someone else
        clock.advance(75);
        timer.setEnabled(true);
    }
    EXPECT_EQ(timer.fireCount(), 3);
    clock.advance(50);
    timer.setInterval(100); // the same interval again is no restart
    EXPECT_EQ(timer.deadline(), 400);
    timer.setInterval(300);
    EXPECT_EQ(timer.deadline(), 650);
    clock.advance(10000);
    EXPECT_EQ(firedAt, (QList<qint64>{100, 200, 300, 650, 850}));
    EXPECT_EQ(timer.fireCount(), 5);
    EXPECT_EQ(clock.nowMs(), 10350);
}
