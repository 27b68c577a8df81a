#pragma once

#include "display/DisplayControl.h"
#include "display/DisplayForm.h"
#include "settings/WidgetPlacement.h"

class INIFILES;
class RadioSession;

// The display window with its logic and its place on the screen. Made loaded and wired to the
// radio session, showing the main screen but not yet on screen: the main window's button shows
// it, and so does the next start when it was open as the program closed. Closing it only hides
// it (its placement saved); destroying it saves its placement once more, and whether it was
// open, when it was ever shown.
class DisplayWindow {
public:
    // mainWindow is what the first placement is judged against; it outlives this window.
    DisplayWindow(Platform &platform, RadioSession &radio, INIFILES &settings, const QWidget &mainWindow);
    ~DisplayWindow();
    DisplayWindow(const DisplayWindow &) = delete;
    DisplayWindow &operator=(const DisplayWindow &) = delete;

    // Shown in front, restored when minimised; placed first when it has never been shown.
    void show();
    // At start: shows it when it was open as the program last closed.
    void reopen();

    DisplayControl &logic() { return m_control; }
    DisplayForm &form() { return m_form; }

private:
    void placeFirst();

    INIFILES &m_ini;
    const QWidget &m_mainWindow;
    DisplayControl m_control;
    DisplayForm m_form;
    WidgetPlacement m_placement{m_form, QStringLiteral("DisplayForm")};
    // A window never shown has no placement worth keeping: the next start would put it in the
    // corner of the screen instead of where the first placement chooses.
    bool m_shown = false;
};
