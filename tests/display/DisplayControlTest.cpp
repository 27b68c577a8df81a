// The display used as a touch screen, its search box and its waiting animation.
#include "DisplayFixture.h"
#include "keyboard/KeyboardGrid.h"
#include "keyboard/KeyMap.h"

struct DisplayControlTest : DisplayFixture {
    void SetUp() override {
        picture("bg.png", {320, 240}, QColor(20, 20, 20));
        picture("bg2.png", {320, 240}, QColor(90, 90, 90));
        picture("red.png", {20, 20}, Qt::red);
        picture("coverart.png", {20, 20}, Qt::blue);
        useSkin("[home]|B=,,bg,next,BGCMD|S=bar|I=lst|O=10,10,red,next,OCMD|O=40,10,coverart,,COVER|O=70,10,red,,|"
                "[next]|B=,,bg2,,|O=50,50,red,home,|"
                "[StatusBar_bar]|O=300,0,red,,SCMD|O=300,30,red,,|"
                "[Labels_lst]|L=5,100,%INFO,,|L=5,T20,%INFO,,|L=5,T20,%META,,");
        screen().DisplayScreen("home");
    }
    QString shown() const { return skin.MenuArray[std::size_t(skin.CurrentMenu)].Name; }
};

TEST_F(DisplayControlTest, ClicksSendTheSkinsCommandsAndFollowItsTargets) {
    // Right button on an overlay: the background's target, nothing sent.
    display->OverlayImages_MouseDown(0, Qt::RightButton);
    EXPECT_EQ(shown(), "next");
    EXPECT_TRUE(queued().isEmpty());
    // Captions follow the radio's current menu item, ignoring case.
    view.CurrentMenuLabel = "HOME";
    display->FollowCurrentMenuLabel();
    EXPECT_EQ(screen().OverlayNameLabel[0].Colour, ScreenRenderer::CurrentItemColour);
    view.CurrentMenuLabel = "Stations";
    display->FollowCurrentMenuLabel();
    EXPECT_EQ(screen().OverlayNameLabel[0].Colour, ScreenRenderer::OtherItemColour);

    screen().DisplayScreen("home");
    // Picture-only overlays ignore clicks; items past the screen's overlays too.
    display->OverlayImages_MouseDown(1, Qt::LeftButton);
    display->OverlayImages_MouseDown(7, Qt::LeftButton);
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_EQ(shown(), "home");
    // A press on an overlay (here on its caption, in the middle) sends and follows it; the
    // release that ends the press does not count as a click on the new screen's background.
    display->MouseDown({20, 20}, Qt::LeftButton);
    display->MouseUp(Qt::LeftButton);
    EXPECT_EQ(queued(), QStringList{"OCMD"});
    EXPECT_EQ(shown(), "next");
    // Background click: poll requests dropped, command sent, target shown.
    screen().DisplayScreen("home");
    state.needs.NeedList = state.needs.NeedMeta = state.needs.NeedMenu = state.needs.NeedState =
        state.needs.NeedVolume = state.needs.NeedVersion = true;
    display->MouseDown({200, 200}, Qt::LeftButton);
    display->MouseUp(Qt::LeftButton);
    EXPECT_EQ(queued(), (QStringList{"OCMD", "BGCMD"}));
    EXPECT_EQ(shown(), "next");
    EXPECT_FALSE(state.needs.NeedList || state.needs.NeedMeta || state.needs.NeedMenu || state.needs.NeedState ||
                 state.needs.NeedVolume || state.needs.NeedVersion);
    // Status pictures send their set's command with any button but the right one; the screen stays.
    screen().DisplayScreen("home");
    display->MouseDown({305, 5}, Qt::RightButton);
    display->MouseDown({305, 5}, Qt::MiddleButton);
    display->MouseDown({305, 35}, Qt::LeftButton); // no command
    EXPECT_EQ(queued(), (QStringList{"OCMD", "BGCMD", "SCMD"}));
    EXPECT_EQ(shown(), "home");
}

