#include "LinkHarness.h"
#include "radio_link/ReplyParser.h"
#include "radio_link/ReplyRows.h"

#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <gtest/gtest.h>
#include <map>

namespace {

// The link with a skin of its own, fed replies and poll ticks directly.
struct Decoder : LinkHarness {
    Decoder() {
        platform.fakeWallClock.set(QDateTime(QDate(2026, 12, 5), QTime(9, 5)));
        state.needs.FullRefreshDue = false;
    }
    void reply(const QString &text, int channel = 1) {
        link.telnet.Channels[size_t(channel)].LastReply = text;
        link.decoder.DecodeReturn();
    }
    void screen(int screen, const QString &picture, const QString &letters = {}) {
        skin.StateTable[size_t(screen)] =
            StateTableEntry{QString::number(screen), "Screen " + picture, picture, letters};
    }
    // One tick of the refresh with the given flags wanted and the poll due: what it queued.
    QStringList tick(const QString &letters, int fullCountdown = 5) {
        need(letters);
        state.poll.PollCountdown = 1;
        state.poll.FullRefreshCountdown = qint16(fullCountdown);
        link.telnet.ClearChannel(1);
        link.poll.UpdateTimer_Timer();
        return link.telnet.pending(1);
    }
};

} // namespace

TEST(CrazyList, ExpandsPairsWithMultiWordValuesAndRewritesPos) {
    const std::pair<const char *, const char *> cases[] = {
        {"Meta title=A B artist=C", "Meta - Updated T\r\ntitle=A B\r\nartist=C\r\n"},
        {"List pos=9 1=Radio One 2=Two", "List - Updated T\r\npos=10 (3)\r\n1=Radio One\r\n2=Two\r\n"},
        {"List pos=0", "List - Updated T\r\npos=1 (1)\r\n"},
        {"OK", "OK"},
        {"Menu", "Menu - Updated T\r\n"},
        {"Menu title=a  b", "Menu - Updated T\r\ntitle=a  b\r\n"}, // a doubled blank survives
    };
    for (const auto &[reply, expanded] : cases) {
        EXPECT_EQ(CrazyList(reply, "T"), expanded) << reply;
    }
}

// The parser alone: the kind of each line, and the pairs the decoder reads of menu, meta and list
// lines, on the lines a radio gets wrong as well as right.
TEST(ReplyParser, ReadsKindsAndPairs) {
    using namespace ReplyParser;
    const std::pair<const char *, Kind> kinds[] = {
        {"List pos=1", Kind::List}, {"Menu state=3", Kind::Menu}, {"Metadata", Kind::Meta},
        {"STATE=ON", Kind::Power},  {"STATUS=x", Kind::Stat},     {"VER=1.2", Kind::Version},
        {"VOL=40", Kind::Volume},   {"VOLUME=4", Kind::Unknown},  {"list pos=1", Kind::Unknown},
        {"Mute", Kind::Unknown},    {"OK", Kind::Unknown},        {"", Kind::Unknown},
    };
    for (const auto &[line, kind] : kinds) {
        EXPECT_EQ(parseLine(QString::fromLatin1(line)).kind, kind) << line;
    }
    const QString power = "STATE=OFF now";
    EXPECT_EQ(parseLine(power).value, u"OFF now");
    EXPECT_EQ(parseLine(QStringLiteral("VOL=")).value, u"");

    // Menu keys in their order, a repeated key kept twice; a screen longer than four characters
    // is garbled and read as none; other keys are left out.
    const QString menu = "Menu x=1 state=14 ms=2 mp=1 state=123456 title=a b";
    const MenuReply fields = parseMenu(menu);
    ASSERT_EQ(fields.size(), 4);
    EXPECT_TRUE(fields[0].key == MenuField::Screen && fields[0].value == u"14");
    EXPECT_TRUE(fields[1].key == MenuField::Item && fields[1].value == u"2");
    EXPECT_TRUE(fields[2].key == MenuField::Page && fields[2].value == u"1");
    EXPECT_TRUE(fields[3].key == MenuField::Screen && fields[3].value.isEmpty());

    // The meta status is the fifth pair, a value of many words whole.
    const QString meta = "Meta a=1 b=2 c=3 d=4 status=now playing e=5";
    const MetaReply status = parseMeta(meta);
    EXPECT_TRUE(status.hasStatus() && status.pairs == 6);
    EXPECT_EQ(status.statusKey, u"status");
    EXPECT_EQ(status.statusValue, u"now playing");
    EXPECT_FALSE(parseMeta(QStringLiteral("Meta a=1 b=2 c=3 d=4")).hasStatus());

    // The list's place: "pos" is 0-based on pages of seven (negative ones too), another "pos" key
    // carries its number in brackets, the last one wins, one without brackets names none.
    EXPECT_EQ(parseList(QStringLiteral("List pos=9 1=One")).place, qint16(3));
    EXPECT_EQ(parseList(QStringLiteral("List pos=-1")).place, qint16(7));
    EXPECT_EQ(parseList(QStringLiteral("List pos=0 posx=at (5)")).place, qint16(5));
    EXPECT_EQ(parseList(QStringLiteral("List posx=5")).place, std::nullopt);
    EXPECT_EQ(parseList(QStringLiteral("List here pos=1")).head, u"List here");
    // Rows: the head is row 0, then one per pair; an empty key reads as its "=".
    EXPECT_EQ(firstRowStartingWith(QStringLiteral("List pos=1 1=One 2=Two"), u'2'), 3);
    EXPECT_EQ(firstRowStartingWith(QStringLiteral("List pos=1"), u'L'), 0);
    EXPECT_EQ(firstRowStartingWith(QStringLiteral("List pos=1 =x"), u'='), 2);
    EXPECT_EQ(firstRowStartingWith(QStringLiteral("List pos=1"), u'9'), -1);
}

