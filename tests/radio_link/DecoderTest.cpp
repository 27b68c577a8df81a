#include "LinkHarness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

struct Decoder : LinkHarness {
    Decoder() {
        link.decoder.updatedAt = [] { return QStringLiteral("T"); };
    }

    void reply(const QString &text, int channel = 1) {
        link.telnet.Channels[size_t(channel)].LastReply = text;
        link.decoder.DecodeReturn();
    }
    void screen(int screen, const QString &name, const QString &picture, const QString &letters) {
        skin.StateTable[size_t(screen)] = StateTableEntry{QString::number(screen), name, picture, letters};
    }
};

} // namespace

TEST(CrazyList, ExpandsPairsWithMultiWordValuesAndRewritesPos) {
    EXPECT_EQ(CrazyList(QStringLiteral("Meta title=A B artist=C"), QStringLiteral("T")),
              QStringLiteral("Meta - Updated T\r\ntitle=A B\r\nartist=C\r\n"));
    EXPECT_EQ(CrazyList(QStringLiteral("List pos=9 1=Radio One 2=Two"), QStringLiteral("T")),
              QStringLiteral("List - Updated T\r\npos=10 (3)\r\n1=Radio One\r\n2=Two\r\n"));
    EXPECT_EQ(CrazyList(QStringLiteral("List pos=0"), QStringLiteral("T")),
              QStringLiteral("List - Updated T\r\npos=1 (1)\r\n"));
    EXPECT_EQ(CrazyList(QStringLiteral("List pos=13"), QStringLiteral("T")),
              QStringLiteral("List - Updated T\r\npos=14 (7)\r\n"));
    EXPECT_EQ(CrazyList(QStringLiteral("OK"), QStringLiteral("T")), QStringLiteral("OK"));
    EXPECT_EQ(CrazyList(QStringLiteral("Menu"), QStringLiteral("T")), QStringLiteral("Menu - Updated T\r\n"));
    // A doubled blank inside a value survives the round trip.
    EXPECT_EQ(CrazyList(QStringLiteral("Menu title=a  b"), QStringLiteral("T")),
              QStringLiteral("Menu - Updated T\r\ntitle=a  b\r\n"));
}

TEST(Decoder, SimpleValuesAndTheirFlags) {
    Decoder d;
    QSignalSpy refresh(&d.link.view, &LinkView::refreshDisplaysRequested);
    d.link.connection.ResetTimer().setEnabled(true);
    d.state.ExpectState = d.state.ExpectVolume = true;
    d.reply(QStringLiteral("VER=1.2.3\r\nSTATE=ON\r\nVOL=35\r\nnoise\r\n"));
    EXPECT_EQ(d.state.VersionText, QStringLiteral("1.2.3"));
    EXPECT_EQ(d.state.PowerState, QStringLiteral("ON"));
    EXPECT_EQ(d.state.VolumeText, QStringLiteral("35"));
    EXPECT_TRUE(d.state.FreshVersion && d.state.FreshState && d.state.FreshVolume);
    EXPECT_FALSE(d.state.ExpectState || d.state.ExpectVolume);
    EXPECT_EQ(d.link.view.DeviceVersion, QStringLiteral("1.2.3"));
    EXPECT_EQ(d.link.view.DeviceState, QStringLiteral("ON"));
    EXPECT_EQ(d.link.view.VolumeAdjusterValue, 35);
    EXPECT_EQ(d.link.view.PointerBorderColour, LinkColour::Green);
    EXPECT_FALSE(d.link.connection.ResetTimer().isEnabled());
    EXPECT_TRUE(d.link.telnet.Channels[1].LastReply.isEmpty());
    EXPECT_EQ(refresh.count(), 1);
    EXPECT_TRUE(d.state.ListPage.isEmpty());

    // "STAT" without "STATE=" is recognised but stores nothing.
    d.state.FreshState = false;
    d.reply(QStringLiteral("STATUS=OFF"));
    EXPECT_EQ(d.state.PowerState, QStringLiteral("ON"));
    EXPECT_FALSE(d.state.FreshState);
    EXPECT_TRUE(d.link.telnet.Channels[1].LastReply.isEmpty());

    // Unknown text stays in LastReply; the queue timer is woken all the same.
    d.link.telnet.CheckOutBuffer().setEnabled(false);
    d.reply(QStringLiteral("ERROR unknown command"));
    EXPECT_EQ(d.link.telnet.Channels[1].LastReply, QStringLiteral("ERROR unknown command"));
    EXPECT_TRUE(d.link.telnet.CheckOutBuffer().isEnabled());

    // While the user drags the slider only the label follows the radio.
    d.state.VolumeDragging = true;
    d.reply(QStringLiteral("VOL=50"));
    EXPECT_EQ(d.link.view.DeviceVolume, QStringLiteral("50"));
    EXPECT_EQ(d.link.view.VolumeAdjusterValue, 35);
    EXPECT_FALSE(d.state.VolumeDragging);
    d.reply(QStringLiteral("VOL=55"));
    EXPECT_EQ(d.link.view.VolumeAdjusterValue, 55);
}

