#pragma once

#include "main_window/GeneralSettings.h"
#include "radio_link/LinkView.h"

#include <QMainWindow>

#include <array>
#include <optional>

class CommandList;
class CommandListModel;
class LayoutEditor;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The main window: radio address and connection controls, the command list with its search
// box, the terminal view, the option boxes, the layout editor's controls, the update group and
// the status bar. It only renders and forwards: the command list's rules live in CommandList,
// the connection in the radio link, and the composition root wires the rest.
class ConfigForm : public QMainWindow {
    Q_OBJECT
public:
    explicit ConfigForm(CommandList &commands, QWidget *parent = nullptr);
    ~ConfigForm() override;

    // Connection controls.
    QLineEdit *txtUrl() const { return m_txtUrl; }
    QLineEdit *txtPort() const { return m_txtPort; }
    QPushButton *ConnectButton() const { return m_connect; }
    QPushButton *DisconnectButton() const { return m_disconnect; }
    QCheckBox *KeepAsConnected() const { return m_keepConnected; }
    QLineEdit *HoldOn() const { return m_holdOn; }
    QPushButton *RetryButton() const { return m_retry; }

    // Terminal view and command list.
    QPlainTextEdit *TelnetData() const { return m_telnetData; }
    QCheckBox *UnLockTextBox() const { return m_unlock; }
    QListView *TheList() const { return m_theList; }
    QLineEdit *Do_SearchText() const { return m_searchText; }

    // Options and windows.
    QCheckBox *UpdateDisplayLabels() const { return m_updateDisplayLabels; }
    QCheckBox *Auto21Backout() const { return m_auto21Backout; }
    QPushButton *DisplayButton() const { return m_displayButton; }
    QGroupBox *FunctionFrames() const { return m_functionFrames; }

    // Layout editor.
    QListWidget *RemoteList() const { return m_remoteList; }
    QLineEdit *ButtonLocations(int index) const { return m_buttonLocations.at(size_t(index)); }
    QPushButton *SetButton() const { return m_setButton; }
    QPushButton *UpdateButtons() const { return m_updateButtons; }
    QPushButton *ReloadButton() const { return m_reloadButton; }
    QCheckBox *ShowPointer() const { return m_showPointer; }
    QCheckBox *StaticPointer() const { return m_staticPointer; }

    QLabel *LayoutStatus() const { return m_layoutStatus; }
    // Enables the layout editor group and renders the editor's boxes, colours and options from
    // now on; typing, focus and arrow keys in the boxes are reported by the signals below.
    void attachLayoutEditor(const LayoutEditor &editor);

    // Update group.
    QLabel *CheckUpdateLabel() const { return m_checkUpdateLabel; }
    QCheckBox *chkUseProxy() const { return m_useProxy; }
    // The proxy frame's four labels and four text boxes, which chkUseProxy enables.
    const std::array<QWidget *, 8> &ProxyFields() const { return m_proxyFields; }
    QProgressBar *ProgressBar1() const { return m_progressBar; }

    // Rendering of state kept elsewhere. The terminal view follows the link's terminal text:
    // with its mark only what was appended since the last call is added (and as much cut off
    // the front); without one, or when the text was replaced, the view is compared whole.
    void setTerminalText(const QString &text, const LinkView::TerminalMark &mark);
    void setTerminalText(const QString &text);
    void setHoldOn(const QString &text, int colour, bool visible);
    void setRetryVisible(bool visible);
    void setStatusPanel(int panel, const QString &text); // panels 1..4
    QString statusPanel(int panel) const;
    void setUrlToolTip(const QString &tip);

    // The values the settings file keeps, to and from the controls.
    void applySettings(const GeneralSettings &settings);
    void collectSettings(GeneralSettings &settings) const;

Q_SIGNALS:
    // A double click on the command list: the command as listed, marks removed.
    void sendCommand(const QString &command);
    void terminalCleared();
    // Text typed into the unlocked terminal view, with CR LF line ends.
    void terminalEdited(const QString &text);
    void statusPanelClicked(int panel);
    void functionFramesDoubleClicked();
    // Layout editor boxes (0..4): typed text, focus taken, Up or Down pressed (swallowed).
    void layoutBoxEdited(int box, const QString &text);
    void layoutBoxFocused(int box);
    void layoutBoxArrow(int box, bool up);
    void checkUpdateClicked();
    // The window is closing; the program ends after this.
    void unloading();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildConnectionRow();
    QWidget *buildCommandColumn();
    QWidget *buildOptionsColumn();
    QWidget *buildTerminal();
    void buildStatusBar();
    void onListDoubleClicked();
    void onTerminalTextChanged();
    void renderSelection(int index);
    void renderLayoutEditor();

    CommandList &m_commands;
    CommandListModel *m_model = nullptr;
    bool m_settingTerminal = false;
    std::optional<LinkView::TerminalMark> m_shownMark; // the mark of the text the view shows
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

    QListWidget *m_remoteList = nullptr;
    std::array<QLineEdit *, 5> m_buttonLocations{};
    QPushButton *m_setButton = nullptr;
    QPushButton *m_updateButtons = nullptr;
    QPushButton *m_reloadButton = nullptr;
    QCheckBox *m_showPointer = nullptr;
    QCheckBox *m_staticPointer = nullptr;
    QGroupBox *m_layoutEditorGroup = nullptr;
    QLabel *m_layoutStatus = nullptr;
    const LayoutEditor *m_layoutEditor = nullptr;

    QLabel *m_checkUpdateLabel = nullptr;
    QCheckBox *m_useProxy = nullptr;
    std::array<QWidget *, 8> m_proxyFields{};
    QProgressBar *m_progressBar = nullptr;

    std::array<QLabel *, 4> m_panels{};
};
