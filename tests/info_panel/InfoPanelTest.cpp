#include "session/InfoPanel.h"

#include "macros/MacroTable.h"
#include "radio_link/LinkHarness.h"
#include "RadioModel.h"

#include <gtest/gtest.h>

namespace {

const QString Q = QStringLiteral("QXDELAY");

// The panel on the radio link with fake time; what it queues is read from the queues.
struct Panel : LinkHarness {
    MacroTable macros;
    InfoPanel panel{platform, link, state, timeouts, skin, macros, QString()};

    Panel() { clear(); }

    // What goes to the radio on the command channel: what is queued, then the keys still to be
    // fed, each with its gap.
    QStringList sent() const { return link.telnet.toGo(); }
    QStringList asked() const { return link.telnet.pending(1); }
    void clear() {
        link.telnet.ClearChannel(0);
        link.telnet.ClearChannel(1);
        link.view.TelnetData = "earlier replies";
    }
    static QStringList times(int n, const QStringList &keys) {
        QStringList out;
        for (int i = 0; i < n; ++i) {
            out << keys;
        }
        return out;
    }
};

} // namespace

TEST(SetVolume, StepsByOneBelowFiveAndByFiveAbove) {
    struct Case {
        const char *reported;
        int target;
        QStringList keys;
    };
    const Case cases[] = {
        {"20", 33, Panel::times(3, {"VOLp", Q})},                               // 33 rounds to 35
        {"30", 2, Panel::times(8, {"VOLm", Q})},                                // 5 steps of 5, then 3 of 1
        {"20", 22, {}},                                                         // 22 rounds to 20
        {"3", 2, Panel::times(1, {"VOLm", Q})},                                 // not past the target below 5
        {"1", 3, Panel::times(2, {"VOLp", Q})},                                 //
        {"0", 12, Panel::times(5, {"VOLp", Q}) + Panel::times(1, {"VOLp", Q})}, // 0..5 by one, then 10
        {"", 50, {}},                                                           // never reported
        {"n/a", 50, {}},                                                        // not a number
    };
    for (const Case &c : cases) {
        Panel p;
        p.state.VolumeText = c.reported;
        p.state.holds.VolumeDragging = true;
        EXPECT_EQ(SetVolume(p.link.telnet, p.state, c.target), !c.keys.isEmpty()) << c.reported << " " << c.target;
        EXPECT_EQ(p.sent(), c.keys) << c.reported << " " << c.target;
        EXPECT_FALSE(p.state.holds.VolumeDragging);
    }
}

// A slider step lands where SetVolume goes without rounding, at least one of the radio's steps
// on in the step's direction, and within 0..100.
TEST(SetVolume, SliderStepsLandWhereTheRadioCanGo) {
    struct Case {
        int from;
        int delta;
        int to;
    };
    const Case cases[] = {
        {25, 1, 30},   {25, -1, 20}, {25, 5, 30},   {25, -5, 20},  {27, 1, 30}, {27, -1, 25}, {22, 1, 25},
        {4, 1, 5},     {5, 1, 10},   {5, -1, 4},    {6, -1, 5},    {10, -1, 5}, {2, 5, 5},    {3, -5, 0},
        {100, 1, 100}, {0, -1, 0},   {95, 10, 100}, {0, 100, 100}, {12, 0, 10},
    };
    for (const Case &c : cases) {
        const int to = SteppedVolume(c.from, c.delta);
        EXPECT_EQ(to, c.to) << c.from << " by " << c.delta;
        EXPECT_EQ(ReachableVolume(to), to) << c.from << " by " << c.delta;
    }
}

TEST(InfoPanel, SliderAsksForTheUsersVolumeAndIgnoresTheProgramsMoves) {
    Panel p;
    QList<int> asked;
    QObject::connect(&p.panel, &InfoPanel::volumeRequested, [&asked](int value) { asked << value; });
    p.state.VolumeText = "20";
    p.panel.VolumeAdjuster_Scroll(33);
    EXPECT_TRUE(p.state.holds.VolumeDragging);
    EXPECT_EQ(p.panel.ScrollVolumeLabel, "33");
    EXPECT_TRUE(asked.isEmpty()); // dragging sends nothing yet
    p.panel.VolumeAdjuster_Change(33);
    EXPECT_EQ(asked, QList<int>{33});

    // The program moving the slider to the radio's report sends nothing back.
    p.panel.volumeShown(80);
    EXPECT_EQ(asked, QList<int>{33});
    EXPECT_EQ(p.panel.ScrollVolumeLabel, "80");
}

