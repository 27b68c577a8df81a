#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

// Everything the windows show of the radio and of the link to it, kept as plain data so the
// logic can be tested without them and the windows stay thin. The session hands it out
// (RadioSession::view()); the link's rules fill it in. Windows render the fields and refresh
// on changed(); the one-shot requests (show a screen, load a picture, focus the search box...)
// come as separate signals because they are actions, not state.
class RadioView : public QObject {
    Q_OBJECT
public:
    static constexpr int TerminalLimit = 20000;
    static QString terminalRuler();
    // The text with control characters replaced by visible, inert ones (line ends and tabs kept).
    static QString harmless(const QString &text);

    RadioView();

    // Main window: terminal view (at most the last 20000 characters). Every window that writes
    // to it goes through these: replies are appended, the main window's double click, the macro
    // runner and the information panel clear it, and the user may edit it only while unlocked.
    QString TelnetData;
    bool TerminalUnlocked = false; // "UnLock" ticked: the view may be edited by hand
    void appendTerminal(const QString &text);
    void clearTerminal();
    // The text as the user edited it, kept to its last 20000 characters; ignored while locked.
    // Returns whether it was taken.
    bool editTerminal(const QString &text);
    // How far the terminal text has come, so that a window can add just what is new instead
    // of comparing whole copies: characters appended since the text was last replaced (cleared
    // or edited), a count of those replacements, and the size these functions left the text
    // at (a text changed by other means no longer matches it).
    struct TerminalMark {
        quint64 revision = 0;
        qint64 appended = 0;
        qsizetype size = 0;
    };
    TerminalMark terminalMark() const { return m_terminalMark; }

    // Main window: connection hint, status bar (index 1..3 used; 0 unused) and host tool tip.
    QString HoldOnText = QStringLiteral("Waiting for you");
    int HoldOnColour = 0;
    bool HoldOnVisible = true;
    bool RetryButtonVisible = true;
    std::array<QString, 5> StatusPanel{};
    QString UrlToolTip;
    std::array<qint16, 2> SocketState{{0, 0}}; // last state seen per channel (0 closed .. 9 error)
    // Whether the radio answers: "Radio answers (last reply HH:MM:SS)", or "Radio offline since
    // HH:MM:SS" once its polls have failed for a few seconds; "" before its first answer. While
    // RadioOffline is set, every window that shows the radio's state shows it as old.
    QString LinkHealth;
    bool RadioOffline = false;
    QString OfflineSince; // HH:MM:SS, while offline
    // Why, in a few words ("connection refused", "no reply"), while offline; "" when not known.
    QString OfflineReason;
    // The radio's address as the link tries it: HOST:PORT ([HOST]:PORT for an IPv6 address).
    QString RadioAddress;
    // Why the last connection attempt failed, the address tried and where to change it; ""
    // once a connection opens.
    QString ConnectProblem;
    // Commands (keys) waiting to go to the radio on the command channel, gaps not counted.
    qsizetype WaitingCommands = 0;
    // The same for people: "3 keys waiting", "" when none.
    QString waitingText() const;

    // Remote window: border colour of the pointer shape; -1 until something paints it.
    int PointerBorderColour = -1;

    // Information panel.
    QString DeviceState;
    QString DeviceVersion;
    QString DeviceVolume;
    QStringList InfoList;
    int InfoListIndex = -1;
    bool InfoListEnabled = false;
    QStringList MetaList;
    int MetaListIndex = -1;
    bool MetaListEnabled = false;
    QStringList MenuList;
    int MenuListIndex = -1;
    int MainMenuListIndex = -1;
    // Whether a window shows the main menu list and the macro list. Nothing shows either at
    // start; the window that shows or hides one sets its flag (the decoder reads them).
    bool MainMenuListVisible = false;
    bool MacroListVisible = false;
    QString CurrentMenuLabel;
    QString DebugText;
    int VolumeAdjusterValue = 0;
    bool VolumeAdjusterEnabled = true;
    QString RecordButtonsCaption = QStringLiteral("Record");
    bool RecordButtonsBold = false;
    bool RecordButtonsEnabled = true;

    // Display window: the search box shown on the radio's text-entry screen.
    bool SearchBoxVisible = false;

    // Marks the data as changed; flush() emits changed() once for a batch of edits.
    void touch() { m_dirty = true; }
    void flush();

Q_SIGNALS:
    void changed();
    // Commands that will never reach the radio: dropped for time, or refused by a full queue.
    // The terminal has said which and why.
    void commandsNotSent(int count, const QString &why);
    // A line for the macro window's trace.
    void macroTrace(const QString &text);
    // The display window should redraw its labels (RefreshDisplays).
    void refreshDisplaysRequested();
    // The display window should build the screen with this definition name (DisplayScreen).
    void displayScreenRequested(const QString &screenName);
    // The display window should load this picture into the panel's menu image (LoadThePicture).
    void loadPictureRequested(const QString &pictureName);
    // The display window's search box should take the focus with its caret at the end.
    void searchBoxFocusRequested();
    // The waiting animation should stop; RadioState::WaitFrame has been set to -2.
    void pleaseWaitStopRequested();
    // The radio's volume for the information panel's slider (0..100): the window moves its
    // slider there as the program's move, not the user's, and sends nothing back
    // (InfoPanel::volumeShown). Not emitted while the user drags the slider.
    void volumeAdjusterSet(int value);

    // What happened on the link, as it happened; the session passes these on in its own words.
    // channel 0 carries commands (keys, the command box), channel 1 the poll's queries.
    // A command went onto the wire: the radio may have it, and it is never sent again.
    void commandSent(int channel, const QString &command);
    // The radio's reply on a channel, whole, as it came (line ends included).
    void replyReceived(int channel, const QString &reply);
    // A command that went out got no reply; why says what the link saw.
    void commandUnanswered(const QString &command, const QString &why);
    // A connection to the radio could not be opened: the address tried and what went wrong.
    void connectFailed(const QString &address, const QString &why);
    // The radio reported its volume (the last of a reply's "VOL=" lines).
    void volumeReported(int volume);

private:
    void terminalReplaced();

    bool m_dirty = false;
    TerminalMark m_terminalMark;
};