TEST_F(DisplayControlTest, LabelsShowingListEntriesSelectThemAndDoubleClicksActOnThem) {
    view.InfoList = {"List - Updated", "pos=1 (1)", "1=Jazz FM"};
    view.MetaList = {"Meta - Updated", "title=Song", "artist=Band"};
    view.InfoListEnabled = view.MetaListEnabled = true;
    screen().RefreshDisplays();
    // Label 2 ("artist=Band" ends with "Band") is in the meta list; label 9 does not exist.
    EXPECT_EQ((QList<int>{display->WhatList(0), display->WhatList(1), display->WhatList(2), display->WhatList(9)}),
              (QList<int>{1, 1, 2, 0}));
    int infoOpened = 0;
    int metaOpened = 0;
    QObject::connect(display.get(), &DisplayControl::infoListOpened, [&] { ++infoOpened; });
    QObject::connect(display.get(), &DisplayControl::metaListOpened, [&] { ++metaOpened; });
    const QPoint second = screen().OverlayLabel[1].Rect().center();
    display->MouseDown(second, Qt::LeftButton);
    display->MouseUp(Qt::LeftButton);
    display->OverlayLabel_Click(2);
    EXPECT_EQ(QPoint(view.InfoListIndex, view.MetaListIndex), QPoint(1, 2));
    EXPECT_TRUE(state.holds.InfoListHold && state.holds.MetaListHold);
    display->DoubleClick(second, Qt::LeftButton);
    display->OverlayLabel_DblClick(2);
    EXPECT_EQ(QPoint(infoOpened, metaOpened), QPoint(1, 1));
    // A disabled list is neither selected nor opened.
    view.InfoListEnabled = view.MetaListEnabled = false;
    EXPECT_EQ(display->WhatList(1), 0);
    display->OverlayLabel_DblClick(1);
    EXPECT_EQ(infoOpened, 1);
}

// The menu's icons ask for their entries to be opened (the information panel sends the keys),
// once for a click and once for a double click; the display stays until the radio has moved.
TEST_F(DisplayControlTest, MainMenuIconsOpenTheirEntriesOncePerClick) {
    useSkin("[menu]|B=,,bg,,|O=10,10,red,STATIONS,|O=40,10,red,Recordings,|O=70,10,red,Recordings,UP|"
            "O=100,10,coverart,Recordings,|O=130,10,red,Power,|O=160,10,red,Podcasts,|O=190,10,red,Next,|"
            "[next]|B=,,bg2,,");
    skin.MainMenuList = {"Power", "Stations", "Recordings", "Next"};
    screen().DisplayScreen("menu");
    QList<int> opened;
    QObject::connect(display.get(), &DisplayControl::mainMenuEntryOpened, [&opened](int entry) { opened << entry; });
    const auto click = [this](int x, Qt::MouseButton button = Qt::LeftButton) {
        display->MouseDown({x, 20}, button);
        display->MouseUp(button);
    };
    // As Qt delivers it: the double click comes in place of the second press.
    const auto doubleClick = [this](int x) {
        display->MouseDown({x, 20}, Qt::LeftButton);
        display->MouseUp(Qt::LeftButton);
        display->DoubleClick({x, 20}, Qt::LeftButton);
        display->MouseUp(Qt::LeftButton);
    };
    EXPECT_EQ((QList<int>{display->MainMenuEntryOf(0), display->MainMenuEntryOf(1), display->MainMenuEntryOf(2),
                          display->MainMenuEntryOf(9)}),
              (QList<int>{1, 2, -1, -1}));
    click(20); // the caption's case does not matter
    doubleClick(50);
    EXPECT_EQ(opened, (QList<int>{1, 2}));
    EXPECT_EQ(shown(), "menu");
    // An overlay with a command of its own sends it; a picture the radio supplies, the power
    // key, a name the menu lacks and the right button open nothing.
    doubleClick(80);
    click(110);
    click(140);
    click(170);
    click(50, Qt::RightButton);
    EXPECT_EQ(opened, (QList<int>{1, 2}));
    EXPECT_EQ(queued(), (QStringList{"UP", "UP"}));
    // An icon whose caption names a screen shows it on the press; the click is still the icon's.
    click(200);
    EXPECT_EQ(shown(), "next");
    EXPECT_EQ(opened, (QList<int>{1, 2, 3}));
    EXPECT_EQ(queued(), (QStringList{"UP", "UP"}));
}

