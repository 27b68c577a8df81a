#pragma once

#include "info_panel/InfoForm.h"
#include "session/InfoPanel.h"
#include "settings/WidgetPlacement.h"

class INIFILES;
class RadioView;

// The information panel's window over the panel's logic (which the radio session owns) and its
// place on the screen. Made loaded, placed and on screen; closing by the user only hides it, destroying it saves its
// placement and closes it for good.
class InfoWindow {
public:
    // mainWindow is what the first placement is judged against.
    InfoWindow(InfoPanel &panel, RadioView &view, INIFILES &settings, const QWidget &mainWindow);
    ~InfoWindow();
    InfoWindow(const InfoWindow &) = delete;
    InfoWindow &operator=(const InfoWindow &) = delete;

    // Shows the panel in front, restored when minimised (a maximised panel stays maximised).
    void show();

    InfoPanel &logic() { return m_panel; }
    InfoForm &form() { return m_form; }

private:
    INIFILES &m_ini;
    InfoPanel &m_panel;
    InfoForm m_form;
    WidgetPlacement m_placement{m_form, QStringLiteral("InfoForm")};
};
