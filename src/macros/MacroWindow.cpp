#include "macros/MacroWindow.h"

#include "macros/MacroRunner.h"
#include "settings/INIFILES.h"

MacroWindow::MacroWindow(MacroRunner &runner, INIFILES &settings, const QWidget &mainWindow)
    : m_ini(settings)
    , m_runner(runner)
    , m_form(runner) {
    // Clear of the main window's connection row and beside the information panel's lists; a
    // saved placement wins.
    MoveToFirstSpot(m_form, FirstSpot::LowerLeftCorner, mainWindow, mainWindow.screen());
    m_ini.RestoreWindowPlacement(m_placement);
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
    m_form.show();
    m_form.raise();
}
