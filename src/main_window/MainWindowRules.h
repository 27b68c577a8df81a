#pragma once

#include <QString>

class AutomaticPoll;
class CommandList;
class INIFILES;
class PlacedWindow;
class RadioSession;
class Telnet;
struct RadioState;
struct RemoteLayout;
struct SkinTables;
struct Timeouts;

// "Auto Refresh Labels" switched on polls at once and lets the countdown run from there;
// switched off it reloads the countdown (which then stands still until switched on again).
void UpdateDisplayLabelsClicked(bool ticked, AutomaticPoll &poll);

// The program's data that the Reload action reads again from the program folder.
struct ReloadData {
    INIFILES &ini;
    CommandList &commands;
    RemoteLayout &layout;
    RadioSession &session; // the skin, the timeouts and the macros
};

// The layout to load when none is current: the settings' LastRemote, "remote1" by default.
// A current layout name is kept as it is.
void FallBackToLastRemote(RemoteLayout &layout, const INIFILES &ini);

// The Reload action (the Reload button, a new layout picked in the list, and the start-up), in
// its order: the command list; the layout name when none is current (FallBackToLastRemote);
// what the radio session reads (RadioSession::loadData: the display skin, announced by its
// skinLoaded() so the display can redraw, the Timeouts settings, the macros); the current layout, with the remote
// window's placement (null while that window does not exist). Returns the picture the remote window should show, ""
// when the layout has none (the window then keeps the picture it shows).
QString ReloadDataFiles(const ReloadData &data, PlacedWindow *remoteWindow);

// The end of the start-up: POWER selected in the command list when it lists one, and the radio
// asked for its version, power state and menu position on the query channel, in that order; the
// first automatic poll then asks for everything. A command the user sends meanwhile still goes
// first: the command channel always leads.
void StartUpQueries(CommandList &commands, Telnet &telnet, RadioState &state);