// Noise from the radio reaches the terminal with its control characters made visible and inert;
// line ends and tabs stay as they are.
TEST(TerminalView, ShowsControlCharactersHarmlessly) {
    RadioView view;
    view.clearTerminal();
    view.appendTerminal(QString::fromLatin1("a\x00\x1b[2J\x07\tb\r\n\x7f\x85\xa0z", 15));
    EXPECT_EQ(view.TelnetData, QStringLiteral("a\u2400\u241b[2J\u2407\tb\r\n\u2421\u2426 z"));
    view.TerminalUnlocked = true;
    view.editTerminal(QString::fromLatin1("\x1b"));
    EXPECT_EQ(view.TelnetData, QStringLiteral("\u241b"));
}

TEST(Decoder, ValuesListsMenusAndHolds) {
    Decoder d;
    QSignalSpy refresh(&d.link.view, &RadioView::refreshDisplaysRequested);
    d.link.connection.ResetTimer().setEnabled(true);
    d.state.poll.ExpectState = d.state.poll.ExpectVolume = true;
    d.reply("VER=1.2.3\r\nSTATE=ON\r\nVOL=35\r\nnoise\r\n");
    EXPECT_EQ((QStringList{d.state.VersionText, d.state.PowerState, d.state.VolumeText, d.link.view.DeviceVersion,
                           d.link.view.DeviceState}),
              (QStringList{"1.2.3", "ON", "35", "1.2.3", "ON"}));
    EXPECT_TRUE(d.state.fresh.FreshVersion && d.state.fresh.FreshState && d.state.fresh.FreshVolume);
    EXPECT_FALSE(d.state.poll.ExpectState || d.state.poll.ExpectVolume || d.link.connection.ResetTimer().isEnabled());
    EXPECT_TRUE(d.link.telnet.Channels[1].LastReply.isEmpty());
    EXPECT_EQ(refresh.count(), 1);
    d.state.fresh.FreshState = false; // "STAT" without "STATE=" is recognised but stores nothing
    d.reply("STATUS=OFF");
    EXPECT_TRUE(d.state.PowerState == "ON" && !d.state.fresh.FreshState &&
                d.link.telnet.Channels[1].LastReply.isEmpty());
    // Unknown text stays in LastReply; the queue timer is woken all the same.
    d.link.telnet.CheckOutBuffer().setEnabled(false);
    d.reply("ERROR unknown command");
    EXPECT_TRUE(d.link.telnet.Channels[1].LastReply == "ERROR unknown command" &&
                d.link.telnet.CheckOutBuffer().isEnabled());
    // While the user drags the slider only the label follows the radio; then the slider does.
    QList<int> moves;
    QObject::connect(&d.link.view, &RadioView::volumeAdjusterSet, [&](int value) { moves.append(value); });
    d.state.holds.VolumeDragging = true;
    d.reply("VOL=50");
    EXPECT_TRUE(d.link.view.DeviceVolume == "50" && d.link.view.VolumeAdjusterValue == 35 &&
                !d.state.holds.VolumeDragging);
    d.reply("VOL=155");
    EXPECT_EQ(d.link.view.VolumeAdjusterValue, 100);
    EXPECT_EQ(moves, QList<int>{100});
    d.reply("List pos=13 1=a 2=b 3=c 4=d 5=e 6=f 7=Seventh one");
    EXPECT_EQ(d.link.view.InfoList,
              (QStringList{"List - Updated " + QLocale().toString(d.platform.fakeWallClock.now(), QLocale::ShortFormat),
                           "pos=14 (7)", "1=a", "2=b", "3=c", "4=d", "5=e", "6=f", "7=Seventh one"}));
    EXPECT_TRUE(d.state.SelectedListItem == "7" && d.link.view.InfoListIndex == 8);
    EXPECT_TRUE(d.link.view.InfoListEnabled && d.state.fresh.FreshList);
    d.reply("List pos=0 1=x");
    EXPECT_EQ(d.link.view.InfoListIndex, 2);
    d.state.holds.InfoListHold = true; // a held list skips exactly one reply
    d.reply("List pos=1 1=y 2=z");
    EXPECT_TRUE(d.link.view.InfoList.last() == "1=x" && !d.state.holds.InfoListHold);
    d.reply("List pos=1 1=y 2=z");
    EXPECT_EQ(d.link.view.InfoList.last(), "2=z");
    d.state.awaits.AwaitAnyList = d.state.awaits.AwaitMenu = true;
    d.reply("Menu state=5 mp=1 ms=3 title=Now playing");
    EXPECT_EQ((QStringList{d.state.MenuState, d.state.MenuPage, d.state.SelectedMenuItem, d.link.view.MenuList.last()}),
              (QStringList{"5", "1", "3", "title=Now playing"}));
    EXPECT_TRUE(d.link.view.MainMenuListIndex == 3 && d.state.fresh.FreshMenu && !d.state.awaits.AwaitAnyList &&
                !d.state.awaits.AwaitMenu);
    d.reply("Meta title=A B artist=C album=D url=E status=playing");
    EXPECT_EQ(d.link.view.MetaList.size(), 6);
    d.reply("Menu state=12345 mp=1 ms=3"); // too long: dropped, and no screen rule runs
    EXPECT_EQ(d.state.MenuState, QString());
}

