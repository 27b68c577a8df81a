#include "radio_link/LinkHarness.h"
#include "radio_link/ReplyHandshake.h"

#include <gtest/gtest.h>

// What the other parts ask of the automatic poll's timer: each intent keeps the timing the
// display and the macro runner were built around.
TEST(PollIntents, KickRefreshStopHoldAndRelease) {
    LinkHarness h;
    AutomaticPoll &poll = h.link.poll;
    auto &timer = static_cast<FakeTimer &>(poll.UpdateTimer());
    FakeClock &clock = h.platform.fakeClock;

    // A kick restarts the count even when a kick is already on its way; the link's wake-up does
    // not push that one back.
    poll.kick();
    EXPECT_TRUE(timer.armed());
    EXPECT_EQ(timer.deadline(), clock.nowMs() + AutomaticPoll::KickMs);
    clock.advance(15);
    poll.kickUnlessKicked();
    EXPECT_EQ(timer.deadline(), clock.nowMs() + 5);
    poll.kick();
    EXPECT_EQ(timer.deadline(), clock.nowMs() + AutomaticPoll::KickMs);

    // After a navigation a running timer ticks soon; a stopped one stays stopped until the link
    // falls idle.
    poll.refreshIn(200);
    EXPECT_EQ(timer.deadline(), clock.nowMs() + 200);
    poll.stop();
    poll.refreshIn(200);
    EXPECT_FALSE(timer.isEnabled());
    h.link.telnet.CompactQueues(); // both channels empty
    EXPECT_TRUE(timer.isEnabled());

    // A hold puts the timer back as it found it, on or off.
    poll.hold();
    EXPECT_FALSE(timer.isEnabled());
    poll.release();
    EXPECT_TRUE(timer.isEnabled());
    poll.stop();
    poll.hold();
    poll.release();
    EXPECT_FALSE(timer.isEnabled());

    // Asking raises what the next poll queries and never lowers another wish.
    h.state.needs = {};
    h.state.needs.NeedVersion = true;
    poll.askFor(AutomaticPoll::Query::Menu | AutomaticPoll::Query::Volume);
    EXPECT_TRUE(h.state.needs.NeedMenu && h.state.needs.NeedVolume && h.state.needs.NeedVersion);
    EXPECT_FALSE(h.state.needs.NeedList || h.state.needs.NeedMeta || h.state.needs.NeedState);
}

// The three ways a macro asks for data differ in what they forget and what they hold the reply
// gate for; merging any two changes when a step tests stale values or waits in vain.
TEST(ReplyHandshake, AskingForgettingAndAwaitingAreSeparateOnPurpose) {
    LinkHarness h;
    RadioState &s = h.state;
    ReplyHandshake handshake(s, h.link.poll);
    using Data = ReplyHandshake::Data;
    s.needs = {};
    s.fresh.FreshList = s.fresh.FreshMenu = true;

    handshake.refetch(Data::List); // forget, ask, but no particular wait
    EXPECT_TRUE(!s.fresh.FreshList && s.needs.NeedList && !handshake.awaiting());

    handshake.askAndAwait(Data::Menu); // ask and wait, keeping what is known
    EXPECT_TRUE(s.fresh.FreshMenu && s.needs.NeedMenu && s.awaits.AwaitMenu && !s.awaits.AwaitAnyList);

    s.fresh.FreshList = true;
    handshake.awaitFresh(Data::List); // all three
    EXPECT_TRUE(!s.fresh.FreshList && s.awaits.AwaitList);

    // A menu reply ends the wait for a menu and for any list, not the wait for the list.
    handshake.expect(ReplyHandshake::Reply::AnyList | ReplyHandshake::Reply::Ok);
    ReplyHandshake::arrived(s, Data::Menu);
    EXPECT_TRUE(s.fresh.FreshMenu && !s.awaits.AwaitMenu && !s.awaits.AwaitAnyList && s.awaits.AwaitList);
    ReplyHandshake::arrived(s, Data::List);
    EXPECT_TRUE(s.fresh.FreshList && !s.awaits.AwaitList);
    EXPECT_TRUE(handshake.awaiting()); // the command's acknowledgement is still owed
    ReplyHandshake::acknowledged(s);
    EXPECT_FALSE(handshake.awaiting());

    // Values without a reply of their own come fresh, but cannot be waited for one by one.
    handshake.forget(Data::Volume | Data::State);
    ReplyHandshake::arrived(s, Data::Volume);
    EXPECT_TRUE(handshake.isFresh(Data::Volume) && !handshake.isFresh(Data::State));
    EXPECT_DEATH(handshake.awaitFresh(Data::Volume), "no reply of this kind");

    handshake.expect(ReplyHandshake::Reply::Meta);
    handshake.dropAwaits();
    handshake.forgetAll();
    EXPECT_FALSE(handshake.awaiting() || handshake.isFresh(Data::Menu) || handshake.isFresh(Data::Volume));
}

TEST(Poll, AKeyGoesOutWithAGapDropsPendingQueriesAndPollsTheMenu) {
    LinkHarness h;
    Telnet &telnet = h.link.telnet;
    RadioState &state = h.state;
    telnet.QueueCommand(1, "STATE");
    telnet.QueueCommand(0, "UP");
    state.needs.FullRefreshDue = true;
    state.poll.PollCountdown = 7;
    state.poll.RadioStandby = true;
    EXPECT_TRUE(h.link.pressKey("VOLp"));
    EXPECT_EQ(telnet.pending(0), QStringList({"UP", "VOLp", "QXDELAY"}));
    EXPECT_TRUE(telnet.pending(1).isEmpty());
    EXPECT_FALSE(state.needs.FullRefreshDue);
    EXPECT_EQ(state.poll.FullRefreshCountdown, h.timeouts.CheckAllOff);
    EXPECT_EQ(state.poll.PollCountdown, 0);
    EXPECT_TRUE(state.needs.NeedMenu);
    state.poll.RadioStandby = false;
    h.link.pressKey("OK");
    EXPECT_EQ(state.poll.FullRefreshCountdown, h.timeouts.CheckAllOn);
}

TEST(Poll, AtStartTheRadioIsAskedWhoAndWhereItIsThenForEverything) {
    LinkHarness h;
    h.state.needs.FullRefreshDue = false;
    h.link.askAtStart();
    EXPECT_EQ(h.link.telnet.pending(1), (QStringList{"VERSION", "STATE", "MINFO"}));
    EXPECT_TRUE(h.link.telnet.pending(0).isEmpty());
    EXPECT_TRUE(h.state.needs.FullRefreshDue);
}
