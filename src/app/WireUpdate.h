#pragma once

#include "settings/WidgetPlacement.h"
#include "update/UpdateChecker.h"
#include "update/UpdateForm.h"

class INIFILES;

// The update window with its logic. It loads (its top and left) when a check first shows it
// and unloads when it closes or the program ends.
struct UpdateWindow {
    UpdateWindow(Platform &platform, INIFILES &settings, const QString &ownVersion);

    void show();
    void unload();

    INIFILES &ini;
    UpdateChecker checker;
    UpdateForm form;
    WidgetPlacement placement{form, QStringLiteral("UpdateForm")};
    bool loaded = false;
};