TEST(Decoder, ScreenRules) {
    Decoder d;
    for (const int screen : {0, 14, 21, 34}) {
        d.screen(screen, QString::number(screen));
    }
    QSignalSpy focus(&d.link.view, &RadioView::searchBoxFocusRequested);
    d.reply("Menu state=0 mp=3 ms=17");
    EXPECT_EQ(d.state.ScreenPictureName, "main3");
    d.reply("Menu state=0 mp=2 ms=9");
    EXPECT_EQ(d.state.ScreenPictureName, "main2");
    // The search box appears on screen 14, takes the focus once, and goes on other screens.
    d.reply("Menu state=14 mp=1 ms=3");
    d.reply("Menu state=14 mp=1 ms=3");
    EXPECT_TRUE(d.link.view.SearchBoxVisible && focus.count() == 1);
    d.reply("Menu state=0 mp=1 ms=3");
    EXPECT_FALSE(d.link.view.SearchBoxVisible);
    // A screen the skin gives no picture has none; the last screen's does not linger.
    d.reply("Menu state=7 mp=1 ms=3");
    EXPECT_EQ(d.state.ScreenPictureName, QString());
    // Screen 21 backs out once per menu reply that reports it.
    d.reply("Menu state=21 mp=1 ms=1");
    EXPECT_EQ(d.link.telnet.pending(0), (QStringList{"STOP", "QXDELAY"}));
    EXPECT_EQ(d.state.poll.PollCountdown, d.timeouts.PollWhenOn);
    d.reply("VOL=3\r\nSTATE=ON");
    d.link.decoder.chooseScreen();
    EXPECT_EQ(d.link.telnet.pending(0).size(), 2);
    d.reply("Menu state=21 mp=1 ms=1");
    EXPECT_EQ(d.link.telnet.pending(0).size(), 4);
    d.link.settings.Auto21Backout = false;
    d.link.poll.UpdateTimer().setEnabled(true);
    d.reply("Menu state=21 mp=1 ms=1");
    EXPECT_EQ(d.link.telnet.pending(0).size(), 4);
    EXPECT_FALSE(d.link.poll.UpdateTimer().isEnabled()); // the error screen stops the refresh all the same
    // Night mode: standby only when the power is not on; leaving it polls at once.
    d.state.PowerState = "OFF";
    d.reply("Menu state=34 mp=1 ms=1");
    EXPECT_TRUE(d.state.poll.RadioStandby && d.link.view.CurrentMenuLabel == "Night Mode");
    d.state.poll.PollCountdown = 50;
    d.queue(1, {"STATE"});
    d.reply("Menu state=3 mp=1 ms=1");
    EXPECT_TRUE(!d.state.poll.RadioStandby && d.state.MenuState == "0" && d.state.poll.PollCountdown == 0);
    EXPECT_EQ(d.link.telnet.pending(1), QStringList{"STATE"}); // leaving standby keeps the queries
}

