#include "app/Program.h"
#include "display/DisplayWindow.h"
#include "main_window/MainWindow.h"

// The display window: made loaded (it follows the radio link from the start), shown from the
// main window's button, and redrawn when a reload read the skin again.
void Program::wireDisplay() {
    m_display = std::make_unique<DisplayWindow>(m_platform, *m_session, m_ini, m_main->form());
    DisplayWindow &display = *m_display;
    connect(this, &Program::skinReloaded, &display.form(), [&display] { display.logic().Redraw(); });
    connect(&m_main->form(), &ConfigForm::displayRequested, &display.form(), [&display] { display.show(); });
}
