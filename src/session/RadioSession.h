#pragma once

#include "macros/MacroTable.h"
#include "radio_link/RadioState.h"
#include "radio_link/SkinTables.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"

#include <QObject>
#include <QString>

#include <memory>

class InfoPanel;
class MacroRunner;
class Platform;
class RadioLink;
struct GeneralSettings;
struct LinkSettings;

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
//   connect(&session, &RadioSession::macroEnded, ...);
//   session.startMacro("Play jazz");
//
// The objects are built in the order they depend on each other (data, link, panel, runner) and
// live as long as the session; the windows take references to them. The runner's questions to
// the windows get headless answers here (the display's search text is kept in the session, the
// "Auto Refresh Labels" box is the link's setting); a front end with windows gives the runner
// a MacroSurroundings of its own.
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

    // The link's inputs from the settings file: the radio's address and port, whether to keep
    // the connection, whether to refresh the display's labels, and the error-screen back-out.
    void loadSettings();
    // The same settings as the main window reads them, applied to the link.
    static void applyLinkSettings(const GeneralSettings &settings, LinkSettings &link);
    // Reads the data the link and the runner work with from the program folder: the skin's
    // index and menu files, the Timeouts section, the macro file.
    void loadData();
    void setRadioAddress(const QString &host, quint16 port);
    // The reply tick and the automatic poll run from here on; the first poll asks for
    // everything.
    void start();

    // A key of the remote, sent exactly as a click on the remote window sends it. False when
    // the queue to the radio is full and the key was refused.
    bool pressKey(const QString &command);
    // Any command on the command channel, as the main window's command box sends it.
    bool sendCommand(const QString &command);
    // Keys pressed one after the other (a text typed on the search keyboard, a run of remote
    // keys), each with its gap, fed to the radio as it takes them.
    void typeKeys(const QStringList &keys);
    // Steers the radio's volume to target (0..100) with volume keys, as the information panel's
    // slider, the media player and the client all do: while keys toward an earlier target are
    // on their way, they count from where those lead. False when nothing was sent.
    bool setVolume(int target);

    // Starts a macro by its name in the macro file; false when there is none of that name.
    bool startMacro(const QString &name);
    // Ends the running macro at the runner's next tick; macroEnded() follows.
    void stopMacro();
    bool macroRunning() const;

    Platform &platform() { return m_platform; }
    INIFILES &ini() { return m_ini; }
    const INIFILES &ini() const { return m_ini; }
    RadioState &state() { return m_state; }
    const RadioState &state() const { return m_state; }
    SkinTables &skin() { return m_skin; }
    Timeouts &timeouts() { return m_timeouts; }
    MacroTable &macros() { return m_macros; }
    RadioLink &link() { return *m_link; }
    InfoPanel &infoPanel() { return *m_panel; }
    MacroRunner &macroRunner() { return *m_runner; }
    // The display's search box text, kept here while no display window keeps it.
    const QString &searchText() const { return m_searchText; }

Q_SIGNALS:
    // loadData() has read the display skin again (before the timeouts and the macros): a
    // display redraws from it.
    void skinLoaded();
    // A macro run ended: finished, failed for good, or stopped.
    void macroEnded();
    // Commands that will never reach the radio (dropped for time, or refused by a full queue).
    void commandsNotSent(int count, const QString &why);

private:
    class Surroundings;
    void wireRunner();

    Platform &m_platform;
    std::unique_ptr<INIFILES> m_ownSettings; // only when the session was given a folder
    INIFILES &m_ini;
    RadioState m_state;
    SkinTables m_skin;
    Timeouts m_timeouts;
    MacroTable m_macros;
    std::unique_ptr<RadioLink> m_link;
    std::unique_ptr<InfoPanel> m_panel;
    std::unique_ptr<Surroundings> m_surroundings;
    std::unique_ptr<MacroRunner> m_runner;
    QString m_searchText;
    bool m_macroWasRunning = false;
};