TEST(InfoPanel, MainMenuNavigationOnTheGridOfFour) {
    struct Case {
        int target;
        const char *reported;
        bool standby;
        QStringList keys;
    };
    const QStringList ok{"OK", Q};
    const Case cases[] = {
        {6, "2", false, QStringList{"DOWN", Q} + ok},
        {1, "4", false, Panel::times(3, {"LEFT", Q}) + ok},
        {17, "1", false, Panel::times(4, {"DOWN", Q}) + ok},
        {20, "1", false, Panel::times(4, {"DOWN", Q}) + Panel::times(3, {"RIGHT", Q}) + ok}, // no row below 17
        {2, "14", false, Panel::times(3, {"UP", Q}) + ok},
        {0, "9", false, {"POWER"}},
        {0, "9", true, {"POWER"}},
        {3, "3", true, QStringList{"POWER", Q, Q, "MINFO", Q} + ok},
        {21, "3", false, {}},
        {-1, "3", false, {}},
    };
    for (const Case &c : cases) {
        Panel p;
        p.state.MenuState = c.standby ? "34" : "0";
        p.state.SelectedMenuItem = c.reported;
        p.state.poll.RadioStandby = c.standby;
        p.link.view.MainMenuListIndex = c.target;
        p.panel.MainMenuList_DblClick();
        EXPECT_EQ(p.sent(), c.keys) << c.target << " from " << c.reported;
        EXPECT_EQ(p.state.poll.RadioStandby, c.standby && c.target == 0) << c.target;
        // A move clears the terminal and hurries the display.
        EXPECT_EQ(p.link.view.TelnetData.isEmpty(), c.keys.contains("OK")) << c.target;
        EXPECT_EQ(p.link.poll.UpdateTimer().interval() == 200, c.keys.contains("OK")) << c.target;
    }
    // Without a position in the grid the panel asks instead of moving, and the terminal stays.
    for (const char *reported : {"", "0", "500", "x"}) {
        Panel p;
        p.state.SelectedMenuItem = reported;
        p.link.view.MainMenuListIndex = 6;
        p.panel.MainMenuList_DblClick();
        EXPECT_TRUE(p.sent().isEmpty()) << reported;
        EXPECT_EQ(p.asked(), QStringList{"MINFO"}) << reported;
        EXPECT_FALSE(p.link.view.TelnetData.isEmpty());
    }
}

// Every (from, to) pair of the twenty entries, on the simulated radio's grid (LEFT and RIGHT stay
// in their row there): the moves and OK open exactly the entry asked for.
TEST(InfoPanel, MainMenuMovesReachEveryEntryFromEveryOther) {
    int pairs = 0;
    for (int from = 1; from <= 20; ++from) {
        for (int to = 1; to <= 20; ++to) {
            if (from == to) {
                continue;
            }
            RadioModel radio;
            for (int i = 1; i < from; ++i) {
                radio.handle(i % 4 == 0 ? "DOWN" : "RIGHT");
                if (i % 4 == 0) {
                    for (int back = 0; back < 3; ++back) {
                        radio.handle("LEFT");
                    }
                }
            }
            ASSERT_EQ(radio.mainMenuItem(), from);
            for (const QString &key : MainMenuMoves(from, to)) {
                radio.handle(key);
            }
            EXPECT_EQ(radio.mainMenuItem(), to) << from << " to " << to;
            radio.handle("OK");
            EXPECT_NE(radio.screen(), 0) << from << " to " << to;
            ++pairs;
        }
    }
    EXPECT_EQ(pairs, 380);
    EXPECT_EQ(MainMenuMoves(4, 5), (QStringList{"DOWN", "LEFT", "LEFT", "LEFT"}));
    EXPECT_TRUE(MainMenuMoves(0, 5).isEmpty() && MainMenuMoves(5, 21).isEmpty());
}

// A click before the radio said where its cursor is: it is asked, and the entry opens when the
// answer comes; without an answer in time nothing moves and the terminal says so.
TEST(InfoPanel, AnEntryAskedForBeforeTheCursorIsKnownOpensOnTheAnswer) {
    Panel p;
    p.state.MenuState = "0";
    p.panel.OpenMainMenuEntry(5);
    EXPECT_TRUE(p.sent().isEmpty());
    EXPECT_EQ(p.asked(), QStringList{"MINFO"});
    p.link.telnet.Channels[1].LastReply = "Menu state=0 mp=1 ms=4 title=Main menu\r\n";
    p.link.decoder.DecodeReturn();
    p.link.view.touch();
    p.link.view.flush();
    EXPECT_EQ(p.sent(), (QStringList{"DOWN", Q, "LEFT", Q, "LEFT", Q, "LEFT", Q, "OK", Q}));

    Panel late;
    late.skin.MainMenuList = QStringList{"Power", "Stations", "Recordings", "Search", "Settings", "Favourites"};
    late.panel.OpenMainMenuEntry(5);
    late.run(5100);
    late.state.SelectedMenuItem = "4";
    late.link.view.touch();
    late.link.view.flush();
    EXPECT_TRUE(late.sent().isEmpty());
    EXPECT_TRUE(late.link.view.TelnetData.contains(
        "[Favourites not opened: the radio did not say which main-menu entry it is on]"))
        << late.link.view.TelnetData.toStdString();
}

