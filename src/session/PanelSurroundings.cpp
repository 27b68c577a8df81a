#include "session/PanelSurroundings.h"

#include "session/InfoPanel.h"
#include "session/RadioView.h"

PanelSurroundings::PanelSurroundings(RadioView &view, InfoPanel &panel)
    : m_view(view)
    , m_panel(panel) {}

bool PanelSurroundings::radioOffline() const {
    return m_view.RadioOffline;
}

void PanelSurroundings::clearTerminal() {
    m_view.clearTerminal();
    m_view.flush();
}

QStringList PanelSurroundings::infoListRows() const {
    return m_view.InfoList;
}

void PanelSurroundings::selectInfoListRow(int row) {
    m_panel.selectRow(PanelList::Info, row);
    m_panel.InfoList_DblClick();
}

void PanelSurroundings::showMacroList(bool visible) {
    m_panel.setMacroListVisible(visible);
}

void PanelSurroundings::loadMenuPicture(const QString &picture) {
    Q_EMIT m_view.loadPictureRequested(picture);
}

void PanelSurroundings::setCurrentMenuLabel(const QString &name) {
    m_view.CurrentMenuLabel = name;
    m_view.touch();
    m_view.flush();
}
