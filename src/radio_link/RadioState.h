#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What the program knows about the radio. One instance, owned by the program and handed by
// reference to every part that reads or writes it. Nothing here is saved; nothing is reset on
// disconnection, so the last known values stay visible until a new reply replaces them.
struct RadioState {
    // Values reported by the radio.
    QString PowerState;        // text after "STATE=" (ON, OFF)
    QString VersionText;       // text after "VER="
    QString VolumeText;        // text after "VOL="
    QString MenuState;         // screen number from a menu reply; "" when it had more than 4 characters
    QString PreviousMenuState; // MenuState as of the last menu reply; "" after an automatic back-out
    QString MenuPage;          // text after "mp="
    QString SelectedMenuItem;  // text after "ms="
    QString SelectedListItem;  // 1..7, position within the page of seven
    QString ListPage;          // no reply fills it
    QString ScreenPictureName; // skin definition shown for the current screen
    qint16 LastScreen = -1;    // screen seen last by WhatAutos; -1 before any
    // The volume that the volume keys queued or on their way lead to; none once the radio has
    // reported its volume with no command left to go (its report is the truth again).
    std::optional<int> VolumeLead;

    // Frame of the waiting animation that the display window and the macro window both play;
    // -2 asks the one running to stop (the decoder does, once the radio shows a list).
    qint16 WaitFrame = 0;

    // Poll timing: when the automatic poll asks next, and what the link expects of a reply.
    struct PollTiming {
        qint16 PollCountdown = 0;
        qint16 FullRefreshCountdown = 0;
        bool RadioStandby = false;
        bool ExpectState = false;  // a power key went out: the next state reply is news
        bool ExpectVolume = false; // the same for the volume
    } poll;

    // What the automatic poll asks the radio for on its next tick. Raised through
    // AutomaticPoll::askFor() and by the label tokens a display shows; lowered where the
    // decoder works out what the screen wants (ScreenRules::WhatAutos) and when a new screen
    // drops the old one's wishes (AutomaticPoll::forgetQueries).
    struct PollNeeds {
        bool NeedState = false;
        bool NeedVersion = false;
        bool NeedVolume = false;
        bool NeedMenu = false;
        bool NeedList = false;
        bool NeedMeta = false;
        bool FullRefreshDue = true; // every value at once
    } needs;

    // The replies a running macro waits for (ReplyHandshake: raised by the macro runner, lowered
    // by ReplyHandshake::arrived() as the decoder meets each reply, all dropped by the runner).
    struct MacroAwaits {
        bool AwaitOk = false;
        bool AwaitAnyList = false;
        bool AwaitList = false;
        bool AwaitMenu = false;
        bool AwaitMeta = false;
        void clear() { *this = MacroAwaits(); }
    } awaits;

    // Raised by the decoder when a reply of the kind came in (ReplyHandshake::arrived); a macro
    // lowers them before it asks and reads them as its proof that the data it tests is new.
    struct FreshData {
        bool FreshMenu = false;
        bool FreshList = false;
        bool FreshMeta = false;
        bool FreshVolume = false;
        bool FreshVersion = false;
        bool FreshState = false;
        void clear() { *this = FreshData(); }
    } fresh;

    // The information panel's holds: while one is up the decoder leaves that list (or the
    // volume slider) alone.
    struct PanelHolds {
        bool InfoListHold = false;
        bool MetaListHold = false;
        bool MenuListHold = false;
        bool MainMenuListHold = false;
        bool VolumeDragging = false;
        void clearLists() { InfoListHold = MetaListHold = MenuListHold = MainMenuListHold = false; }
    } holds;
};