TEST(Decoder, WhatAutosLettersScreenChangesAndRecordButton) {
    Decoder d;
    d.screen(3, "list", "I");
    d.screen(5, "playing", "MVSA");
    d.screen(0, "main");
    d.skin.MenuTable[1] = MenuTableEntry{"pic1", "Radio", QString()};
    QSignalSpy picture(&d.link.view, &RadioView::loadPictureRequested);
    QSignalSpy screen(&d.link.view, &RadioView::displayScreenRequested);
    // The first screen seen is taken as it is, not as a change.
    d.state.poll.PollCountdown = 9;
    d.queue(0, {"VOLUME"});
    d.reply("Menu state=3 mp=1 ms=1");
    EXPECT_EQ(d.link.view.DebugText, "Menu    : Page 1\r\n"
                                     "Menu    : Item (1) = Radio\r\n"
                                     "State   : (3) = Screen list\r\n"
                                     "Timeout : = False\r\n"
                                     "Port 0  : = 1 [VOLUME,,]\r\n"
                                     "Port 1  : = 0\r\n");
    EXPECT_EQ(d.state.poll.PollCountdown, 9);
    EXPECT_EQ(d.needs(), "NI");
    EXPECT_TRUE(d.link.view.InfoListEnabled && !d.link.view.MetaListEnabled);
    EXPECT_EQ(d.link.view.RecordButtonsCaption, "Press to START RECORDING");
    // A change of screen drops pending queries and the panel's holds, and polls at once.
    d.queue(1, {"LISTINFO"});
    d.state.holds.MenuListHold = d.state.holds.InfoListHold = true;
    d.reply("Menu state=5 mp=1 ms=1", 0);
    EXPECT_TRUE(d.link.telnet.pending(1).isEmpty() && d.state.poll.PollCountdown == 0);
    EXPECT_FALSE(d.state.holds.InfoListHold || d.state.holds.MenuListHold);
    EXPECT_EQ(d.needs(), "MVSA");
    // The item's picture and label load once, the screen's picture once per change.
    d.reply("Menu state=5 mp=1 ms=1", 0);
    EXPECT_TRUE(picture.count() == 1 && picture.at(0).at(0).toString() == "pic1");
    EXPECT_EQ(screen.count(), 2);
    EXPECT_EQ((QStringList{d.link.view.CurrentMenuLabel, d.state.ScreenPictureName}),
              (QStringList{"Radio", "playing"}));
    // Meta status: the record button's caption, whether the please-wait stops, and while the
    // radio fills its buffer the meta data is asked again at the next poll.
    QSignalSpy stopWait(&d.link.view, &RadioView::pleaseWaitStopRequested);
    const std::tuple<const char *, const char *, bool, int> statuses[] = {
        {"recording", "Press to STOP RECORDING", true, 9},
        {"connecting", "Press to STOP RECORDING", false, 9},
        {"caching", "Press to STOP RECORDING", false, 1},
        {"stopped", "Press to STOP PLAYBACK", true, 9},
    };
    for (const auto &[status, caption, stops, countdown] : statuses) {
        stopWait.clear();
        d.state.poll.PollCountdown = 9;
        d.reply(QStringLiteral("Meta title=T artist=A album=B url=U status=") + status);
        EXPECT_EQ(d.link.view.RecordButtonsCaption, caption) << status;
        EXPECT_EQ(stopWait.count() > 0, stops) << status;
        EXPECT_EQ(d.state.poll.PollCountdown, countdown) << status;
    }
    // Unanswered volume and state queries since the last acknowledgement are asked again.
    d.state.poll.ExpectVolume = true;
    d.reply("Menu state=0 mp=1 ms=1", 0);
    EXPECT_EQ(d.needs(), "NV");
    d.reply("Menu state=77 mp=1 ms=4", 0); // a screen the skin does not know asks for everything
    EXPECT_EQ(d.needs(), "NIMVSA");
    EXPECT_EQ(d.link.view.DebugText.section("\r\n", 1, 2),
              "Menu    : Item (4) = Unknown 4\r\nState   : (77) = Unknown 77");
    // The waiting animation stops on a menu reply only while a window shows the main menu list.
    d.skin.MenuTable[5] = MenuTableEntry{"pic5", "Five", QString()};
    d.state.WaitFrame = 3;
    stopWait.clear();
    d.reply("Menu state=0 mp=1 ms=2");
    EXPECT_TRUE(stopWait.isEmpty() && d.state.WaitFrame == 3);
    d.link.view.MainMenuListVisible = true;
    d.reply("Menu state=0 mp=1 ms=2");
    EXPECT_TRUE(!stopWait.isEmpty() && d.state.WaitFrame == -2);
    // While the macro list covers it, the selected item's picture is not loaded.
    picture.clear();
    d.link.view.MacroListVisible = true;
    d.reply("Menu state=0 mp=1 ms=5");
    EXPECT_TRUE(picture.isEmpty());
    d.link.view.MacroListVisible = false;
    d.reply("Menu state=0 mp=1 ms=5");
    EXPECT_TRUE(picture.count() == 1 && picture.at(0).at(0).toString() == "pic5");
}

