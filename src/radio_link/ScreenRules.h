#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

class AutomaticPoll;
class RadioView;
class Platform;
class Telnet;
class Timer;
class LinkHooks;
struct LinkSettings;
struct RadioState;
struct SkinTables;
struct Timeouts;

// What follows from the device state once a reply line has been applied to it, or a command
// acknowledged: which picture the display shows for the screen and menu item the radio reports,
// what the next automatic poll asks, the record buttons, and the debug text.
class ScreenRules {
public:
    ScreenRules(Platform &platform, Telnet &telnet, AutomaticPoll &poll, Timer &resetTimer, RadioState &state,
                const Timeouts &timeouts, const SkinTables &skin, const LinkSettings &settings, RadioView &view,
                const LinkHooks &hooks);

    // Runs all of it, in this order: the poll wants (WhatAutos), the menu item's picture, the
    // debug text (FillDebug), then the screen's own rules and its picture.
    void chooseScreen();
    // Which values the next automatic poll asks for, from the screen the radio shows; the
    // record buttons and the waiting animation follow the player status.
    void WhatAutos();

    // Everything chooseScreen reads, besides the skin and the settings, which stay as they are
    // while a reply is decoded: equal inputs give equal results, so the decoder runs it again
    // only when they changed. Whatever chooseScreen comes to read belongs here, and the decoder
    // must learn which lines change it.
    struct Inputs {
        QString menuState;
        QString previousMenuState;
        QString menuPage;
        QString selectedMenuItem;
        QString powerState;
        qint16 lastScreen = -1;
        bool radioStandby = false;
        bool expectVolume = false;
        bool expectState = false;
        bool needVolume = false; // kept while a volume is expected
        bool needState = false;  // kept while a state is expected
        QStringList commands;
        QStringList queries;
        bool resetTimerRunning = false;
        bool macroWaitTimerRunning = false;
        bool macroListVisible = false;
        bool mainMenuListVisible = false;
        bool infoListEnabled = false;
        bool metaListEnabled = false;
        bool searchBoxVisible = false;
        QString metaStatus;
        qint16 lastItemSeen = -1;
        QString lastPictureShown;
        bool operator==(const Inputs &) const = default;
    };
    Inputs inputs() const;

    // The meta list's sixth row, where the radio's player status is.
    static QString metaStatus(const RadioView &view);
    // Whether a player status (the row or its word) is a step the radio takes towards playing on
    // its own: connecting, resolving url, caching, resuming.
    static bool radioGettingReady(const QString &status);

private:
    // The menu item and the screen the radio reports, -1 for none, as WhatAutos left them.
    // A new menu item shows its picture and name, unless a macro is at work or the radio sleeps.
    void showMenuItem(qint16 item);
    // The debug text: menu page, item, screen, reset timeout and both queues.
    void FillDebug(qint16 item, qint16 screen);
    // The screen's picture and the rules of particular screens (main menu pages, search, the
    // error screen's back-out, night mode).
    void applyScreen(qint16 screen);
    // The waiting animation stops: its frame becomes -2 and the windows are told.
    void stopPleaseWait();
    qint16 pollReload() const;
    qint16 fullReload() const;
    QString queueText(int channel) const;

    Platform &m_platform;
    Telnet &m_telnet;
    AutomaticPoll &m_poll;
    Timer &m_resetTimer;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    const SkinTables &m_skin;
    const LinkSettings &m_settings;
    RadioView &m_view;
    const LinkHooks &m_hooks;

    // The only memory between replies: the menu item and the screen picture shown last.
    qint16 m_lastItemSeen = -1;
    QString m_lastPictureShown;
};