TEST(Decoder, ListsMenusAndHolds) {
    Decoder d;
    d.reply(QStringLiteral("List pos=13 1=a 2=b 3=c 4=d 5=e 6=f 7=Seventh one"));
    EXPECT_EQ(d.link.view.InfoList, (QStringList{"List - Updated T", "pos=14 (7)", "1=a", "2=b", "3=c", "4=d", "5=e",
                                                 "6=f", "7=Seventh one"}));
    EXPECT_EQ(d.state.SelectedListItem, QStringLiteral("7"));
    EXPECT_EQ(d.link.view.InfoListIndex, 8);
    EXPECT_TRUE(d.link.view.InfoListEnabled);
    EXPECT_TRUE(d.state.FreshList);
    d.reply(QStringLiteral("List pos=0 1=x"));
    EXPECT_EQ(d.link.view.InfoListIndex, 2);

    // A held list skips exactly one reply.
    d.state.InfoListHold = true;
    d.reply(QStringLiteral("List pos=1 1=y 2=z"));
    EXPECT_EQ(d.link.view.InfoList.last(), QStringLiteral("1=x"));
    EXPECT_FALSE(d.state.InfoListHold);
    d.reply(QStringLiteral("List pos=1 1=y 2=z"));
    EXPECT_EQ(d.link.view.InfoList.last(), QStringLiteral("2=z"));

    d.state.AwaitAnyList = d.state.AwaitMenu = true;
    d.reply(QStringLiteral("Menu state=5 mp=1 ms=3 title=Now playing"));
    EXPECT_EQ(d.state.MenuState, QStringLiteral("5"));
    EXPECT_EQ(d.state.MenuPage, QStringLiteral("1"));
    EXPECT_EQ(d.state.SelectedMenuItem, QStringLiteral("3"));
    EXPECT_EQ(d.link.view.MainMenuListIndex, 3);
    EXPECT_EQ(d.link.view.MenuList.last(), QStringLiteral("title=Now playing"));
    EXPECT_FALSE(d.state.AwaitAnyList || d.state.AwaitMenu);
    EXPECT_TRUE(d.state.FreshMenu);

    d.reply(QStringLiteral("Meta title=A B artist=C album=D url=E status=playing"));
    EXPECT_EQ(d.link.view.MetaList.size(), 6);
    d.state.MetaListHold = true;
    d.reply(QStringLiteral("Meta title=Other"));
    EXPECT_EQ(d.link.view.MetaList.size(), 6);

    // A state of more than four characters is dropped and triggers no screen rule.
    d.reply(QStringLiteral("Menu state=12345 mp=1 ms=3"));
    EXPECT_EQ(d.state.MenuState, QString());
}

