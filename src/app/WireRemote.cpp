#include "app/Program.h"
#include "main_window/CommandList.h"
#include "main_window/MainWindow.h"
#include "remote/LayoutEditorPanel.h"
#include "remote/RemoteForm.h"
#include "remote/RemoteWindow.h"
#include "session/LinkHealthLook.h"
#include "session/RadioView.h"

namespace {

// The remote window's requests, answered by the radio session and the main window's command list.
class RemoteRequests final : public RemoteActions {
public:
    RemoteRequests(RadioSession &session, CommandList &commands)
        : m_session(session)
        , m_commands(commands) {}

    void sendKey(const QString &command) override { m_session.pressKey(command); }
    void connectRadio() override { m_session.connectRadio(); }
    void disconnectRadio() override { m_session.disconnectRadio(); }
    bool keepAsConnected() const override { return m_session.linkOptions().keepConnected; }
    QStringList waitingCommands() const override { return m_session.commandsWaiting(); }
    void selectCommand(const QString &command) override {
        const int index = m_commands.indexOf(command);
        if (index >= 0) {
            m_commands.select(index);
        }
    }
    void layoutLoaded(RemoteControl &control) override {
        control.TheList_Click(CommandList::StripMarks(m_commands.selectedEntry()));
    }

private:
    RadioSession &m_session;
    CommandList &m_commands;
};

} // namespace

// The remote window, wired to the command list and the radio link, and the layout editor whose
// boxes and buttons are in the main window.
void Program::wireRemote() {
    m_remoteActions = std::make_unique<RemoteRequests>(*m_session, m_commands);
    m_remote = std::make_unique<RemoteWindow>(m_platform, m_ini, m_layout, *m_remoteActions, m_main->form());
    RemoteControl &control = m_remote->logic();
    LayoutEditor &editor = m_remote->editor();
    ConfigForm &form = m_main->form();
    const RadioView &view = m_session->view();

    QObject *window = &m_remote->form();
    connect(&m_commands, &CommandList::selectionChanged, window,
            [&control](int, const QString &command) { control.TheList_Click(command); });
    connect(&view, &RadioView::changed, window, [this, &control, &view] {
        control.setPointerBorderColour(view.PointerBorderColour);
        m_remote->form().showLinkHealth(LinkHealthLookOf(view));
    });
    m_remote->form().showLinkHealth(LinkHealthLookOf(view));

    LayoutEditorPanel &panel = form.layoutEditor();
    panel.attach(editor);
    connect(&panel, &LayoutEditorPanel::boxEdited, window,
            [&editor](int box, const QString &text) { editor.setBox(box, text); });
    connect(&panel, &LayoutEditorPanel::boxFocused, window, [&editor](int box) { editor.FocusBox(box); });
    connect(&panel, &LayoutEditorPanel::boxArrow, window, [&editor, &control](int box, bool up) {
        editor.ArrowKey(box, up);
        control.PositionFixedGuide();
    });
    connect(&panel, &LayoutEditorPanel::setClicked, window, [this, &editor, &control] {
        editor.SetButton_Click(m_layout, CommandList::StripMarks(m_commands.selectedEntry()));
        control.PositionFixedGuide();
    });
    connect(&panel, &LayoutEditorPanel::saveClicked, window,
            [this, &editor] { editor.UpdateButtons_Click(m_layout, m_ini, &m_remote->placement()); });
    // View > Remote brings the window back; Help > Keyboard Keys shows what its "?" shows.
    connect(&form, &ConfigForm::remoteRequested, window, [this] {
        m_remote->show();
        m_remote->form().activateWindow();
    });
    connect(&form, &ConfigForm::keyboardKeysRequested, window, [this] { m_remote->form().showKeysHelp(); });
    connect(&panel, &LayoutEditorPanel::reloadClicked, window, [this] { ReloadButton_Click(); });
    connect(&panel, &LayoutEditorPanel::layoutChosen, window, [this, &control](const QString &name) {
        control.ChooseLayout(name);
        ReloadButton_Click();
    });
    connect(&panel, &LayoutEditorPanel::showPointerClicked, window,
            [&control](bool on) { control.ShowPointer_Click(on); });
    connect(&panel, &LayoutEditorPanel::staticPointerClicked, window,
            [&control](bool on) { control.StaticPointer_Click(on); });
}
