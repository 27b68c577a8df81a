#include "app/Program.h"
#include "display/DisplayWindow.h"
#include "info_panel/InfoWindow.h"
#include "macros/MacroWindow.h"
#include "main_window/ConfigForm.h"
#include "main_window/MainWindow.h"
#include "remote/RemoteWindow.h"
#include "session/MacroRunner.h"
#include "session/PanelSurroundings.h"
#include "session/RadioView.h"

#include <QListWidget>

namespace {

// The macro runner's questions that only the windows answer: the main window's "Auto Refresh
// Labels" box and the display's search box; the session's view and the panel answer the rest.
class MacroWindows final : public QObject, public PanelSurroundings {
public:
    MacroWindows(MacroRunner &runner, ConfigForm &mainWindow, RadioView &view, InfoPanel &panel,
                 DisplayControl &display)
        : QObject(&runner)
        , PanelSurroundings(view, panel)
        , m_mainWindow(mainWindow)
        , m_display(display) {}

    bool displayLabels() const override { return m_mainWindow.autoRefresh(); }
    void setDisplayLabels(bool on) override { m_mainWindow.setAutoRefresh(on); }
    QString searchText() const override { return m_display.SearchText; }
    void setSearchText(const QString &text) override { m_display.typeSearchText(text); }

private:
    ConfigForm &m_mainWindow;
    DisplayControl &m_display;
};

} // namespace

// What the windows ask of each other, once all of them exist: the information panel shows
// the display's pictures and drives the macro runner; the runner searches the panel's list and
// types into the display's search box; the display's list labels open the panel's lists, and
// its main-menu icons the panel's menu entries; the remote window's status bar brings the
// panel back.
void Program::wireBetweenWindows() {
    RadioView &view = m_session->view();
    InfoPanel &panel = m_info->logic();
    InfoForm &info = m_info->form();
    DisplayWindow &displayWindow = *m_display;
    DisplayControl &display = displayWindow.logic();
    MacroRunner &runner = m_session->macroRunner();
    MacroWindow &macroWindow = *m_macroWindow;

    connect(&panel, &InfoPanel::displayRequested, &displayWindow.form(), [&displayWindow] { displayWindow.show(); });
    connect(&panel, &InfoPanel::currentMenuNamed, &display, &DisplayControl::ColourNameLabels);
    connect(&view, &RadioView::loadPictureRequested, &info, [&display, &info](const QString &name) {
        DrawnItem item;
        if (display.screen.LoadThePicture(name, item)) {
            info.setMenuPicture(item.Picture);
        }
    });
    connect(&display, &DisplayControl::infoListOpened, &panel, &InfoPanel::InfoList_DblClick);
    connect(&display, &DisplayControl::metaListOpened, &panel, &InfoPanel::MetaList_DblClick);
    connect(&display, &DisplayControl::mainMenuEntryOpened, &panel, &InfoPanel::OpenMainMenuEntry);

    connect(&panel, &InfoPanel::macroShowRequested, &macroWindow.form(),
            [&macroWindow](int macro) { macroWindow.showMacro(macro); });
    // A macro started from the list is watched; runs started otherwise (a remote button, the
    // window's own title line, the bus) leave the window as the user left it.
    connect(&panel, &InfoPanel::macroStartRequested, &macroWindow.form(), [&macroWindow] { macroWindow.show(); });
    connect(&runner, &MacroRunner::changed, &info, [&runner, &info] {
        info.setMacroLabel(runner.MacroLabelCaption, runner.MacroLabelToolTip, runner.MacroLabelGreen,
                           runner.running());
    });
    // Owned by the runner: the windows it asks outlive it.
    runner.setSurroundings(*new MacroWindows(runner, m_main->form(), view, panel, display));

    connect(&m_remote->logic(), &RemoteControl::infoPanelRequested, &info, [this] { m_info->show(); });
    connect(&m_main->form(), &ConfigForm::infoPanelRequested, &info, [this] { m_info->show(); });
    // View > Macros: the panel in front with its macro list open, as after a right click on its
    // picture, and the keys in the list, so the arrows pick a macro and Enter runs it.
    connect(&m_main->form(), &ConfigForm::macrosRequested, &info, [this, &panel, &info] {
        m_info->show();
        panel.CurrentMenuImage_RightPress(false);
        info.MacroList()->setFocus(Qt::ShortcutFocusReason);
    });
}