TEST(AutomaticPoll, QueryOrder) {
    Decoder p;
    const QStringList all{"MINFO", "VOLUME", "METAINFO", "LISTINFO", "STATE", "VERSION"}; // each once
    const std::pair<const char *, QStringList> cases[] = {
        {"A", all},
        {"NVSR", {"VOLUME", "MINFO", "STATE", "VERSION"}},
        {"NIV", {"VOLUME", "MINFO", "LISTINFO", "VOLUME"}},
        {"NIM", {"MINFO", "LISTINFO", "MINFO", "METAINFO"}},
        {"MS", {"MINFO", "METAINFO", "STATE"}},
    };
    for (const auto &[letters, queries] : cases) {
        EXPECT_EQ(p.tick(letters), queries) << letters;
        EXPECT_TRUE(!p.state.needs.FullRefreshDue && p.state.poll.PollCountdown == p.timeouts.PollWhenOn) << letters;
    }
    // The countdown of full refreshes runs out: everything is asked, and the countdown reloads.
    EXPECT_EQ(p.tick("N", 1), all);
    EXPECT_EQ(p.state.poll.FullRefreshCountdown, p.timeouts.CheckAllOn);
    p.state.poll.RadioStandby = true;
    p.tick("N", 1);
    EXPECT_TRUE(p.state.poll.FullRefreshCountdown == p.timeouts.CheckAllOff &&
                p.state.poll.PollCountdown == p.timeouts.PollWhenOff);
}

