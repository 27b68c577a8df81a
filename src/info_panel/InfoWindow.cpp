#include "info_panel/InfoWindow.h"

#include "session/RadioView.h"
#include "settings/INIFILES.h"

InfoWindow::InfoWindow(InfoPanel &panel, RadioView &view, INIFILES &settings, const QWidget &mainWindow)
    : m_ini(settings)
    , m_panel(panel)
    , m_form(m_panel, view) {
    MoveToFirstSpot(m_form, FirstSpot::BesideMain, mainWindow, mainWindow.screen());
    m_ini.RestoreWindowPlacement(m_placement);
    m_form.show();
}

InfoWindow::~InfoWindow() {
    m_ini.SaveWindowPlacement(m_placement, false);
    m_form.allowClose();
    m_form.close();
}

void InfoWindow::show() {
    BringToFront(m_form);
}