TEST_F(DisplayControlTest, SearchBoxFiltersKeysAndTypesTheWordOnTheRadiosKeyboard) {
    QString filtered;
    for (const QChar c : QStringLiteral("aZ9 _^*.!-?\u00e9\b\r")) {
        filtered += DisplayControl::SearchKeyFilter(c);
    }
    EXPECT_EQ(filtered, "az9 _^*_\b\r");

    // "a" then "." (arriving as "_"): the paths for "a" and for "_" after "a", each command
    // followed by a pause; the box keeps "a".
    state.MenuState = "14";
    display->SearchForText_Change("a");
    EXPECT_TRUE(queued().isEmpty());
    display->SearchForText_Change("a_");
    QStringList expected;
    for (const QString &pair : {QStringLiteral("a"), QStringLiteral("a_")}) {
        for (const QString &command : MakeKeyPath(pair).split(u',', Qt::SkipEmptyParts)) {
            expected << command << "QXDELAY";
        }
    }
    EXPECT_EQ(expected.last(3), (QStringList{"QXDELAY", "OK", "QXDELAY"}));
    EXPECT_EQ(queued(), expected);
    EXPECT_EQ(display->SearchText, "a");
    EXPECT_TRUE(display->SearchEnabled);

    // Away from the keyboard screen nothing is typed, though the "_" still goes.
    telnet.ClearChannel(0);
    state.MenuState = "15";
    display->SearchForText_Change("jazz_");
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_EQ(display->SearchText, "jazz");
    // While a macro runs the box is the macro's: nothing typed, nothing removed.
    state.MenuState = "14";
    macroRuns(true);
    display->SearchForText_Change("rock_");
    display->SearchForText_DblClick();
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_EQ(display->SearchText, "rock_");
    // A double click types the word as it stands.
    macroRuns(false);
    display->SearchText = "ab";
    display->SearchForText_DblClick();
    EXPECT_EQ(queued().size(), 2 * (MakeKeyPath("a").count(u',') + MakeKeyPath("ab").count(u',') + 2));
    // A pasted character the keyboard lacks presses nothing, and the next one is still typed,
    // from the key typed last: "a!b" types as "ab".
    telnet.ClearChannel(0);
    display->SearchText = "a!b";
    display->SearchForText_DblClick();
    QStringList keys = queued();
    keys.removeAll(QLatin1String(Telnet::Delay));
    EXPECT_EQ(keys, TypingKeys("ab"));
    EXPECT_EQ(keys.count("OK"), 2);
}

