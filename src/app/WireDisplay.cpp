#include "app/WireDisplay.h"

#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "settings/SideBySide.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>

DisplayControl &Program::display() {
    return *m_display->control;
}

DisplayForm &Program::displayWindow() {
    return *m_display->form;
}

void Program::wireDisplay() {
    RadioLink &link = *m_link;
    m_display = std::make_unique<DisplayParts>();
    m_display->control = std::make_unique<DisplayControl>(m_platform, m_skin, m_state, link.telnet, link.view,
                                                          link.hooks, m_ini.ProgramFolder(), m_state.WaitFrame);
    DisplayControl &control = *m_display->control;
    m_display->form = std::make_unique<DisplayForm>(control, link.view);
    DisplayForm &form = *m_display->form;
    m_display->placement = std::make_unique<WidgetPlacement>(form, QStringLiteral("DisplayForm"));

    // The window is loaded once and stays loaded; it is shown from the main window.
    form.adjustSize();
    m_display->shown = !m_ini.ReadSetting(QStringLiteral("DisplayForm"), QStringLiteral("FC"), QString()).isEmpty();
    m_ini.RestoreWindowPlacement(*m_display->placement);
    control.DisplayScreen(QStringLiteral("main"));
    // Reload reads the skin again; the screen shown is rebuilt from it.
    displayRedraw = [this] {
        if (m_display) {
            display().Redraw();
        }
    };

    // The radio link asks for screens, refreshes and the search box, and stops the waiting
    // animation itself through the shared frame counter; the display's refresh timer is the
    // link's automatic poll.
    connect(&link.view, &LinkView::displayScreenRequested, &control, &DisplayControl::DisplayScreen);
    connect(&link.view, &LinkView::refreshDisplaysRequested, &control, &DisplayControl::RefreshDisplays);
    connect(&link.view, &LinkView::searchBoxFocusRequested, &form, &DisplayForm::focusSearchBox);
    connect(&link.view, &LinkView::changed, &form, [&control, &form] {
        control.WatchMetaStatus();
        control.FollowCurrentMenuLabel();
        form.render();
    });

    // Closing the window keeps it loaded: its placement is saved and it is hidden.
    connect(&form, &DisplayForm::closing, &form, [this] { m_ini.SaveWindowPlacement(*m_display->placement, true); });

    QPushButton *button = m_form->DisplayButton();
    button->setEnabled(true);
    connect(button, &QPushButton::clicked, &form, [this, &form] {
        if (!m_display->shown) {
            // First time out: beside the main window, unless another spot on the screen hides
            // less of the windows already open.
            QPoint at = m_form->frameGeometry().topRight() + QPoint(8, 0);
            if (const QScreen *screen = m_form->screen()) {
                QList<QRect> open;
                for (const QWidget *window : QApplication::topLevelWidgets()) {
                    if (window != &form && window->isVisible()) {
                        open << window->frameGeometry();
                    }
                }
                at = LeastCoveredSpot(screen->availableGeometry(), form.frameGeometry().size(), open, at);
            }
            form.move(at);
            m_display->shown = true;
        }
        form.show();
        if (form.isMinimized()) {
            form.showNormal();
        }
        form.raise();
        form.activateWindow();
    });
}

void Program::closeDisplay() {
    if (!m_display) {
        return;
    }
    if (m_display->shown) {
        m_ini.SaveWindowPlacement(*m_display->placement, false);
    }
    m_display.reset();
}
