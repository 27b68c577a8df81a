#include "macros/MacroWindow.h"

#include "session/MacroRunner.h"
#include "settings/INIFILES.h"

MacroWindow::MacroWindow(MacroRunner &runner, INIFILES &settings, const QWidget &mainWindow)
    : m_ini(settings)
    , m_runner(runner)
    , m_mainWindow(mainWindow)
    , m_form(runner) {
    // A saved placement wins where it can still be reached; else the window finds its first
    // spot when it is first shown, against the windows open then.
    m_placed = m_ini.RestoreWindowPlacement(m_placement);
    QObject::connect(&m_form, &MacroForm::unloading, &m_form,
                     [this] { m_ini.SaveWindowPlacement(m_placement, false); });
}

MacroWindow::~MacroWindow() {
    // A window never shown has no placement worth keeping; the next start places it anew.
    if (m_form.everShown()) {
        m_ini.SaveWindowPlacement(m_placement, false);
    }
}

void MacroWindow::showMacro(int macro) {
    m_runner.MakeMacroStuff(macro);
    show();
}

void MacroWindow::show() {
    if (!m_placed) {
        // Clear of the main window's connection row and of the information panel's lists.
        MoveToFirstSpot(m_form, FirstSpot::LowerLeftCorner, m_mainWindow, m_mainWindow.screen());
        m_placed = true;
    }
    m_form.show();
    m_form.raise();
}