TEST(AutomaticPoll, TimerStopsAfterAPollAndTheIdleQueueRestartsIt) {
    Decoder p;
    QSignalSpy redraw(&p.link.poll, &AutomaticPoll::refreshDisplays);
    Timer &timer = p.link.poll.UpdateTimer();
    p.state.poll.FullRefreshCountdown = 5;
    p.link.poll.start();
    EXPECT_EQ(timer.interval(), 500);
    p.need("N");
    p.state.poll.PollCountdown = 2;
    p.platform.fakeClock.advance(500);
    EXPECT_EQ(timer.interval(), 100);
    EXPECT_TRUE(p.state.poll.PollCountdown == 1 && p.link.telnet.pending(1).isEmpty());
    // Nothing was queued, so the queue is idle and the countdown goes on at its 100 ms pace.
    EXPECT_TRUE(timer.isEnabled());
    p.platform.fakeClock.advance(100);
    EXPECT_EQ(p.link.telnet.pending(1), QStringList{"MINFO"});
    EXPECT_FALSE(timer.isEnabled());
    p.link.telnet.CompactQueues(); // a query is waiting: stays off
    EXPECT_FALSE(timer.isEnabled());
    EXPECT_EQ(redraw.count(), 2);
    // Nothing wanted: the timer keeps itself running and asks for the menu next time.
    p.need("");
    p.state.poll.PollCountdown = 5;
    p.link.poll.UpdateTimer_Timer();
    EXPECT_TRUE(timer.isEnabled() && p.needs() == "N");
    EXPECT_EQ(p.state.poll.PollCountdown, p.timeouts.PollWhenOn);
}

namespace {

// Everything a decoded reply leaves behind that windows, the poll and the macro runner read.
QStringList outcome(Decoder &d) {
    const RadioState &s = d.state;
    const RadioView &v = d.link.view;
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    QStringList out{s.PowerState,
                    s.VersionText,
                    s.VolumeText,
                    s.MenuState,
                    s.PreviousMenuState,
                    s.MenuPage,
                    s.SelectedMenuItem,
                    s.SelectedListItem,
                    s.ScreenPictureName,
                    QString::number(s.LastScreen),
                    QString::number(s.WaitFrame),
                    QString::number(s.poll.PollCountdown),
                    QString::number(s.poll.FullRefreshCountdown)};
    for (const bool f : {s.needs.FullRefreshDue,   s.needs.NeedState,     s.needs.NeedVersion,  s.needs.NeedVolume,
                         s.needs.NeedMenu,         s.needs.NeedList,      s.needs.NeedMeta,     s.poll.ExpectState,
                         s.poll.ExpectVolume,      s.poll.RadioStandby,   s.awaits.AwaitOk,     s.awaits.AwaitAnyList,
                         s.awaits.AwaitList,       s.awaits.AwaitMenu,    s.awaits.AwaitMeta,   s.fresh.FreshMenu,
                         s.fresh.FreshList,        s.fresh.FreshMeta,     s.fresh.FreshVolume,  s.fresh.FreshVersion,
                         s.fresh.FreshState,       s.holds.InfoListHold,  s.holds.MetaListHold, s.holds.MenuListHold,
                         s.holds.MainMenuListHold, s.holds.VolumeDragging}) {
        out << flag(f);
    }
    out << v.DeviceState << v.DeviceVersion << v.DeviceVolume << v.InfoList << v.MetaList << v.MenuList
        << v.CurrentMenuLabel << v.DebugText << v.RecordButtonsCaption << v.TelnetData
        << QString::number(v.InfoListIndex) << QString::number(v.MetaListIndex) << QString::number(v.MenuListIndex)
        << QString::number(v.MainMenuListIndex) << QString::number(v.VolumeAdjusterValue)
        << QString::number(v.PointerBorderColour);
    for (const bool f :
         {v.InfoListEnabled, v.MetaListEnabled, v.VolumeAdjusterEnabled, v.RecordButtonsBold, v.RecordButtonsEnabled,
          v.SearchBoxVisible, d.link.poll.UpdateTimer().isEnabled(), d.link.connection.ResetTimer().isEnabled()}) {
        out << flag(f);
    }
    out << d.link.telnet.pending(0) << d.link.telnet.pending(1);
    return out;
}

void skin(Decoder &d) {
    d.screen(0, "main");
    d.screen(3, "list", "I");
    d.screen(5, "playing", "MVS");
    d.screen(14, "keyboard");
    d.screen(21, "error");
    d.screen(34, "standby", "S");
    for (int item = 1; item <= 4; ++item) {
        d.skin.MenuTable[size_t(item)] =
            MenuTableEntry{"pic" + QString::number(item), "Item " + QString::number(item), QString()};
    }
}

} // namespace

