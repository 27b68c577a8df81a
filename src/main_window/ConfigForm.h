#pragma once

#include "session/RadioView.h"
#include "settings/GeneralSettings.h"

#include <QMainWindow>

#include <array>
#include <optional>

class CommandList;
class CommandListModel;
class FoldingGroup;
class LayoutEditorPanel;
class LinkHealthBadge;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QMessageBox;
class QPlainTextEdit;
class QPushButton;
class UpdateGroup;

// The main window: radio address and connection controls, the command list with its search
// box, the terminal view, the option boxes, the layout editor's controls, the update group and
// the status bar. It only renders and reports what the user does: the command list's rules
// live in CommandList, the connection in the radio link, and the composition root wires the
// rest.
class ConfigForm : public QMainWindow {
    Q_OBJECT
public:
    // The terminal view's narrowest width, in characters; it scrolls sideways below 80.
    static constexpr int TerminalMinimumColumns = 16;

    explicit ConfigForm(CommandList &commands, QWidget *parent = nullptr);
    ~ConfigForm() override;

    // "Auto Refresh Labels": a macro reads and sets it like the user.
    bool autoRefresh() const;
    void setAutoRefresh(bool on);

    // The layout editor's controls (the editor belongs to the remote window) and the update
    // group; each reports what the user does through its own signals.
    LayoutEditorPanel &layoutEditor() { return *m_layoutEditor; }
    UpdateGroup &updateGroup() { return *m_updateGroup; }

    // Shows the radio link's view: terminal, hint box, Retry, status panels 1..3, address tip.
    void render(const RadioView &view);

    // Rendering of state kept elsewhere. The terminal view follows the link's terminal text:
    // with its mark only what was appended since the last call is added (and as much cut off
    // the front); without one, or when the text was replaced, the view is compared whole.
    void setTerminalText(const QString &text, const RadioView::TerminalMark &mark);
    void setTerminalText(const QString &text);
    void setHoldOn(const QString &text, int colour, bool visible);
    void setRetryVisible(bool visible);
    void setStatusPanel(int panel, const QString &text); // panels 1..4
    // Whether the radio answers, as the status bar shows it.
    LinkHealthBadge *linkHealth() const { return m_health; }
    QString statusPanel(int panel) const;
    void setUrlToolTip(const QString &tip);

    // The values the settings file keeps, to and from the controls.
    void applySettings(const GeneralSettings &settings);
    void collectSettings(GeneralSettings &settings) const;
    // The terminal's "UnLock" box.
    bool terminalUnlocked() const;
    // Which of the groups that fold away ("Remote layout", "Updates") are open.
    void applyFolds(const MainWindowFolds &folds);
    MainWindowFolds folds() const;

    // The close under way does not take the window away: the program still has something to
    // tell the user (its settings could not be saved) and closes it again afterwards.
    void holdThisClose() { m_holdClose = true; }

    // Help > About: the box with the given text (the version, the licence, the program folder),
    // kept and shown again on the next request; null until first shown.
    void showAbout(const QString &text);
    QMessageBox *aboutBox() const { return m_about; }

Q_SIGNALS:
    // The connection row: the radio's address as typed, the buttons, "Keep As Connected"
    // (toggled by the user, or by the settings at start).
    void urlEdited(const QString &text);
    void portEdited(const QString &text);
    void connectClicked();
    void disconnectClicked();
    void retryClicked();
    void keepConnectedToggled(bool on);
    // The options: "Auto Refresh Labels" and "Auto 21 Back out".
    void autoRefreshToggled(bool on);
    void autoRefreshClicked(bool on);
    void auto21BackoutToggled(bool on);
    // The "Display" button or View > Display: show the display window.
    void displayRequested();
    // The View menu's other windows and actions, their shortcuts working from every window of
    // the program; each does what an older gesture does too
    // (a right click on the information panel's picture, a double click on "Functions", the
    // update group's "Check for Updates", the layout editor's "Reload").
    void macrosRequested();
    void consoleRequested();
    void updateCheckRequested();
    void reloadRequested();
    // View > Remote and View > Information: show that window (restored when minimised).
    void remoteRequested();
    void infoPanelRequested();
    // View > Quit (Ctrl+Q): this window closes, and with it the program, as by its close button.
    void quitRequested();
    // The Help menu: the keyboard's keys (F1; what the remote window's "?" shows) and the About box.
    void keyboardKeysRequested();
    void aboutRequested();
    // The Radio menu: the first-run dialog, as it is or with a search for radios started.
    void radioAddressRequested();
    void findRadiosRequested();
    // The terminal's "UnLock" box: the view may be edited by hand while ticked.
    void terminalUnlockToggled(bool on);
    // The user opened or folded one of the groups that fold away.
    void foldsChanged();
    // A double click on the command list (or Enter or Space in it, or Enter in the command box):
    // the command as listed, marks removed; Enter after typing in the box sends what was typed.
    void sendCommand(const QString &command);
    void terminalCleared();
    // Text typed into the unlocked terminal view, with CR LF line ends.
    void terminalEdited(const QString &text);
    void statusPanelClicked(int panel);
    void functionFramesDoubleClicked();
    // The window is closing; the program ends after this.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_holdClose = false;
    QMessageBox *m_about = nullptr;
    QWidget *buildConnectionRow();
    QWidget *buildCommandColumn();
    QWidget *buildOptionsColumn();
    QWidget *buildTerminal();
    void buildStatusBar();
    void buildMenu();
    void buildRadioMenu();
    void buildHelpMenu();
    void onListDoubleClicked();
    void onCommandBoxEnter();
    void onTerminalTextChanged();
    void renderSelection(int index);

    CommandList &m_commands;
    CommandListModel *m_model = nullptr;
    bool m_settingTerminal = false;
    std::optional<RadioView::TerminalMark> m_shownMark; // the mark of the text the view shows
    bool m_settingSelection = false;
    int m_rowBeforePress = -1;

    QLineEdit *m_txtUrl = nullptr;
    QLineEdit *m_txtPort = nullptr;
    QPushButton *m_connect = nullptr;
    QPushButton *m_disconnect = nullptr;
    QCheckBox *m_keepConnected = nullptr;
    QLineEdit *m_holdOn = nullptr;
    QPushButton *m_retry = nullptr;

    QPlainTextEdit *m_telnetData = nullptr;
    QCheckBox *m_unlock = nullptr;
    QListView *m_theList = nullptr;
    QLineEdit *m_searchText = nullptr;

    QCheckBox *m_updateDisplayLabels = nullptr;
    QCheckBox *m_auto21Backout = nullptr;
    QPushButton *m_displayButton = nullptr;
    QGroupBox *m_functionFrames = nullptr;

    LayoutEditorPanel *m_layoutEditor = nullptr;
    UpdateGroup *m_updateGroup = nullptr;
    FoldingGroup *m_layoutEditorFolding = nullptr;
    FoldingGroup *m_updatesFolding = nullptr;

    std::array<QLabel *, 4> m_panels{};
    LinkHealthBadge *m_health = nullptr; // drawn where panel 1 was; a click on it is a click on panel 1
};
