#pragma once

#include "console/ConsoleForm.h"
#include "console/ConsoleMonitor.h"
#include "settings/WidgetPlacement.h"

class INIFILES;

// The console window with its logic and its place on the screen, wired to each other when
// made. It loads (placement, console address) when first shown and unloads when the user
// closes it or when it is destroyed, which the program does when it ends.
class ConsoleWindow {
public:
    ConsoleWindow(Platform &platform, const Timeouts &timeouts, ConnectExtraTime &connectExtra, INIFILES &settings);
    ~ConsoleWindow();
    ConsoleWindow(const ConsoleWindow &) = delete;
    ConsoleWindow &operator=(const ConsoleWindow &) = delete;

    // Shown in front with the focus in the console text.
    void show();
    // The window its first spot is judged against (the main window); without one it opens
    // where the system puts it.
    void setFirstSpotBeside(const QWidget *mainWindow) { m_mainWindow = mainWindow; }

    // The console's address in the settings was changed elsewhere; the window takes it.
    void addressChanged();

    ConsoleMonitor &logic() { return m_monitor; }
    ConsoleForm &form() { return m_form; }

private:
    void unload();

    INIFILES &m_ini;
    ConsoleMonitor m_monitor;
    ConsoleForm m_form;
    WidgetPlacement m_placement{m_form, QStringLiteral("ConsoleForm")};
    bool m_loaded = false;
    const QWidget *m_mainWindow = nullptr;
};
