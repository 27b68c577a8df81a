#include "app/Program.h"
#include "macros/MacroWindow.h"
#include "main_window/MainWindow.h"

// The macro window, over the session's runner. What the runner asks of the windows is
// answered once they all exist (wireBetweenWindows).
void Program::wireMacros() {
    m_macroWindow = std::make_unique<MacroWindow>(m_session->macroRunner(), m_ini, m_main->form());
}