// Volume requests that come faster than the radio reports its volume (a desktop's volume
// control, a slider dragged in steps): each counts from where the keys on their way lead, so
// the last one is where the radio ends. A report with nothing on its way is the truth again.
TEST(SetVolume, QuickRequestsCountFromWhereTheQueuedKeysLead) {
    Panel p;
    p.state.VolumeText = "20";
    for (const int target : {25, 30, 35, 40}) {
        EXPECT_TRUE(SetVolume(p.link.telnet, p.state, target));
    }
    EXPECT_EQ(p.sent(), Panel::times(4, {"VOLp", Q}));
    EXPECT_FALSE(SetVolume(p.link.telnet, p.state, 40)); // there already, once the keys are in
    EXPECT_TRUE(SetVolume(p.link.telnet, p.state, 30));
    EXPECT_EQ(p.sent(), Panel::times(4, {"VOLp", Q}) + Panel::times(2, {"VOLm", Q}));
    // A report that comes while keys are still to go changes nothing; one after them counts.
    p.link.telnet.Channels[1].LastReply = "VOL=20\r\n";
    p.link.decoder.DecodeReturn();
    EXPECT_EQ(p.state.VolumeLead, 30);
    p.clear();
    p.link.telnet.Channels[1].LastReply = "VOL=45\r\n";
    p.link.decoder.DecodeReturn();
    EXPECT_FALSE(p.state.VolumeLead.has_value());
    EXPECT_TRUE(SetVolume(p.link.telnet, p.state, 50));
    EXPECT_EQ(p.sent(), Panel::times(1, {"VOLp", Q}));
}

// Off the main menu the cursor keys would act on the screen shown (RIGHT turns a list's page,
// OK plays): HOME goes first, once, and the moves count from the entry the radio reports, where
// HOME leaves the menu's cursor.
TEST(InfoPanel, MainMenuEntryFromAnotherScreenGoesHomeFirst) {
    struct Case {
        const char *screen;
        int target;
        const char *reported;
        QStringList keys;
    };
    const QStringList home{"HOME", Q};
    const QStringList ok{"OK", Q};
    const Case cases[] = {
        {"5", 2, "1", home + QStringList{"RIGHT", Q} + ok},         // now playing
        {"3", 2, "1", home + QStringList{"RIGHT", Q} + ok},         // a list
        {"7", 2, "2", home + ok},                                   // the entry's own screen
        {"14", 10, "2", home + Panel::times(2, {"DOWN", Q}) + ok},  // the search keyboard
        {"", 2, "1", home + QStringList{"RIGHT", Q} + ok},          // no screen known
        {"x", 2, "1", home + QStringList{"RIGHT", Q} + ok},         // a garbled one
        {"30", 2, "1", home + home + QStringList{"RIGHT", Q} + ok}, // the message takes a key
        {"5", 0, "1", {"POWER"}},                                   // the power key stays one key
        {"5", 21, "1", {}},
    };
    for (const Case &c : cases) {
        Panel p;
        p.state.MenuState = c.screen;
        p.state.SelectedMenuItem = c.reported;
        p.panel.OpenMainMenuEntry(c.target);
        EXPECT_EQ(p.sent(), c.keys) << c.target << " on screen " << c.screen;
    }
    // Woken from standby the radio shows its main menu: no HOME after POWER.
    Panel p;
    p.state.MenuState = "34";
    p.state.SelectedMenuItem = "1";
    p.state.poll.RadioStandby = true;
    p.panel.OpenMainMenuEntry(2);
    EXPECT_EQ(p.sent(), (QStringList{"POWER", Q, Q, "MINFO", Q, "RIGHT", Q} + ok));
    // Without a known entry nothing moves, HOME included: the panel asks where the radio is.
    Panel unknown;
    unknown.state.MenuState = "5";
    unknown.panel.OpenMainMenuEntry(2);
    EXPECT_TRUE(unknown.sent().isEmpty());
    EXPECT_EQ(unknown.asked(), QStringList{"MINFO"});
}

