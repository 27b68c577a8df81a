#include "app/Program.h"
#include "display/DisplayWindow.h"
#include "info_panel/InfoWindow.h"
#include "macros/MacroRunner.h"
#include "macros/MacroWindow.h"
#include "radio_link/RadioLink.h"
#include "remote/RemoteWindow.h"

// What the windows ask of each other, once all of them exist: the information panel shows
// the display's pictures and drives the macro runner; the runner searches the panel's list and
// types into the display's search box; the display's list labels open the panel's lists; the
// remote window's status bar brings the panel back.
void Program::wireBetweenWindows() {
    RadioLink &link = *m_link;
    InfoPanel &panel = m_info->logic();
    InfoForm &info = m_info->form();
    DisplayWindow &displayWindow = *m_display;
    DisplayControl &display = displayWindow.logic();
    MacroRunner &runner = *m_macroRunner;
    MacroWindow &macroWindow = *m_macroWindow;

    connect(&panel, &InfoPanel::displayRequested, &displayWindow.form(), [&displayWindow] { displayWindow.show(); });
    connect(&panel, &InfoPanel::currentMenuNamed, &display, &DisplayControl::ColourNameLabels);
    connect(&link.view, &LinkView::loadPictureRequested, &info, [&display, &info](const QString &name) {
        DrawnItem item;
        if (display.screen.LoadThePicture(name, item)) {
            info.setMenuPicture(item.Picture);
        }
    });
    connect(&display, &DisplayControl::infoListOpened, &panel, &InfoPanel::InfoList_DblClick);
    connect(&display, &DisplayControl::metaListOpened, &panel, &InfoPanel::MetaList_DblClick);

    connect(&panel, &InfoPanel::macroStartRequested, &runner, &MacroRunner::Start);
    connect(&panel, &InfoPanel::macroStopRequested, &runner, &MacroRunner::Stop);
    connect(&panel, &InfoPanel::macroShowRequested, &macroWindow.form(),
            [&macroWindow](int macro) { macroWindow.showMacro(macro); });
    runner.hooks.showMacroList = [&panel](bool visible) { panel.setMacroListVisible(visible); };
    runner.hooks.selectInfoListRow = [&panel](int row) {
        panel.selectRow(PanelList::Info, row);
        panel.InfoList_DblClick();
    };
    connect(&runner, &MacroRunner::changed, &info, [&runner, &info] {
        info.setMacroLabel(runner.MacroLabelCaption, runner.MacroLabelToolTip, runner.MacroLabelGreen);
    });
    runner.hooks.searchText = [&display] { return display.SearchText; };
    runner.hooks.setSearchText = [&display](const QString &text) { display.typeSearchText(text); };

    connect(&m_remote->logic(), &RemoteControl::infoPanelRequested, &info, [this] { m_info->show(); });
}