// A reply of many lines ends exactly where the same lines decoded one reply each end: the
// state, the lists, the poll flags, the queues (the error screen's back-out), the terminal.
// Lines come in random runs, repeats among them, through screen changes, night mode, the
// error screen, the search screen, list holds, a dragged slider and noise; every prefix of
// each sequence is compared, so whatever the last line changed must show.
TEST(Decoder, ManyLinesEndAsTheLinesOneByOne) {
    const QStringList kinds{"Menu state=0 mp=1 ms=1 title=Main Menu",
                            "Menu state=0 mp=3 ms=17",
                            "Menu state=3 mp=1 ms=1 title=Stations",
                            "Menu state=5 mp=1 ms=2 title=Now playing",
                            "Menu state=5 mp=1 ms=2 title=Now playing",
                            "Menu state=14 mp=1 ms=3",
                            "Menu state=21 mp=1 ms=1",
                            "Menu state=34 mp=1 ms=1",
                            "Menu state=77 mp=1 ms=4",
                            "Menu state=12345 mp=1 ms=1",
                            "List pos=0",
                            "List pos=9 1=Jazz FM 2=Rock 3=News",
                            "List pos=13 1=a 2=b 3=c 4=d 5=e 6=f 7=g",
                            "Meta title=A B artist=C album=D url=E status=playing",
                            "Meta title=T artist=A album=B url=U status=caching",
                            "Meta title=T artist=A album=B url=U status=recording",
                            "Meta title=T artist=A",
                            "VOL=35",
                            "VOL=155",
                            "STATE=ON",
                            "STATE=OFF",
                            "STATUS",
                            "VER=3.1.7",
                            "noise \x01\x85 here",
                            "OK"};
    const auto prepared = [](Decoder &d, quint32 seed) {
        skin(d);
        d.link.settings.Auto21Backout = seed % 2 == 0;
        d.link.poll.UpdateTimer().setEnabled(true);
        d.link.connection.ResetTimer().setEnabled(true);
        d.state.poll.ExpectVolume = d.state.poll.ExpectState = d.state.holds.VolumeDragging =
            d.state.holds.InfoListHold = true;
        d.state.PowerState = "OFF";
        d.state.WaitFrame = 4;
        d.queue(0, {"VOLp"});
    };
    for (quint32 seed = 1; seed <= 40; ++seed) {
        QRandomGenerator random(seed);
        QStringList lines;
        while (lines.size() < 50) {
            const QString line = kinds[random.bounded(int(kinds.size()))];
            for (int run = random.bounded(1, 4); run > 0; --run) {
                lines << line;
            }
        }
        Decoder single;
        prepared(single, seed);
        for (qsizetype n = 1; n <= lines.size(); ++n) {
            single.reply(lines[n - 1] + "\r\n");
            Decoder whole;
            prepared(whole, seed);
            whole.reply(lines.mid(0, n).join("\r\n") + "\r\n");
            ASSERT_EQ(outcome(whole), outcome(single)) << "seed " << seed << ", " << n << " lines";
        }
    }
}

