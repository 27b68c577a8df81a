#pragma once

#include "macros/MacroTable.h"
#include "session/RadioStatus.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"
#include "skin/SkinTables.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class InfoPanel;
class RadioView;
struct RadioState;
class MacroRunner;
struct ConnectExtraTime;
class Platform;
class RadioLink;
struct GeneralSettings;
struct LinkSettings;
class Timer;

// Everything that talks to the radio and keeps what it said, without a window: the device
// state, the skin tables the decoder reads screens with, the timeouts, the macro table, the
// radio link (queue, connection, decoder, automatic poll), the information panel's list logic
// (a macro's list search opens rows through it) and the macro runner. The windows, the
// command-line client and any other front end stand on one session; they differ only in how
// they show the state and take requests.
//
//   RadioSession session(platform, programFolder);
//   session.loadSettings();                       // the radio's address and the link's options
//   session.loadData();                           // skin tables, timeouts, macros
//   session.setRadioAddress("10.0.0.5", 8080);    // optional: another radio
//   session.start();
//   session.pressKey("VOLp");                     // as a click on the remote does
//   connect(&session, &RadioSession::statusChanged, ...);   // session.status() is new
//   connect(&session, &RadioSession::macroEnded, ...);
//   session.startMacro("Play jazz");
//
// Front ends talk to the radio through the verbs below and learn what happened from the
// signals and status(); none of them reads the replies, the texts the windows show or the
// link's timers.
//
// The objects are built in the order they depend on each other (data, link, panel, runner) and
// live as long as the session; the windows take references to them. The runner's questions to
// the windows get headless answers here (the display's search text is kept in the session, the
// "Auto Refresh Labels" box is the link's setting); a front end with windows gives the runner
// a MacroSurroundings of its own.

// The link's options as the main window's controls and the settings file give them.
struct LinkOptions {
    QString host;                     // the radio's host name or address
    QString port;                     // its command port, as typed
    bool keepConnected = false;       // reopen the connection as soon as it is found closed
    bool refreshLabels = true;        // "Auto Refresh Labels": the automatic poll runs
    bool backOutOfErrorScreen = true; // leave the radio's error screen by itself
    bool operator==(const LinkOptions &) const = default;
};

class RadioSession : public QObject {
    Q_OBJECT
public:
    // programFolder holds the settings file (executableName + ".ini") and the data files.
    RadioSession(Platform &platform, const QString &programFolder,
                 const QString &executableName = QStringLiteral("CVRemote"), QObject *parent = nullptr);
    // The same on the settings of a front end that reads and writes them itself (the window
    // program): one reader of the settings file, so nothing it caches goes stale.
    RadioSession(Platform &platform, INIFILES &settings, QObject *parent = nullptr);
    ~RadioSession() override;

    // The link's options from the settings file: the radio's address and port, whether to keep
    // the connection, whether to refresh the display's labels, and the error-screen back-out.
    void loadSettings();
    // The same options as the main window reads them.
    static LinkOptions linkOptionsOf(const GeneralSettings &settings);
    LinkOptions linkOptions() const;
    void setLinkOptions(const LinkOptions &options);
    // Reads the data the link and the runner work with from the program folder: the skin's
    // index and menu files, the Timeouts section, the macro file.
    void loadData();
    void setRadioAddress(const QString &host, quint16 port);
    // The reply tick and the automatic poll run from here on; the first poll asks for
    // everything.
    void start();

    // --- Verbs ------------------------------------------------------------------------------

    // A key of the remote, sent exactly as a click on the remote window sends it. False when
    // the queue to the radio is full and the key was refused.
    bool pressKey(const QString &command);
    // Any command on the command channel, as the main window's command box sends it.
    bool sendCommand(const QString &command);
    // The queue's own pause between two commands (a gap, never sent).
    static QString gapCommand();
    // Keys pressed one after the other (a text typed on the search keyboard, a run of remote
    // keys), each with its gap, fed to the radio as it takes them.
    void typeKeys(const QStringList &keys);
    // Keys not sent yet are dropped (a cancelled run of keys); what is on its way arrives.
    void cancelKeys();
    // The commands queued for the radio and not sent yet, gaps included, in order (the keys
    // still to be fed after them not counted).
    QStringList commandsWaiting() const;
    // Steers the radio's volume to target (0..100) with volume keys, for the information
    // panel's slider, the media player and the client alike: while keys toward an earlier
    // target are on their way, they count from where those lead. With nothing to send (there
    // already, or the volume not known) the radio is asked for its volume instead, so whoever
    // shows it is put right. False when no key was sent.
    bool setVolume(int target);
    // Asks the radio now for what its screen shows (the automatic poll's questions, at once),
    // or for its volume alone.
    enum class Refresh { Screen, Volume };
    void refresh(Refresh what);
    // The next automatic poll waits a whole interval from now.
    void postponeRefresh();
    // What a screen that has just been drawn wants to show: the next automatic poll comes at
    // once (Soon), and asks for that value too.
    enum class Ask { Soon, State, Version, Volume, Menu, List, Meta };
    void askSoon(Ask what);
    // The display left its screen by itself (a touch on its background): the automatic poll
    // forgets what the old screen wanted.
    void screenLeft();
    // The first questions of a program with windows that has just started: the radio's
    // version, power state and menu position on the query channel, in that order; the first
    // automatic poll then asks for everything. A command sent meanwhile still goes first.
    void askAtStart();
    // Opens the connection now; closes it; tries a failed one again at once.
    void connectRadio();
    void disconnectRadio();
    void retry();
    // Gives up the connection being opened (a click on the status bar's state).
    void cancelConnecting();
    // Closes whatever connection to the radio is open, as the program ends.
    void closeConnections();
    // The extra connect time the link learns from the radio's pace, shared with every other
    // connection to the same radio (the console's).
    ConnectExtraTime &sharedConnectTime();

