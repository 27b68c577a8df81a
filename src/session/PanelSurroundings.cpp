#include "session/PanelSurroundings.h"

#include "info_panel/InfoPanel.h"
#include "radio_link/RadioLink.h"

PanelSurroundings::PanelSurroundings(RadioLink &link, InfoPanel &panel)
    : m_link(link)
    , m_panel(panel) {}

bool PanelSurroundings::radioOffline() const {
    return m_link.view.RadioOffline;
}

void PanelSurroundings::clearTerminal() {
    m_link.view.clearTerminal();
    m_link.view.flush();
}

QStringList PanelSurroundings::infoListRows() const {
    return m_link.view.InfoList;
}

void PanelSurroundings::selectInfoListRow(int row) {
    m_panel.selectRow(PanelList::Info, row);
    m_panel.InfoList_DblClick();
}

void PanelSurroundings::showMacroList(bool visible) {
    m_panel.setMacroListVisible(visible);
}

void PanelSurroundings::loadMenuPicture(const QString &picture) {
    Q_EMIT m_link.view.loadPictureRequested(picture);
}

void PanelSurroundings::setCurrentMenuLabel(const QString &name) {
    m_link.view.CurrentMenuLabel = name;
    m_link.view.touch();
    m_link.view.flush();
}
