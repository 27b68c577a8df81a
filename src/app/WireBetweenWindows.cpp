#include "app/Program.h"
#include "app/WireDisplay.h"
#include "app/WireInfo.h"
#include "app/WireRemote.h"
#include "display/DisplayControl.h"
#include "macros/MacroForm.h"
#include "macros/MacroRunner.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "remote/RemoteControl.h"

#include <QPushButton>

// What the windows ask of each other, once all of them exist: the information panel shows
// the display's pictures and drives the macro runner; the runner searches the panel's list and
// types into the display's search box; the display's list labels open the panel's lists; the
// remote window's status bar brings the panel back.
void Program::wireBetweenWindows() {
    RadioLink &link = *m_link;
    InfoPanel &panel = m_info->panel;
    InfoForm &info = m_info->form;
    DisplayControl &display = *m_display->control;
    MacroRunner &runner = *m_macroRunner;

    panel.hooks.showDisplay = [this] { m_form->DisplayButton()->click(); };
    panel.hooks.colourNameLabels = [&display](const QString &menuName) { display.ColourNameLabels(menuName); };
    connect(&link.view, &LinkView::loadPictureRequested, &info, [&display, &info](const QString &name) {
        DrawnItem item;
        if (display.screen.LoadThePicture(name, item)) {
            info.setMenuPicture(item.Picture);
        }
    });
    display.infoListDoubleClicked = [&panel] { panel.InfoList_DblClick(); };
    display.metaListDoubleClicked = [&panel] { panel.MetaList_DblClick(); };

    panel.hooks.startMacro = [&runner](int macro) { runner.Start(macro); };
    panel.hooks.stopMacro = [&runner] { runner.Stop(); };
    panel.hooks.showMacro = [this](int macro) {
        m_macroRunner->MakeMacroStuff(macro);
        m_macroForm->show();
        m_macroForm->raise();
    };
    runner.hooks.showMacroList = [&panel](bool visible) { panel.setMacroListVisible(visible); };
    runner.hooks.selectInfoListRow = [&panel](int row) {
        panel.selectRow(PanelList::Info, row);
        panel.InfoList_DblClick();
    };
    connect(&runner, &MacroRunner::changed, &info, [&runner, &info] {
        info.setMacroLabel(runner.MacroLabelCaption, runner.MacroLabelToolTip, runner.MacroLabelGreen);
    });
    runner.hooks.searchText = [&display] { return display.SearchText; };
    runner.hooks.setSearchText = [&display](const QString &text) {
        display.SearchForText_Change(text);
        Q_EMIT display.searchBoxChanged();
    };

    connect(&m_remote->control(), &RemoteControl::infoPanelRequested, &info, [&info] {
        info.show();
        info.raise();
    });
}
