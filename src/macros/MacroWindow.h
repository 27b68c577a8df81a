#pragma once

#include "macros/MacroForm.h"
#include "settings/WidgetPlacement.h"

class INIFILES;
class MacroRunner;

// The macro window and its place on the screen, watching a macro runner that lives with the
// radio link. A run goes on whether the window is shown or not: it is shown when the user
// picks or starts a macro in the information panel's list (or asks for it), and stays closed
// once the user closes it, also while a run goes on.
// Destroying it saves its placement when it was ever on screen.
class MacroWindow {
public:
    // mainWindow is what the first placement is judged against.
    MacroWindow(MacroRunner &runner, INIFILES &settings, const QWidget &mainWindow);
    ~MacroWindow();
    MacroWindow(const MacroWindow &) = delete;
    MacroWindow &operator=(const MacroWindow &) = delete;

    // Lists the steps of the macro with this table index and shows the window in front.
    void showMacro(int macro);
    // Shows the window in front as it is.
    void show();

    MacroRunner &logic() { return m_runner; }
    MacroForm &form() { return m_form; }

private:
    INIFILES &m_ini;
    MacroRunner &m_runner;
    const QWidget &m_mainWindow;
    bool m_placed = false;
    MacroForm m_form;
    WidgetPlacement m_placement{m_form, QStringLiteral("MacroForm")};
};