TEST(Decoder, DebugTextNamesFromTheSkin) {
    Decoder d;
    d.skin.MenuTable[3] = MenuTableEntry{QStringLiteral("pic3"), QStringLiteral("Search"), QString()};
    d.screen(5, QStringLiteral("Playing"), QStringLiteral("playing"), QStringLiteral("MV"));
    QSignalSpy picture(&d.link.view, &LinkView::loadPictureRequested);
    QSignalSpy screen(&d.link.view, &LinkView::displayScreenRequested);
    d.link.telnet.QueueCommand(1, QStringLiteral("VOLUME"));
    d.reply(QStringLiteral("Menu state=5 mp=1 ms=3"), 0);
    EXPECT_EQ(d.link.view.DebugText, QStringLiteral("Menu    : Page 1\r\n"
                                                    "Menu    : Item (3) = Search\r\n"
                                                    "State   : (5) = Playing\r\n"
                                                    "Timeout : = False\r\n"
                                                    "Port 0  : = 0\r\n"
                                                    "Port 1  : = 1 [VOLUME,,]\r\n"));
    ASSERT_EQ(picture.count(), 1);
    EXPECT_EQ(picture.at(0).at(0).toString(), QStringLiteral("pic3"));
    EXPECT_EQ(d.link.view.CurrentMenuLabel, QStringLiteral("Search"));
    ASSERT_EQ(screen.count(), 1);
    EXPECT_EQ(d.state.ScreenPictureName, QStringLiteral("playing"));
    // The same item and screen again load nothing again.
    d.reply(QStringLiteral("Menu state=5 mp=1 ms=3"), 0);
    EXPECT_EQ(picture.count(), 1);
    EXPECT_EQ(screen.count(), 1);
    d.reply(QStringLiteral("Menu state=9 mp=1 ms=4"), 0);
    EXPECT_EQ(d.link.view.DebugText.section(QStringLiteral("\r\n"), 1, 2),
              QStringLiteral("Menu    : Item (4) = Unknown 4\r\nState   : (9) = Unknown 9"));
}

TEST(Decoder, ScreenRules) {
    Decoder d;
    d.screen(0, QStringLiteral("Main"), QStringLiteral("main"), QString());
    d.screen(14, QStringLiteral("Keyboard"), QStringLiteral("keyboard"), QString());
    d.screen(21, QStringLiteral("Error"), QStringLiteral("error"), QString());
    d.screen(34, QStringLiteral("Standby"), QStringLiteral("standby"), QString());
    QSignalSpy focus(&d.link.view, &LinkView::searchBoxFocusRequested);

    d.reply(QStringLiteral("Menu state=0 mp=3 ms=17"));
    EXPECT_EQ(d.state.ScreenPictureName, QStringLiteral("main3"));
    d.reply(QStringLiteral("Menu state=0 mp=2 ms=9"));
    EXPECT_EQ(d.state.ScreenPictureName, QStringLiteral("main2"));

    // The search box appears on screen 14, takes the focus once, and goes on other screens.
    d.reply(QStringLiteral("Menu state=14 mp=1 ms=3"));
    d.reply(QStringLiteral("Menu state=14 mp=1 ms=3"));
    EXPECT_TRUE(d.link.view.SearchBoxVisible);
    EXPECT_EQ(focus.count(), 1);
    d.reply(QStringLiteral("Menu state=0 mp=1 ms=3"));
    EXPECT_FALSE(d.link.view.SearchBoxVisible);

    // Screen 21 backs out once per menu reply that reports it.
    d.reply(QStringLiteral("Menu state=21 mp=1 ms=1"));
    EXPECT_EQ(d.link.telnet.pending(0), (QStringList{"STOP", "QXDELAY"}));
    EXPECT_EQ(d.state.PollCountdown, d.timeouts.PollWhenOn);
    d.reply(QStringLiteral("VOL=3\r\nSTATE=ON"));
    d.link.decoder.FillDebug();
    EXPECT_EQ(d.link.telnet.pending(0).size(), 2);
    d.reply(QStringLiteral("Menu state=21 mp=1 ms=1"));
    EXPECT_EQ(d.link.telnet.pending(0).size(), 4);
    d.link.settings.Auto21Backout = false;
    d.link.poll.UpdateTimer().setEnabled(true);
    d.reply(QStringLiteral("Menu state=21 mp=1 ms=1"));
    EXPECT_EQ(d.link.telnet.pending(0).size(), 4);
    EXPECT_FALSE(d.link.poll.UpdateTimer().isEnabled()); // the error screen stops the refresh

    // Night mode: standby only when the power is not on; leaving it polls at once.
    d.state.PowerState = QStringLiteral("OFF");
    d.reply(QStringLiteral("Menu state=34 mp=1 ms=1"));
    EXPECT_TRUE(d.state.RadioStandby);
    EXPECT_EQ(d.link.view.CurrentMenuLabel, QStringLiteral("Night Mode"));
    d.state.PollCountdown = 50;
    d.link.telnet.QueueCommand(1, QStringLiteral("STATE"));
    d.reply(QStringLiteral("Menu state=3 mp=1 ms=1"));
    EXPECT_FALSE(d.state.RadioStandby);
    EXPECT_EQ(d.state.MenuState, QStringLiteral("0"));
    EXPECT_EQ(d.state.PollCountdown, 0);
    EXPECT_EQ(d.link.telnet.pending(1), QStringList{"STATE"}); // leaving standby keeps the queries
}