TEST_F(DisplayControlTest, KeysPressRadioKeysAndOnTheSearchScreenTypeIntoTheBox) {
    const auto key = [this](int code, const QString &text = QString(), Qt::KeyboardModifiers modifiers = {}) {
        return display->KeyPress(KeyStroke{code, modifiers, false, text});
    };
    // Away from the search screen M mutes, other letters do nothing.
    EXPECT_TRUE(key(Qt::Key_M, "m"));
    EXPECT_FALSE(key(Qt::Key_A, "a"));
    EXPECT_EQ(queued(), QStringList({"MUTE", "QXDELAY"}));
    EXPECT_TRUE(state.needs.NeedMenu); // the menu is polled after a key, as after a click
    EXPECT_TRUE(display->SearchText.isEmpty());

    // On it, characters go into the box as typed there: M and the blank are no keys now, upper
    // case comes in lower case, Backspace erases; nothing reaches the radio yet.
    telnet.ClearChannel(0);
    state.MenuState = "14";
    view.SearchBoxVisible = true;
    int boxChanges = 0;
    QObject::connect(display.get(), &DisplayControl::searchBoxChanged, [&boxChanges] { ++boxChanges; });
    for (const QChar c : QStringLiteral("Jam 9x")) {
        EXPECT_TRUE(key(c.toUpper().unicode(), c)); // a letter's key code is its capital
    }
    EXPECT_TRUE(key(Qt::Key_Backspace, "\b"));
    EXPECT_EQ(display->SearchText, "jam 9");
    EXPECT_EQ(boxChanges, 7);
    EXPECT_TRUE(queued().isEmpty());
    // Keys the box would not take still press their radio keys; a chord types nothing.
    EXPECT_TRUE(key(Qt::Key_Plus, "+", Qt::ShiftModifier));
    EXPECT_FALSE(key(Qt::Key_A, "\x01", Qt::ControlModifier));
    EXPECT_EQ(queued(), QStringList({"VOLp", "QXDELAY"}));
    // Enter types the word and starts the search, as Enter in the box does; the box keeps it.
    telnet.ClearChannel(0);
    EXPECT_TRUE(key(Qt::Key_Return, "\r"));
    QStringList typed;
    for (const QString &command : TypingKeys("jam 9_")) {
        typed << command << "QXDELAY";
    }
    EXPECT_EQ(queued(), typed);
    EXPECT_EQ(display->SearchText, "jam 9");
    EXPECT_TRUE(display->KeyPress(KeyStroke{Qt::Key_Return, {}, true, "\r"}));
    EXPECT_TRUE(display->KeyPress(KeyStroke{Qt::Key_Period, {}, true, "."}));
    EXPECT_EQ(queued(), typed);
    EXPECT_EQ(display->SearchText, "jam 9");
    // An empty box has nothing to erase: Backspace is no EXIT here; Escape is.
    telnet.ClearChannel(0);
    display->SearchText.clear();
    EXPECT_TRUE(key(Qt::Key_Backspace, "\b"));
    EXPECT_TRUE(queued().isEmpty());
    EXPECT_TRUE(key(Qt::Key_Escape, "\x1b"));
    EXPECT_EQ(queued(), QStringList({"EXIT", "QXDELAY"}));
}

TEST_F(DisplayControlTest, WaitingAnimationFollowsTheRadioAndCyclesFramesOneToEight) {
    for (int frame = 0; frame <= 9; ++frame) {
        picture(QStringLiteral("320x240/other/loading_0%1.png").arg(frame), {40, 30}, QColor(frame * 20, 0, 0));
    }
    const auto running = [this] { return display->PleaseWaitTimer().isEnabled(); };
    // Frame 0 centred first, then 1 to 8 over and over.
    display->StartPleaseWait();
    EXPECT_TRUE(running());
    QList<int> shown;
    for (int tick = 0; tick < 11; ++tick) {
        display->PleaseWaitTimer_Timer();
        shown << screen().PleaseWaitImage.Picture.pixelColor(0, 0).red() / 20;
        if (tick == 0) {
            EXPECT_EQ(QPoint(screen().PleaseWaitImage.Left, screen().PleaseWaitImage.Top), QPoint(140, 105));
            ExpectPixels(screen().render(), {{160, 120, QColor(0, 0, 0)}});
        }
    }
    EXPECT_EQ(shown, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2}));
    EXPECT_TRUE(screen().PleaseWaitImage.Visible);
    ExpectPixels(screen().render(), {{160, 120, QColor(40, 0, 0)}});
    display->StopPleaseWait();
    EXPECT_EQ(waitFrame, -2);
    display->PleaseWaitTimer_Timer();
    EXPECT_FALSE(screen().PleaseWaitImage.Visible || running());
    EXPECT_EQ(waitFrame, 0);

    // The radio beginning to wait starts it; a stop holds while it still waits (filling the
    // buffer); a stop asked before the start does not swallow it.
    view.MetaListEnabled = true;
    view.MetaList = {"Meta - Updated", "title=", "artist=", "album=", "url=", "status=connecting"};
    display->WatchMetaStatus();
    EXPECT_TRUE(running());
    display->StopPleaseWait();
    display->PleaseWaitTimer_Timer();
    view.MetaList[5] = "status=caching";
    display->WatchMetaStatus();
    EXPECT_FALSE(running());
    view.MetaList[5] = "status=playing";
    display->WatchMetaStatus();
    view.MetaList[5] = "status=resuming";
    display->StopPleaseWait();
    display->WatchMetaStatus();
    EXPECT_TRUE(running());
    EXPECT_EQ(waitFrame, 0);
}

