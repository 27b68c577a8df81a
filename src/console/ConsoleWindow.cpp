#include "console/ConsoleWindow.h"

#include "settings/INIFILES.h"

#include <QPlainTextEdit>

ConsoleWindow::ConsoleWindow(Platform &platform, const Timeouts &timeouts, ConnectExtraTime &connectExtra,
                             INIFILES &settings)
    : m_ini(settings)
    , m_monitor(platform, timeouts, connectExtra) {
    ConsoleMonitor &monitor = m_monitor;
    ConsoleForm &form = m_form;
    QObject::connect(&monitor, &ConsoleMonitor::changed, &form, [this] { m_form.render(m_monitor); });
    QObject::connect(&form, &ConsoleForm::consoleTextDoubleClicked, &monitor, &ConsoleMonitor::ConsoleText_DblClick);
    QObject::connect(&form, &ConsoleForm::connectClicked, &monitor, &ConsoleMonitor::ConnectButton_Click);
    QObject::connect(&form, &ConsoleForm::captureTextDoubleClicked, &monitor,
                     &ConsoleMonitor::ConsoleCaptureText_DblClick);
    QObject::connect(&form, &ConsoleForm::panelClicked, &monitor, &ConsoleMonitor::StatusBar_PanelClick);
    QObject::connect(&form, &ConsoleForm::panelDoubleClicked, &monitor, &ConsoleMonitor::StatusBar_PanelDblClick);
    QObject::connect(&form, &ConsoleForm::typed, &monitor, &ConsoleMonitor::ConsoleText_KeyPress);
    QObject::connect(&form, &ConsoleForm::unloading, &form, [this] { unload(); });
    QObject::connect(&form, &ConsoleForm::addressEdited, &monitor,
                     [this](const QString &host, const QString &port) { m_monitor.setAddress(m_ini, host, port); });
    form.render(monitor);
}

ConsoleWindow::~ConsoleWindow() {
    unload();
}

void ConsoleWindow::show() {
    if (!m_loaded) {
        m_loaded = true;
        if (!m_ini.RestoreWindowPlacement(m_placement) && m_mainWindow != nullptr) {
            MoveToFirstSpot(m_form, FirstSpot::LeastCovered, *m_mainWindow, m_mainWindow->screen());
        }
        m_monitor.Form_Load(m_ini);
    }
    m_form.show();
    m_form.raise();
    m_form.activateWindow();
    m_form.ConsoleText()->setFocus();
}

void ConsoleWindow::unload() {
    if (!m_loaded) {
        return;
    }
    m_loaded = false;
    m_ini.SaveWindowPlacement(m_placement, false);
    m_monitor.Form_Unload();
    m_form.hide();
}

void ConsoleWindow::addressChanged() {
    if (m_loaded) {
        m_monitor.takeAddress(m_ini);
    }
}
