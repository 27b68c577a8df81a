#include "main_window/MainWindow.h"

#include "settings/INIFILES.h"

#include <QGuiApplication>

MainWindow::MainWindow(CommandList &commands, INIFILES &settings)
    : m_ini(settings)
    , m_form(commands) {
    // The groups open as the user left them, before the window is placed: they decide its
    // smallest size.
    MainWindowFolds folds;
    ReadMainWindowFolds(m_ini, folds);
    m_form.applyFolds(folds);
    QObject::connect(&m_form, &ConfigForm::foldsChanged, &m_form,
                     [this] { WriteMainWindowFolds(m_ini, m_form.folds()); });
    MoveToFirstSpot(m_form, FirstSpot::ScreenCentre, m_form, QGuiApplication::primaryScreen());
    m_ini.RestoreWindowPlacement(m_placement);
}

void MainWindow::savePlace() {
    m_ini.SaveWindowPlacement(m_placement, false);
}
