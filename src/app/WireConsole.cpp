#include "app/Program.h"
#include "console/ConsoleWindow.h"
#include "main_window/MainWindow.h"
#include "session/RadioSession.h"

// The console window shares the link's connect wait and opens from the main window (a double
// click on "Functions", or View > Console).
void Program::wireConsole() {
    m_console =
        std::make_unique<ConsoleWindow>(m_platform, m_session->timeouts(), m_session->sharedConnectTime(), m_ini);
    ConsoleWindow &console = *m_console;
    console.setFirstSpotBeside(&m_main->form());
    connect(&m_main->form(), &ConfigForm::functionFramesDoubleClicked, &console.form(), [&console] { console.show(); });
    connect(&m_main->form(), &ConfigForm::consoleRequested, &console.form(), [&console] { console.show(); });
}