TEST(InfoPanel, ListDoubleClicks) {
    Panel p;
    p.link.view.InfoList = QStringList{"List - Updated", "pos=3 (3)", "1=One", "2=Two", "5=Five", "no digit"};
    p.state.SelectedListItem = "3";
    const std::pair<int, QStringList> infoCases[] = {
        {0, {"LEFT"}},
        {1, {"RIGHT"}},
        {-1, {}},
        {9, {}},
        {2, Panel::times(2, {"UP", Q}) + QStringList{"OK", Q}},
        {4, Panel::times(2, {"DOWN", Q}) + QStringList{"OK", Q}},
        {5, Panel::times(3, {"UP", Q}) + QStringList{"OK", Q}}, // counts as entry 0
    };
    for (const auto &[row, keys] : infoCases) {
        p.clear();
        p.state.holds.InfoListHold = true;
        p.link.view.InfoListIndex = row;
        p.panel.InfoList_DblClick();
        EXPECT_EQ(p.sent(), keys) << row;
        EXPECT_FALSE(p.state.holds.InfoListHold);
        EXPECT_EQ(p.link.view.TelnetData.isEmpty(), keys.contains("OK")) << row;
    }
    const std::pair<int, QStringList> metaCases[] = {{0, {"STOP"}}, {5, {"PAUSE"}}, {3, {}}};
    for (const auto &[row, keys] : metaCases) {
        p.clear();
        p.state.holds.MetaListHold = true;
        p.link.view.MetaListIndex = row;
        p.panel.MetaList_DblClick();
        EXPECT_EQ(p.sent(), keys) << row;
        EXPECT_FALSE(p.state.holds.MetaListHold);
    }
    p.clear();
    p.state.holds.MainMenuListHold = p.state.holds.MenuListHold = p.state.holds.MetaListHold =
        p.state.holds.InfoListHold = true;
    p.link.view.MenuListIndex = 0;
    p.panel.MenuList_DblClick();
    EXPECT_EQ(p.sent(), (QStringList{"STOP", Q, "EXIT", Q, "HOME"}));
    EXPECT_FALSE(p.state.holds.MainMenuListHold || p.state.holds.MenuListHold || p.state.holds.MetaListHold ||
                 p.state.holds.InfoListHold);
    p.clear();
    p.link.view.MenuListIndex = 1;
    p.panel.MenuList_DblClick();
    EXPECT_TRUE(p.sent().isEmpty());
    // While a macro runs its trace in the terminal stays.
    p.macroRun.running = true;
    p.link.view.InfoListIndex = 2;
    p.panel.InfoList_DblClick();
    EXPECT_EQ(p.sent().size(), 6);
    EXPECT_EQ(p.link.view.TelnetData, "earlier replies");
}

TEST(InfoPanel, HoldFlagsKeepTheDecoderOffAListTheUserWorksIn) {
    Panel p;
    const auto reply = [&p](const QString &text) {
        p.link.telnet.Channels[1].LastReply = text;
        p.link.decoder.DecodeReturn();
    };
    reply("Menu state=0 mp=1 ms=2");
    EXPECT_EQ(p.link.view.MainMenuListIndex, 2);
    p.panel.List_MouseDown(PanelList::MainMenu, false);
    p.panel.selectRow(PanelList::MainMenu, 7);
    reply("Menu state=0 mp=1 ms=3");
    EXPECT_EQ(p.link.view.MainMenuListIndex, 7); // the user's pick stays for this reply
    reply("Menu state=0 mp=1 ms=4");
    EXPECT_EQ(p.link.view.MainMenuListIndex, 4);

    reply("List pos=0 1=a 2=b");
    EXPECT_FALSE(p.panel.List_KeyDown(PanelList::Info, false));
    EXPECT_TRUE(p.state.holds.InfoListHold);
    reply("List pos=1 1=c 2=d");
    EXPECT_EQ(p.link.view.InfoList.value(2), "1=a"); // one reply skipped
    EXPECT_FALSE(p.panel.List_KeyDown(PanelList::Menu, false));
    EXPECT_FALSE(p.state.holds.MenuListHold);

    // A right press refreshes that list and lets the decoder move it again.
    p.clear();
    p.panel.List_MouseDown(PanelList::Meta, false);
    EXPECT_TRUE(p.state.holds.MetaListHold);
    p.panel.List_MouseDown(PanelList::Meta, true);
    p.panel.List_MouseDown(PanelList::Info, true);
    p.panel.List_MouseDown(PanelList::Menu, true);
    EXPECT_EQ(p.asked(), (QStringList{"METAINFO", "LISTINFO", "MINFO"}));
    EXPECT_FALSE(p.state.holds.MetaListHold || p.state.holds.InfoListHold || p.state.holds.MenuListHold);

    // Enter is a double click and is used up.
    p.clear();
    p.link.view.InfoListIndex = 1;
    EXPECT_TRUE(p.panel.List_KeyDown(PanelList::Info, true));
    EXPECT_EQ(p.sent(), QStringList{"RIGHT"});
}