    // A line of the program's own in the terminal view (a notice, not the radio's words).
    void notice(const QString &line);

    // Starts a macro by its name in the macro file; false when there is none of that name.
    bool startMacro(const QString &name);
    // Ends the running macro at the runner's next tick; macroEnded() follows.
    void stopMacro();
    bool macroRunning() const;

    // --- What the radio said ----------------------------------------------------------------

    // What the windows show of the radio and of the link (lists, labels, terminal, status
    // bar): the link's rules keep it up to date and announce each batch of changes.
    RadioView &view();
    const RadioView &view() const;
    // The power state, version, volume or screen number (Menu) as the radio last worded them,
    // read at the moment of asking (a screen built while a reply is being decoded sees it).
    QString reported(Ask what) const;
    // The frame of the waiting animation the display and the macro window play in step; -2
    // asks the one running to stop.
    qint16 &waitFrame();

    // Decoded from the radio's replies; statusChanged() says when it changed.
    const RadioStatus &status() const { return m_status; }
    // Nothing asked of the radio is on its way: no command waits or is being sent, no reply
    // waits to be read. Queries the automatic poll has queued but not sent may remain.
    bool idle() const;
    // The first full refresh has been answered (or its last query has gone unanswered).
    bool refreshed() const { return m_refreshed; }

    // Parts the windows share with the session.
    Platform &platform() { return m_platform; }
    INIFILES &ini() { return m_ini; }
    const INIFILES &ini() const { return m_ini; }
    SkinTables &skin() { return m_skin; }
    const SkinTables &skin() const { return m_skin; }
    Timeouts &timeouts() { return m_timeouts; }
    MacroTable &macros() { return m_macros; }
    const MacroTable &macros() const { return m_macros; }
    // The device record and the link itself, for tests and benchmarks that look inside; a
    // front end cannot use them without a link header, which the layering check refuses.
    RadioState &state() { return *m_state; }
    const RadioState &state() const { return *m_state; }
    RadioLink &link() { return *m_link; }
    InfoPanel &infoPanel() { return *m_panel; }
    MacroRunner &macroRunner() { return *m_runner; }
    // The display's search box text, kept here while no display window keeps it.
    const QString &searchText() const { return m_searchText; }

Q_SIGNALS:
    // A command went to the radio: it may have it, and it is never sent again. query: one of
    // the automatic poll's questions rather than a key or a typed command.
    void commandSent(const QString &command, bool query);
    // The radio's reply, as it came (line ends included).
    void replyReceived(const QString &reply, bool query);
    // A command that went out got no reply.
    void commandUnanswered(const QString &command, const QString &why);
    // Commands that will never reach the radio (dropped for time, or refused by a full queue).
    void commandsNotSent(int count, const QString &why);
    // A connection to the radio failed: the address tried (HOST:PORT) and why.
    void connectFailed(const QString &address, const QString &why);
    // Everything asked of the radio has gone and been answered (see idle()). Only watched
    // while something is connected to it.
    void becameIdle();
    // The first full refresh is in (see refreshed()).
    void firstRefreshAnswered();
    // status() changed.
    void statusChanged();
    // The radio reported its volume.
    void volumeReported(int volume);
    // The display should show the screen with this skin definition.
    void screenRequested(const QString &screenName);
    // loadData() has read the display skin again (before the timeouts and the macros): a
    // display redraws from it.
    void skinLoaded();
    // The running macro's trace grew by text; a step sent command.
    void macroTrace(const QString &text);
    void macroStepSent(const QString &command);
    // A macro run ended, and how: line is its closing trace line.
    void macroEnded(MacroOutcome outcome, const QString &line);

private:
    class Surroundings;
    void wireRunner();
    void wireEvents();
    // Decodes the status again and says so when it changed; looks whether the link went idle.
    void linkChanged();
    void lookForIdle();
    void scheduleLook();
    // The view names the radio's address as the link tries it, for the windows' health line.
    void showRadioAddress();

    Platform &m_platform;
    std::unique_ptr<INIFILES> m_ownSettings; // only when the session was given a folder
    INIFILES &m_ini;
    std::unique_ptr<RadioState> m_state; // before the link, which keeps a reference
    SkinTables m_skin;
    Timeouts m_timeouts;
    MacroTable m_macros;
    std::unique_ptr<RadioLink> m_link;
    std::unique_ptr<InfoPanel> m_panel;
    std::unique_ptr<Surroundings> m_surroundings;
    std::unique_ptr<MacroRunner> m_runner;
    QString m_searchText;
    bool m_macroWasRunning = false;
    RadioStatus m_status;
    bool m_coverKnown = false;
    QString m_coverScreen; // the screen m_coverShown was worked out for
    bool m_coverShown = false;
    bool m_started = false;
    bool m_refreshed = false;
    bool m_versionAsked = false;
    bool m_wasIdle = true;
    bool m_lookQueued = false;
    std::unique_ptr<Timer> m_idleBackstop;
};
