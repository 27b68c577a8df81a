#include "update/UpdateWindow.h"

#include "settings/INIFILES.h"

UpdateWindow::UpdateWindow(Platform &platform, INIFILES &settings, const QString &ownVersion)
    : m_ini(settings)
    , m_checker(platform, settings.ProgramFolder(), ownVersion) {
    QObject::connect(&m_checker, &UpdateChecker::showRequested, &m_form, [this] { show(); });
    QObject::connect(&m_checker, &UpdateChecker::changed, &m_form, [this] { m_form.render(m_checker); });
    QObject::connect(&m_form, &UpdateForm::rawTextaDoubleClicked, &m_checker, &UpdateChecker::RawTexta_DblClick);
    QObject::connect(&m_form, &UpdateForm::unloading, &m_form, [this] { unload(); });
}

UpdateWindow::~UpdateWindow() {
    unload();
}

void UpdateWindow::checkForUpdates() {
    m_checker.CheckForUpdates(m_ini);
}

void UpdateWindow::show() {
    if (!m_loaded) {
        m_loaded = true;
        if (!m_ini.RestoreWindowTopLeft(m_placement) && m_mainWindow != nullptr) {
            MoveToFirstSpot(m_form, FirstSpot::LeastCovered, *m_mainWindow, m_mainWindow->screen());
        }
    }
    m_form.show();
    m_form.raise();
}

void UpdateWindow::unload() {
    if (!m_loaded) {
        return;
    }
    m_loaded = false;
    m_checker.Form_Unload();
    m_ini.SaveWindowTopLeft(m_placement, false);
    m_form.hide();
}
