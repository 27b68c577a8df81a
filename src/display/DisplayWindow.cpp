#include "display/DisplayWindow.h"

#include "session/RadioSession.h"
#include "session/RadioView.h"
#include "settings/INIFILES.h"

DisplayWindow::DisplayWindow(Platform &platform, RadioSession &radio, INIFILES &settings, const QWidget &mainWindow)
    : m_ini(settings)
    , m_mainWindow(mainWindow)
    , m_control(platform, radio, settings.ProgramFolder())
    , m_form(m_control, radio.view()) {
    DisplayControl &control = m_control;
    DisplayForm &form = m_form;

    // The window is loaded once and stays loaded; it is shown from the main window.
    form.adjustSize();
    m_shown = m_ini.RestoreWindowPlacement(m_placement);
    KeepOnScreenWhenResized(m_form);
    control.DisplayScreen(QStringLiteral("main"));

    // The session asks for screens, refreshes and the search box, and stops the waiting
    // animation itself through the shared frame counter; the display's refresh is the
    // session's automatic poll.
    const RadioView &view = radio.view();
    QObject::connect(&radio, &RadioSession::screenRequested, &control, &DisplayControl::DisplayScreen);
    QObject::connect(&view, &RadioView::refreshDisplaysRequested, &control, &DisplayControl::RefreshDisplays);
    QObject::connect(&view, &RadioView::searchBoxFocusRequested, &form, &DisplayForm::focusSearchBox);
    QObject::connect(&view, &RadioView::changed, &form, [&control, &form] {
        control.WatchMetaStatus();
        control.FollowCurrentMenuLabel();
        form.render();
    });

    // Closing the window keeps it loaded: its placement is saved and it is hidden.
    QObject::connect(&form, &DisplayForm::closing, &form, [this] { m_ini.SaveWindowPlacement(m_placement, true); });
}

namespace {

const QString OpenKey = QStringLiteral("Open");

} // namespace

DisplayWindow::~DisplayWindow() {
    if (m_shown) {
        m_ini.SaveWindowPlacement(m_placement, false);
        m_ini.WriteSetting(m_placement.placementName(), OpenKey,
                           m_form.isVisible() ? QStringLiteral("1") : QStringLiteral("0"));
    }
}

void DisplayWindow::reopen() {
    bool ok = false;
    const int open = m_ini.ReadSetting(m_placement.placementName(), OpenKey, 0).toInt(&ok);
    if (ok && open != 0) {
        // Beside the others, not in front of the main window the user starts from.
        placeFirst();
        m_form.show();
    }
}

void DisplayWindow::placeFirst() {
    if (!m_shown) {
        MoveToFirstSpot(m_form, FirstSpot::LeastCovered, m_mainWindow, m_mainWindow.screen());
        m_shown = true;
    }
}

void DisplayWindow::show() {
    placeFirst();
    BringToFront(m_form);
}
