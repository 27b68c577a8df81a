#pragma once

#include "info_panel/InfoForm.h"
#include "info_panel/InfoPanel.h"
#include "settings/WidgetPlacement.h"

class INIFILES;
class RadioLink;
struct MacroTable;
struct RadioState;
struct SkinTables;
struct Timeouts;

// The information panel with its window and its place on the screen. Made loaded, placed and
// on screen; closing by the user only hides it, destroying it saves its placement and closes
// it for good.
class InfoWindow {
public:
    // mainWindow is what the first placement is judged against.
    InfoWindow(Platform &platform, RadioLink &link, RadioState &state, const Timeouts &timeouts, const SkinTables &skin,
               MacroTable &macros, INIFILES &settings, const QWidget &mainWindow);
    ~InfoWindow();
    InfoWindow(const InfoWindow &) = delete;
    InfoWindow &operator=(const InfoWindow &) = delete;

    void show();

    InfoPanel &logic() { return m_panel; }
    InfoForm &form() { return m_form; }

private:
    INIFILES &m_ini;
    InfoPanel m_panel;
    InfoForm m_form;
    WidgetPlacement m_placement{m_form, QStringLiteral("InfoForm")};
};
