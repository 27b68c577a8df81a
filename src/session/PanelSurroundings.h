#pragma once

#include "macros/MacroSurroundings.h"

class InfoPanel;
class RadioView;

// The macro runner's questions that the session's view and the information panel's logic answer,
// the same with windows or without: the terminal, the panel's current list and its macro list,
// the current menu's picture and name. What depends on the front end (the "Auto Refresh
// Labels" box, the display's search box) is left to the one that has them.
class PanelSurroundings : public MacroSurroundings {
public:
    PanelSurroundings(RadioView &view, InfoPanel &panel);

    bool radioOffline() const override;
    void clearTerminal() override;
    QStringList infoListRows() const override;
    void selectInfoListRow(int row) override;
    void showMacroList(bool visible) override;
    void loadMenuPicture(const QString &picture) override;
    void setCurrentMenuLabel(const QString &name) override;

private:
    RadioView &m_view;
    InfoPanel &m_panel;
};
