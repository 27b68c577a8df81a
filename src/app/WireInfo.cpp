#include "app/WireInfo.h"

#include "app/Program.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"

#include <QScreen>

#include <algorithm>

InfoWiring::InfoWiring(Platform &platform, RadioLink &link, RadioState &state, const Timeouts &timeouts,
                       const SkinTables &skin, MacroTable &macros, const QString &programFolder)
    : panel(platform, link, state, timeouts, skin, macros, programFolder)
    , form(panel, link.view)
    , placement(form, QStringLiteral("InfoForm")) {}

void Program::wireInfoPanel() {
    RadioLink &link = *m_link;
    m_info =
        std::make_unique<InfoWiring>(m_platform, link, m_state, m_timeouts, m_skin, m_macros, m_ini.ProgramFolder());
    InfoForm &form = m_info->form;

    // Filled when the macro runner is wired: panel.hooks.startMacro, stopMacro and showMacro;
    // the runner shows and hides the macro list with panel.setMacroListVisible, selects a list
    // row with panel.selectRow(PanelList::Info, row) then panel.InfoList_DblClick(), and shows
    // its progress with form.setMacroLabel. Filled when the display window is wired:
    // panel.hooks.showDisplay and colourNameLabels, and link.view's loadPictureRequested
    // answered with a picture for form.setMenuPicture.

    // Beside the main window at first, as far as the screen allows; a saved placement wins.
    QPoint at = m_form->frameGeometry().topRight() + QPoint(8, 0);
    if (const QScreen *screen = m_form->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(std::max(area.left(), std::min(at.x(), area.right() - form.width())));
        at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - form.height())));
    }
    form.move(at);
    m_ini.RestoreWindowPlacement(m_info->placement);
    form.show();
}

void Program::unloadInfoPanel() {
    if (!m_info) {
        return;
    }
    m_ini.SaveWindowPlacement(m_info->placement, false);
    m_info->form.allowClose();
    m_info->form.close();
    m_info.reset();
}

InfoForm &Program::infoForm() {
    return m_info->form;
}

InfoPanel &Program::infoPanel() {
    return m_info->panel;
}
