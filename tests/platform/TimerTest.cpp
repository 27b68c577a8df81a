#include "platform/Timer.h"

#include "platform/Clock.h"

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

TEST(FakeTimer, EnablingAnEnabledTimerDoesNotRestartItsInterval) {
    FakeClock clock;
    FakeTimer timer(clock);
    int fired = 0;
    QObject::connect(&timer, &Timer::timeout, [&] { ++fired; });
    timer.setInterval(100);
    timer.setEnabled(true);
    // Re-enabled every 75 ms by someone else, the timer still fires on its own 100 ms beat.
    for (int i = 0; i < 4; ++i) {
        clock.advance(75);
        timer.setEnabled(true);
    }
    EXPECT_EQ(fired, 3);
    // Setting the same interval again is no restart either; a new interval is.
    timer.setInterval(100);
    EXPECT_EQ(timer.deadline(), 400);
    timer.setInterval(200);
    EXPECT_EQ(timer.deadline(), 500);
}

TEST(FakeTimer, HandlerChangesTakeEffectAndZeroIntervalNeverFires) {
    FakeClock clock;
    FakeTimer timer(clock);
    int fired = 0;
    QObject::connect(&timer, &Timer::timeout, [&] {
        ++fired;
        timer.setInterval(fired == 1 ? 200 : 0); // a delay after the first, then silence
    });
    timer.setInterval(75);
    timer.setEnabled(true);
    clock.advance(10000);
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(timer.fireCount(), 2);
}