TEST_F(DisplayControlTest, OnlyAChangedDrawingIsAnnouncedAndTheClockChangesWithItsField) {
    int announced = 0;
    QObject::connect(display.get(), &DisplayControl::changed, [&announced] { ++announced; });
    const auto announces = [&](const std::function<void()> &step) {
        announced = 0;
        step();
        return announced;
    };
    view.InfoList = {"List - Updated", "pos=1 (1)", "1=Jazz FM"};
    view.InfoListEnabled = true;
    EXPECT_EQ(announces([&] { display->RefreshDisplays(); }), 1);
    // The display tick with nothing new, the same screen asked for again, the same captions'
    // colours and the stop of an animation that never showed change nothing drawn.
    EXPECT_EQ(announces([&] {
                  display->RefreshDisplays();
                  display->RefreshDisplays();
                  display->DisplayScreen("home");
                  display->ColourNameLabels("nothing of this screen");
                  display->StopPleaseWait();
                  display->PleaseWaitTimer_Timer();
              }),
              0);
    EXPECT_FALSE(display->PleaseWaitTimer().isEnabled());
    // A selection, an entry, another screen: each is announced once.
    view.InfoListIndex = 1;
    EXPECT_EQ(announces([&] { display->RefreshDisplays(); }), 1);
    view.InfoList[1] = "pos=2 (2)";
    EXPECT_EQ(announces([&] { display->RefreshDisplays(); }), 1);
    EXPECT_EQ(announces([&] { display->DisplayScreen("next"); }), 1);
    EXPECT_EQ(announces([&] { display->ColourNameLabels("home"); }), 1);
    EXPECT_EQ(screen().OverlayNameLabel[0].Colour, ScreenRenderer::CurrentItemColour);

    // Clock fields: the minute's label changes when the minute does, not on the ticks between;
    // the hour's only when the hour does.
    useSkin("[clock]|B=,,bg,,|I=time|[Labels_time]|L=5,5,%HOUR,,|L=L4,5,%MIN,,");
    const QDate day(2024, 3, 9);
    platform.fakeWallClock.set(QDateTime(day, QTime(9, 58, 58, 500)));
    display->DisplayScreen("clock");
    QStringList shown;
    QList<int> changes;
    for (const QTime at : {QTime(9, 58, 58, 600), QTime(9, 58, 59, 900), QTime(9, 59, 0, 0), QTime(9, 59, 0, 100),
                           QTime(9, 59, 30), QTime(9, 59, 59, 999), QTime(10, 0, 0, 1)}) {
        platform.fakeWallClock.set(QDateTime(day, at));
        changes << announces([&] { display->RefreshDisplays(); });
        shown << screen().OverlayLabel[0].Text + u':' + screen().OverlayLabel[1].Text;
    }
    EXPECT_EQ(changes, (QList<int>{0, 0, 1, 0, 0, 0, 1}));
    EXPECT_EQ(shown, (QStringList{"09:58", "09:58", "09:59", "09:59", "09:59", "09:59", "10:00"}));
}
