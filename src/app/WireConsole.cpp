#include "app/WireConsole.h"

#include "app/Program.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "settings/INIFILES.h"

#include <QPlainTextEdit>

ConsoleWindow::ConsoleWindow(Platform &platform, const Timeouts &timeouts, ConnectExtraTime &connectExtra,
                             INIFILES &settings)
    : ini(settings)
    , monitor(platform, timeouts, connectExtra) {}

void ConsoleWindow::show() {
    if (!loaded) {
        loaded = true;
        ini.RestoreWindowPlacement(placement);
        monitor.Form_Load(ini);
    }
    form.show();
    form.raise();
    form.activateWindow();
    form.ConsoleText()->setFocus();
}

void ConsoleWindow::unload() {
    if (!loaded) {
        return;
    }
    loaded = false;
    ini.SaveWindowPlacement(placement, false);
    monitor.Form_Unload(ini);
    form.hide();
}

void Program::wireConsoleWindow() {
    m_console = std::make_unique<ConsoleWindow>(m_platform, m_timeouts, m_link->connection.ConnectExtra, m_ini);
    ConsoleWindow &console = *m_console;
    ConsoleMonitor &monitor = console.monitor;
    ConsoleForm &form = console.form;

    connect(m_form.get(), &ConfigForm::functionFramesDoubleClicked, &form, [&console] { console.show(); });
    connect(&monitor, &ConsoleMonitor::changed, &form, [&console] { console.form.render(console.monitor); });
    connect(&form, &ConsoleForm::consoleTextDoubleClicked, &monitor, &ConsoleMonitor::ConsoleText_DblClick);
    connect(&form, &ConsoleForm::captureTextDoubleClicked, &monitor, &ConsoleMonitor::ConsoleCaptureText_DblClick);
    connect(&form, &ConsoleForm::panelClicked, &monitor, &ConsoleMonitor::StatusBar_PanelClick);
    connect(&form, &ConsoleForm::panelDoubleClicked, &monitor, &ConsoleMonitor::StatusBar_PanelDblClick);
    connect(&form, &ConsoleForm::typed, &monitor, &ConsoleMonitor::ConsoleText_KeyPress);
    connect(&form, &ConsoleForm::unloading, &form, [&console] { console.unload(); });
    form.render(monitor);
}
