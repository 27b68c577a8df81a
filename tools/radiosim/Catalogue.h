#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The fixed content of the simulated radio: its stations, the main menu and the lists
// behind the menu items. Names never hold "=" because the program cuts the radio's
// key=value replies at every "=".

struct Station {
    QString name;
    QString artist;
    QString title;
    QString album;
    QString address;  // used for the playlist fetch, the player and the meta "url"
    QString coverArt; // file name the player loads
    bool playable = true;
    bool sendsUtc = false; // some stations add a StreamUTC field to their stream information
};

namespace Catalogue {

// The twenty stations of screen 3; exactly one of them cannot be played.
const std::vector<Station> &stations();

inline constexpr int MainMenuItems = 20;
inline constexpr int MainMenuColumns = 4;
inline constexpr int MainMenuItemsPerPage = 8;
inline constexpr int ListPageSize = 7;

// Screen numbers shown in "Menu state=".
enum Screen : int {
    MainMenu = 0,
    StationList = 3,
    NowPlaying = 5,
    Recordings = 7,
    Settings = 9,
    SearchScreen = 14,
    SearchResults = 15,
    StationError = 21,
    MessageScreen = 30,
    Standby = 34,
    FirstPlaceholderList = 40, // main-menu items 5..20 open screens 40..55
};

// Screen that main-menu item 1..20 opens.
int screenOfMainItem(int item);
// Name of main-menu item 1..20.
QString mainItemName(int item);
// Title reported by MINFO for a screen.
QString screenTitle(int screen);
// True for the screens that show a list (3, 7, 9, 15 and the placeholder lists).
bool isListScreen(int screen);
// Fixed entries of a list screen (3, 7, 9 and the placeholder lists); screen 15 is built by a search.
QStringList fixedListEntries(int screen);

} // namespace Catalogue
