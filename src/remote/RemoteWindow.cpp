#include "remote/RemoteWindow.h"

#include "platform/Platform.h"
#include "settings/INIFILES.h"

#include <QGuiApplication>

RemoteWindow::RemoteWindow(Platform &platform, INIFILES &settings, RemoteLayout &layout, RemoteActions &actions,
                           const QWidget &mainWindow)
    : m_control(layout, m_editor, settings, platform.createTimer())
    , m_form(m_control) {
    m_control.setPlacedWindow(&m_placement);
    m_control.setActions(actions);
    // Without a stored place the remote stands right of the main window. (On a first start the
    // program then lines up all the windows it opens.)
    if (!settings.hasSavedPlace(m_placement.placementName())) {
        MoveToFirstSpot(m_form, FirstSpot::RightOfMain, mainWindow, QGuiApplication::primaryScreen());
    }
    // The window's own load: its stored place, then the current layout.
    m_control.Form_Load();
}

RemoteWindow::~RemoteWindow() = default;

void RemoteWindow::show() {
    if (m_form.isMinimized()) {
        m_form.showNormal();
    }
    m_form.show();
    m_form.raise();
}

void RemoteWindow::showLayout(const QString &picturePath) {
    m_control.showLayout(picturePath);
}

void RemoteWindow::close() {
    m_form.closeByProgram();
    m_control.detachActions();
}
