#pragma once

#include <QString>

class INIFILES;

// The [General] values the main window keeps between runs. The member defaults are the
// controls' built-in values, used when the settings file does not hold a key.
struct GeneralSettings {
    QString LastRemote = QStringLiteral("remote1");     // current remote layout
    QString RaidoURL = QStringLiteral("192.168.1.119"); // radio address (key name spelled so)
    QString RaidoPORT = QStringLiteral("8080");
    bool KeepConnected = false;
    bool AutoRefresh = true;
    bool Auto21Exit = true;
    bool UnLock = false; // the terminal's "UnLock" box
};

// Reads the keys in the order LastRemote, RaidoURL, RaidoPORT, KeepConnected, AutoRefresh,
// Auto21Exit, UnLock; each falls back to the value already held. A value outside its range (a
// flag other than 0 or 1, an address with blanks, a port beyond 65535) keeps the value held and
// is replaced in the file, with a notice.
void ReadGeneralSettings(INIFILES &ini, GeneralSettings &settings);
// Writes the same keys in the same order; flags as 1 or 0.
void WriteGeneralSettings(INIFILES &ini, const GeneralSettings &settings);

// Which of the main window's foldable groups are open, kept in its own section ([ConfigForm])
// beside its place. Folded by default: the window then fits a small screen, and the groups are
// a developer's tools (the remote layout editor, the update check and its proxy).
struct MainWindowFolds {
    bool LayoutEditorOpen = false;
    bool UpdatesOpen = false;
};

// Reads and writes LayoutEditorOpen and UpdatesOpen (0 or 1) of [ConfigForm]; a value that is
// no flag keeps the value held and is replaced in the file, with a notice.
void ReadMainWindowFolds(INIFILES &ini, MainWindowFolds &folds);
void WriteMainWindowFolds(INIFILES &ini, const MainWindowFolds &folds);
