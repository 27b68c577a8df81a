#include "LinkHarness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

struct Poll : LinkHarness {
    Poll() {
        state.FullRefreshDue = false;
        state.FullRefreshCountdown = 5;
        state.PollCountdown = 1;
    }
    void need(bool menu, bool list, bool meta, bool volume, bool st, bool version) {
        state.NeedMenu = menu;
        state.NeedList = list;
        state.NeedMeta = meta;
        state.NeedVolume = volume;
        state.NeedState = st;
        state.NeedVersion = version;
    }
    QStringList tick() {
        link.telnet.ClearChannel(1);
        link.poll.UpdateTimer_Timer();
        return link.telnet.pending(1);
    }
};

} // namespace

TEST(AutomaticPoll, QueryOrder) {
    Poll p;
    p.state.FullRefreshDue = true;
    EXPECT_EQ(p.tick(),
              (QStringList{"MINFO", "VOLUME", "METAINFO", "LISTINFO", "MINFO", "STATE", "VERSION", "VOLUME"}));
    EXPECT_FALSE(p.state.FullRefreshDue);
    EXPECT_EQ(p.state.PollCountdown, p.timeouts.PollWhenOn);

    const auto poll = [&](bool menu, bool list, bool meta, bool volume, bool st, bool version, int full = 5) {
        p.need(menu, list, meta, volume, st, version);
        p.state.PollCountdown = 1;
        p.state.FullRefreshCountdown = qint16(full);
        return p.tick();
    };
    EXPECT_EQ(poll(true, false, false, true, true, true), (QStringList{"VOLUME", "MINFO", "STATE", "VERSION"}));
    EXPECT_EQ(poll(true, true, false, true, false, false), (QStringList{"VOLUME", "MINFO", "LISTINFO", "VOLUME"}));
    EXPECT_EQ(poll(true, true, true, false, false, false), (QStringList{"MINFO", "LISTINFO", "MINFO", "METAINFO"}));
    EXPECT_EQ(poll(false, false, true, false, true, false), (QStringList{"MINFO", "METAINFO", "STATE"}));

    // The countdown of full refreshes runs out: everything is asked, and the countdown reloads.
    EXPECT_EQ(poll(true, false, false, false, false, false, 1).size(), 8);
    EXPECT_EQ(p.state.FullRefreshCountdown, p.timeouts.CheckAllOn);
    p.state.RadioStandby = true;
    poll(true, false, false, false, false, false, 1);
    EXPECT_EQ(p.state.FullRefreshCountdown, p.timeouts.CheckAllOff);
    EXPECT_EQ(p.state.PollCountdown, p.timeouts.PollWhenOff);
}

TEST(AutomaticPoll, TimerStopsAfterAPollAndTheIdleQueueRestartsIt) {
    Poll p;
    QSignalSpy redraw(&p.link.poll, &AutomaticPoll::refreshDisplays);
    Timer &timer = p.link.poll.UpdateTimer();
    p.link.poll.start();
    EXPECT_EQ(timer.interval(), 500);
    p.need(true, false, false, false, false, false);
    p.state.PollCountdown = 2;
    p.platform.fakeClock.advance(500);
    EXPECT_EQ(timer.interval(), 100);
    EXPECT_EQ(p.state.PollCountdown, 1);
    EXPECT_FALSE(timer.isEnabled()); // something is wanted: off until the queue is idle
    EXPECT_TRUE(p.link.telnet.pending(1).isEmpty());
    p.link.telnet.CompactQueues();
    EXPECT_TRUE(timer.isEnabled());
    p.platform.fakeClock.advance(100);
    EXPECT_EQ(p.link.telnet.pending(1), QStringList{"MINFO"});
    EXPECT_FALSE(timer.isEnabled());
    p.link.telnet.CompactQueues(); // a query is waiting: stays off
    EXPECT_FALSE(timer.isEnabled());
    EXPECT_EQ(redraw.count(), 2);

    // Nothing wanted: the timer keeps itself running and asks for the menu next time.
    p.need(false, false, false, false, false, false);
    p.state.PollCountdown = 5;
    p.link.poll.UpdateTimer_Timer();
    EXPECT_TRUE(timer.isEnabled());
    EXPECT_TRUE(p.state.NeedMenu);
    EXPECT_EQ(p.state.PollCountdown, p.timeouts.PollWhenOn);

    // Without "Auto Refresh Labels" the countdown stands still.
    p.link.settings.UpdateDisplayLabels = false;
    p.state.PollCountdown = 4;
    p.link.poll.UpdateTimer_Timer();
    EXPECT_EQ(p.state.PollCountdown, 4);

    // An explicit refresh postpones the automatic poll by a full interval.
    p.state.PollCountdown = 1;
    p.link.poll.RefreshQuery(QStringLiteral("VERSION"));
    EXPECT_EQ(p.state.PollCountdown, p.timeouts.PollWhenOn);
}
