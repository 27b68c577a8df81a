#pragma once

#include <QString>

class CommandList;
class INIFILES;
class PlacedWindow;
class RadioSession;
struct RemoteLayout;

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

// At the end of the start-up POWER is selected in the command list when it lists one.
void SelectPowerCommand(CommandList &commands);

// The About box's text: the program with its version, its licence, and the program folder in
// which it keeps its settings and data files.
QString AboutText(const QString &version, const QString &programFolder);
