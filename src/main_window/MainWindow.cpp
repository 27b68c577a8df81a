#include "main_window/MainWindow.h"

#include "settings/INIFILES.h"

#include <QGuiApplication>

MainWindow::MainWindow(CommandList &commands, INIFILES &settings)
    : m_ini(settings)
    , m_form(commands) {
    MoveToFirstSpot(m_form, FirstSpot::ScreenCentre, m_form, QGuiApplication::primaryScreen());
    m_ini.RestoreWindowPlacement(m_placement);
}

void MainWindow::savePlace() {
    m_ini.SaveWindowPlacement(m_placement, false);
}
