#pragma once

#include "console/ConsoleForm.h"
#include "console/ConsoleMonitor.h"
#include "settings/WidgetPlacement.h"

#include <QObject>

class INIFILES;

// The console window with its logic and its place on the screen. The composition root owns
// one; the window loads (placement, console address) when it is first shown and unloads when
// it closes or the program ends.
struct ConsoleWindow {
    ConsoleWindow(Platform &platform, const Timeouts &timeouts, ConnectExtraTime &connectExtra, INIFILES &settings);

    void show();
    void unload();

    INIFILES &ini;
    ConsoleMonitor monitor;
    ConsoleForm form;
    WidgetPlacement placement{form, QStringLiteral("ConsoleForm")};
    bool loaded = false;
};
