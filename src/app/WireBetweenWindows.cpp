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

#include <QCheckBox>
#include <QPushButton>

namespace {

// The macro runner's questions, answered by the windows: the main window's "Auto Refresh
// Labels" box, the terminal, the information panel's lists and picture, the display's search
// box.
class MacroWindows final : public QObject, public MacroSurroundings {
public:
    MacroWindows(MacroRunner &runner, QCheckBox &autoRefresh, RadioLink &link, InfoPanel &panel,
                 DisplayControl &display)
        : QObject(&runner)
        , m_autoRefresh(autoRefresh)
        , m_link(link)
        , m_panel(panel)
        , m_display(display) {}

    bool displayLabels() const override { return m_autoRefresh.isChecked(); }
    void setDisplayLabels(bool on) override { m_autoRefresh.setChecked(on); }
    void clearTerminal() override {
        m_link.view.clearTerminal();
        m_link.view.flush();
    }
    QStringList infoListRows() const override { return m_link.view.InfoList; }
    void selectInfoListRow(int row) override {
        m_panel.selectRow(PanelList::Info, row);
        m_panel.InfoList_DblClick();
    }
    void showMacroList(bool visible) override { m_panel.setMacroListVisible(visible); }
    void loadMenuPicture(const QString &picture) override { Q_EMIT m_link.view.loadPictureRequested(picture); }
    void setCurrentMenuLabel(const QString &name) override {
        m_link.view.CurrentMenuLabel = name;
        m_link.view.touch();
        m_link.view.flush();
    }
    QString searchText() const override { return m_display.SearchText; }
    void setSearchText(const QString &text) override {
        m_display.SearchForText_Change(text);
        Q_EMIT m_display.searchBoxChanged();
    }

private:
    QCheckBox &m_autoRefresh;
    RadioLink &m_link;
    InfoPanel &m_panel;
    DisplayControl &m_display;
};

} // namespace

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
    connect(&runner, &MacroRunner::changed, &info, [&runner, &info] {
        info.setMacroLabel(runner.MacroLabelCaption, runner.MacroLabelToolTip, runner.MacroLabelGreen);
    });
    // Owned by the runner: the windows it asks outlive it.
    runner.setSurroundings(*new MacroWindows(runner, *m_form->UpdateDisplayLabels(), link, panel, display));

    connect(&m_remote->control(), &RemoteControl::infoPanelRequested, &info, [&info] {
        info.show();
        info.raise();
    });
}
