#pragma once

#include <QString>
#include <QtGlobal>

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

    // Frame of the waiting animation that the display window and the macro window both play;
    // -2 asks the one running to stop (the decoder does, once the radio shows a list).
    qint16 WaitFrame = 0;

    // Poll control.
    qint16 PollCountdown = 0;
    qint16 FullRefreshCountdown = 0;
    bool FullRefreshDue = true;
    bool NeedState = false;
    bool NeedVersion = false;
    bool NeedVolume = false;
    bool NeedMenu = false;
    bool NeedList = false;
    bool NeedMeta = false;
    bool ExpectState = false;
    bool ExpectVolume = false;
    bool RadioStandby = false;

    // Macro synchronisation.
    bool AwaitOk = false;
    bool AwaitAnyList = false;
    bool AwaitList = false;
    bool AwaitMenu = false;
    bool AwaitMeta = false;
    bool FreshMenu = false;
    bool FreshList = false;
    bool FreshMeta = false;
    bool FreshVolume = false;
    bool FreshVersion = false;
    bool FreshState = false;

    // Information panel coordination.
    bool InfoListHold = false;
    bool MetaListHold = false;
    bool MenuListHold = false;
    bool MainMenuListHold = false;
    bool VolumeDragging = false;
    bool VolumeSetByProgram = false;
};