// However many lines a reply has, the windows hear of it once: one redraw, one slider move
// (to the last volume), one trace line end, one refresh of the display.
TEST(Decoder, ManyLinesSignalOncePerReply) {
    Decoder d;
    skin(d);
    QSignalSpy changed(&d.link.view, &RadioView::changed);
    QSignalSpy slider(&d.link.view, &RadioView::volumeAdjusterSet);
    QSignalSpy trace(&d.link.view, &RadioView::macroTrace);
    QSignalSpy refresh(&d.link.view, &RadioView::refreshDisplaysRequested);
    QSignalSpy screen(&d.link.view, &RadioView::displayScreenRequested);
    QString reply;
    for (int i = 0; i < 3000; ++i) {
        reply +=
            QStringLiteral("Menu state=3 mp=1 ms=1 title=Stations\r\nVOL=%1\r\nList pos=%2 1=x\r\n").arg(i % 90).arg(i);
    }
    d.link.telnet.Channels[1].Completed = reply;
    d.link.connection.Timer_CheckTelnet_Timer();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(slider.count(), 1);
    EXPECT_EQ(slider.at(0).at(0).toInt(), 2999 % 90);
    EXPECT_EQ(trace.count(), 2); // the reply itself, then the line end of its "VOL=" lines
    EXPECT_EQ(trace.at(1).at(0).toString(), "\r\n");
    EXPECT_EQ(refresh.count(), 1);
    EXPECT_EQ(screen.count(), 1);
    // The reply, then one more line end per "VOL=" line; the terminal keeps its last 20000
    // characters.
    EXPECT_EQ(d.link.view.TelnetData.size(), RadioView::TerminalLimit);
    EXPECT_TRUE(d.link.view.TelnetData.endsWith("VOL=29\r\nList pos=2999 1=x\r\n" + QString("\r\n").repeated(3000)));
    EXPECT_TRUE(d.state.VolumeText == "29" && d.state.SelectedListItem == "4");
}

// A radio answering noise neither changes what the poll asks nor passes for a screen: over 30 s
// it is asked what a sane radio on its main menu is asked, and the panel names no screen, while
// a display label wants the volume (as the default skin's main screen does).
TEST(Decoder, NoiseKeepsThePollAndFakesNoScreen) {
    std::map<bool, QStringList> asked;
    for (const bool noise : {false, true}) {
        Decoder d;
        skin(d);
        d.skin.MenuTable[0] = MenuTableEntry{"power", "Power", QString()};
        QSignalSpy picture(&d.link.view, &RadioView::loadPictureRequested);
        QRandomGenerator random(11);
        d.answer = [&](const QString &command) -> std::optional<QString> {
            if (noise) {
                QString bytes;
                for (int i = random.bounded(16, 129); i > 0; --i) {
                    bytes += QChar(char16_t(random.bounded(256)));
                }
                return bytes;
            }
            const std::map<QString, QString> answers{
                {"VERSION", "VER=3.1.7"},   {"STATE", "STATE=ON"},
                {"VOLUME", "VOL=20"},       {"MINFO", "Menu state=0 mp=1 ms=1 title=Main Menu"},
                {"LISTINFO", "List pos=0"}, {"METAINFO", "Meta title= artist= status=stopped"}};
            const auto found = answers.find(command);
            return (found == answers.end() ? QString("OK") : found->second) + "\r\n";
        };
        d.queue(1, {"VERSION", "STATE", "MINFO"});
        d.state.needs.NeedVolume = true;
        d.state.poll.PollCountdown = 0;
        d.link.start();
        d.run(30000);
        asked[noise] = d.commands(1);
        if (noise) {
            EXPECT_EQ(d.link.view.DebugText.section("\r\n", 1, 2),
                      "Menu    : Item () = Unknown \r\nState   : () = Unknown ");
            EXPECT_TRUE(picture.isEmpty() && d.link.view.CurrentMenuLabel.isEmpty());
        }
    }
    EXPECT_EQ(asked[true].count("VOLUME"), asked[false].count("VOLUME"));
    EXPECT_LE(asked[true].count("VOLUME"), 4);
    EXPECT_EQ(asked[true], asked[false]);
}