TEST(Decoder, WhatAutosLettersScreenChangesAndRecordButton) {
    Decoder d;
    d.screen(3, QStringLiteral("Stations"), QStringLiteral("list"), QStringLiteral("I"));
    d.screen(5, QStringLiteral("Playing"), QStringLiteral("playing"), QStringLiteral("MVSA"));
    d.screen(0, QStringLiteral("Main"), QStringLiteral("main"), QString());

    // The first screen seen is taken as it is, not as a change.
    d.state.PollCountdown = 9;
    d.reply(QStringLiteral("Menu state=3 mp=1 ms=1"));
    EXPECT_EQ(d.state.LastScreen, 3);
    EXPECT_EQ(d.state.PollCountdown, 9);
    EXPECT_TRUE(d.state.NeedList && d.state.NeedMenu);
    EXPECT_FALSE(d.state.NeedMeta || d.state.NeedVolume || d.state.NeedState);
    EXPECT_TRUE(d.link.view.InfoListEnabled);
    EXPECT_FALSE(d.link.view.MetaListEnabled);
    EXPECT_EQ(d.link.view.RecordButtonsCaption, QStringLiteral("Press to START RECORDING"));

    // A change of screen drops pending queries and the panel's holds, and polls at once.
    d.link.telnet.QueueCommand(1, QStringLiteral("LISTINFO"));
    d.state.MenuListHold = d.state.InfoListHold = true;
    d.reply(QStringLiteral("Menu state=5 mp=1 ms=1"), 0);
    EXPECT_TRUE(d.link.telnet.pending(1).isEmpty());
    EXPECT_EQ(d.state.PollCountdown, 0);
    EXPECT_FALSE(d.state.InfoListHold);
    EXPECT_TRUE(d.state.NeedMeta && d.state.NeedVolume && d.state.NeedState && d.state.FullRefreshDue);
    EXPECT_FALSE(d.state.NeedList || d.state.NeedMenu);

    QSignalSpy stopWait(&d.link.view, &LinkView::pleaseWaitStopRequested);
    d.link.hooks.mainMenuListVisible = [] { return false; };
    const auto meta = [&](const QString &status) {
        stopWait.clear();
        d.reply(QStringLiteral("Meta title=T artist=A album=B url=U status=") + status);
    };
    meta(QStringLiteral("recording"));
    EXPECT_EQ(d.link.view.RecordButtonsCaption, QStringLiteral("Press to STOP RECORDING"));
    EXPECT_GT(stopWait.count(), 0);
    meta(QStringLiteral("connecting"));
    EXPECT_EQ(d.link.view.RecordButtonsCaption, QStringLiteral("Press to STOP RECORDING"));
    EXPECT_EQ(stopWait.count(), 0);
    d.state.PollCountdown = 9;
    meta(QStringLiteral("caching"));
    EXPECT_EQ(d.state.PollCountdown, 1);
    EXPECT_TRUE(d.state.NeedMeta);
    meta(QStringLiteral("stopped"));
    EXPECT_EQ(d.link.view.RecordButtonsCaption, QStringLiteral("Press to STOP PLAYBACK"));
    EXPECT_GT(stopWait.count(), 0);

    // Unanswered volume and state queries since the last acknowledgement are asked again.
    d.state.ExpectVolume = true;
    d.reply(QStringLiteral("Menu state=0 mp=1 ms=1"), 0);
    EXPECT_TRUE(d.state.NeedVolume);
    EXPECT_FALSE(d.state.NeedState);
    EXPECT_TRUE(d.state.NeedMenu);

    // A screen the skin does not know asks for everything.
    d.reply(QStringLiteral("Menu state=77 mp=1 ms=1"), 0);
    EXPECT_TRUE(d.state.NeedList && d.state.NeedMeta && d.state.NeedVolume && d.state.NeedState && d.state.NeedMenu &&
                d.state.FullRefreshDue);
}
