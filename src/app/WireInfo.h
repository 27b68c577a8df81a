#pragma once

#include "info_panel/InfoForm.h"
#include "info_panel/InfoPanel.h"
#include "settings/WidgetPlacement.h"

class Platform;
class RadioLink;
struct MacroTable;
struct RadioState;
struct SkinTables;
struct Timeouts;

// The information panel with its window and placement; the program keeps it while the radio
// link lives.
struct InfoWiring {
    InfoWiring(Platform &platform, RadioLink &link, RadioState &state, const Timeouts &timeouts, const SkinTables &skin,
               MacroTable &macros, const QString &programFolder);

    InfoPanel panel;
    InfoForm form;
    WidgetPlacement placement;
};