TEST(InfoPanel, RefreshesPostponeThePollButtonsAndMessage) {
    Panel p;
    p.state.poll.PollCountdown = 2;
    p.panel.DeviceVersion_Click();
    EXPECT_EQ(p.state.poll.PollCountdown, p.timeouts.PollWhenOn);
    p.state.poll.RadioStandby = true;
    p.panel.DeviceState_Click();
    EXPECT_EQ(p.state.poll.PollCountdown, p.timeouts.PollWhenOff);
    EXPECT_EQ(p.asked(), (QStringList{"VERSION", "STATE"}));

    p.state.needs.FullRefreshDue = false;
    p.panel.RefreshButton_Click();
    EXPECT_TRUE(p.state.needs.FullRefreshDue);
    EXPECT_EQ(p.state.poll.FullRefreshCountdown, p.timeouts.CheckAllOn);
    EXPECT_EQ(p.state.poll.PollCountdown, 0);

    p.panel.RecordButtons_Click();
    p.link.view.MetaListEnabled = true; // something plays
    p.panel.RecordButtons_Click();
    // The message box starts empty, and an empty (or blank) message sends nothing.
    EXPECT_EQ(p.panel.MessageText, "");
    p.panel.SendMessageButton_Click();
    p.panel.MessageText_Change("   ");
    p.panel.SendMessageButton_Click();
    EXPECT_EQ(p.sent(), (QStringList{"RECORD", "STOP"}));
    EXPECT_EQ(p.panel.StatusMessage, "");
    p.panel.MessageText_Change("Hi there");
    p.panel.SendMessageButton_Click();
    EXPECT_EQ(p.sent(), (QStringList{"RECORD", "STOP", "MESSAGE Hi there"}));
    EXPECT_EQ(p.panel.StatusMessage, "rC= MESSAGE Hi there");
}

TEST(InfoPanel, ClockTicksJustAfterEachSecondAndAnnouncesOnlyWhatChanged) {
    Panel p;
    int panelChanges = 0;
    int viewChanges = 0;
    QObject::connect(&p.panel, &InfoPanel::changed, [&panelChanges] { ++panelChanges; });
    QObject::connect(&p.link.view, &RadioView::changed, [&viewChanges] { ++viewChanges; });
    const QDate day(2024, 3, 9);
    const auto tickAt = [&](QTime time) {
        p.platform.fakeWallClock.set(QDateTime(day, time));
        panelChanges = viewChanges = 0;
        p.panel.HalfSecondTick_Timer();
        return std::pair{panelChanges, viewChanges};
    };
    p.state.PowerState = "ON";
    EXPECT_EQ(tickAt(QTime(9, 0, 1, 300)), (std::pair{1, 1}));
    EXPECT_EQ(p.panel.TimeLabel, "09:00:01");
    EXPECT_EQ(p.link.view.DeviceState, "ON");
    // The next tick comes just after the next second begins.
    EXPECT_EQ(p.panel.HalfSecondTick().interval(), 700 + InfoPanel::ClockTickLag);
    // A tick within the same second with nothing new from the radio announces nothing.
    EXPECT_EQ(tickAt(QTime(9, 0, 1, 800)), (std::pair{0, 0}));
    EXPECT_EQ(tickAt(QTime(9, 0, 2, 5)), (std::pair{1, 0}));
    EXPECT_EQ(p.panel.HalfSecondTick().interval(), 995 + InfoPanel::ClockTickLag);
    p.state.VolumeText = "35";
    EXPECT_EQ(tickAt(QTime(9, 0, 2, 500)), (std::pair{0, 1}));
    EXPECT_EQ(p.link.view.DeviceVolume, "35");

    // Out of sight the clock sleeps; back on screen it shows the time at once and ticks again.
    EXPECT_TRUE(p.panel.HalfSecondTick().isEnabled());
    p.panel.setClockShown(false);
    EXPECT_FALSE(p.panel.HalfSecondTick().isEnabled());
    p.platform.fakeWallClock.set(QDateTime(day, QTime(9, 5, 0, 100)));
    p.panel.setClockShown(true);
    EXPECT_TRUE(p.panel.HalfSecondTick().isEnabled());
    EXPECT_EQ(p.panel.TimeLabel, "09:05:00");
}
