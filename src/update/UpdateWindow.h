#pragma once

#include "settings/WidgetPlacement.h"
#include "update/UpdateChecker.h"
#include "update/UpdateForm.h"

class INIFILES;

// The update window with its logic, wired to each other when made. It loads (its top and
// left) when a check first shows it and unloads when the user closes it or when it is
// destroyed, which the program does when it ends.
class UpdateWindow {
public:
    UpdateWindow(Platform &platform, INIFILES &settings, const QString &ownVersion);
    ~UpdateWindow();
    UpdateWindow(const UpdateWindow &) = delete;
    UpdateWindow &operator=(const UpdateWindow &) = delete;

    // The main window's "Check for update": asks the server; the window shows itself when the
    // answer is worth showing.
    void checkForUpdates();
    void show();
    // The window its first spot is judged against (the main window); without one it opens
    // where the system puts it.
    void setFirstSpotBeside(const QWidget *mainWindow) { m_mainWindow = mainWindow; }

    UpdateChecker &logic() { return m_checker; }
    UpdateForm &form() { return m_form; }

private:
    void unload();

    INIFILES &m_ini;
    UpdateChecker m_checker;
    UpdateForm m_form;
    WidgetPlacement m_placement{m_form, QStringLiteral("UpdateForm")};
    bool m_loaded = false;
    const QWidget *m_mainWindow = nullptr;
};
