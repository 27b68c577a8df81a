#pragma once

#include "app/SingleInstance.h"
#include "finder/FindNetworks.h"
#include "main_window/CommandList.h"
#include "remote/RemoteLayout.h"
#include "session/RadioSession.h"
#include "settings/INIFILES.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ConfigForm;
class ConsoleWindow;
class QIcon;
class DisplayWindow;
class FirstContact;
class FirstRunDialog;
class InfoWindow;
class MacroRunner;
class MacroWindow;
class MainWindow;
class Platform;
class RadioLink;
class RemoteActions;
class RemoteWindow;
class SettingsSaver;
class UpdateWindow;

// The program's icon at every size it is drawn in (16 to 256 pixels), the windows' icon.
QIcon ProgramIcon();

// The composition root: owns the radio session (the link with its timers, the device state and
// the data the radio is read with, the macro runner), the main window's own data and one object
// per window (its logic, its form and its place on the screen), runs the start-up and close
// sequences and wires the windows to the logic and to each other. Nothing else reaches across
// windows. Each window's wiring is a function of its own in a Wire file beside this one.
class Program : public QObject {
    Q_OBJECT
public:
    // programFolder holds the settings and data files; executableName names the settings file.
    Program(Platform &platform, const QString &programFolder,
            const QString &executableName = QStringLiteral("CVRemote"), QObject *parent = nullptr);
    ~Program() override;

    // Runs the start-up. False when another copy already runs: it was asked to show its main
    // window, nothing was shown here and the caller should end at once.
    bool start();
    // What the start has to tell the user on the terminal ("" when nothing): whether a copy
    // already running took the request to show itself, or that a crashed copy's lock was taken
    // over.
    QString startNotice() const { return m_instance.Notice(); }

    // The main window's close: settings, other windows, placement, sockets, end.
    void Form_Unload();
    // Closes the main window as the user does.
    void Close();
    // SIGTERM and SIGINT: closes as Close() does, but ends promptly: a failed save is told on
    // stderr and in the terminal view, without a message box waiting for the user.
    void Terminate();
    // Reloads the data files: command list, skin, timeouts, macros and the current layout.
    void ReloadButton_Click();

    ConfigForm &mainWindow();
    CommandList &commands() { return m_commands; }
    // The radio session lives from start() until the main window has closed.
    RadioSession &session() { return *m_session; }
    bool linkRunning() const { return m_session != nullptr; }
    RadioLink &link() { return m_session->link(); }
    RadioState &state() { return m_session->state(); }
    const Timeouts &timeouts() { return m_session->timeouts(); }
    const MacroTable &macros() { return m_session->macros(); }
    MacroRunner &macroRunner() { return m_session->macroRunner(); }
    INIFILES &ini() { return m_ini; }
    const RemoteLayout &layout() const { return m_layout; }

    // The windows other than the main window. The remote window lives from start() on; the
    // others exist from start() until the main window has closed.
    RemoteWindow &remote() { return *m_remote; }
    InfoWindow &info() { return *m_info; }
    DisplayWindow &display() { return *m_display; }
    MacroWindow &macroWindow() { return *m_macroWindow; }
    ConsoleWindow *consoleWindow() { return m_console.get(); }
    UpdateWindow *updateWindow() { return m_update.get(); }
    // The first-run dialog and its logic, from start() until the main window has closed.
    FirstRunDialog *firstRunDialog() { return m_firstRun.get(); }
    FirstContact *firstContact() { return m_firstContact.get(); }
    // The networks "Find radios" searches; the machine's private networks unless set before
    // start() (tests give loopback networks).
    void setFinderNetworks(std::function<QList<Ipv4Network>()> networks) { m_finderNetworks = std::move(networks); }

Q_SIGNALS:
    // This is a second copy, refused: the real program sounds the bell.
    void secondCopyRefused();
    // The main window has closed and everything is saved: the program may end.
    void ended();
    // A reload read the display skin again; the display window redraws from it.
    void skinReloaded();

private:
    // One function per window, each in its Wire file: what the window is wired to beyond
    // itself.
    void wireMainWindow();              // Program.cpp: the main window's inputs to the radio link
    void wireRemote();                  // WireRemote.cpp
    void wireDisplay();                 // WireDisplay.cpp
    void wireConsole();                 // WireConsole.cpp
    void wireFirstRun(bool firstStart); // WireFirstRun.cpp: the first-run dialog, shown now at a first start
    void wireUpdate();                  // WireUpdate.cpp
    void wireMacros();                  // WireMacros.cpp
    void wireMpris();                   // WireMpris.cpp: the media player on the session bus
    // What the windows ask of each other, once all exist (WireBetweenWindows.cpp).
    void wireBetweenWindows();
    // Settings saved a few seconds after they change: the main window's inputs and the places
    // of the windows shown at start; failures and notices of the settings file are told.
    void wireSettings();
    // Tells the user (terminal view and stderr) what the settings file has to say.
    void tellSettings(const QStringList &lines);
    void closeWhenTold(const QString &failure);

    Platform &m_platform;
    INIFILES m_ini;
    SingleInstance m_instance;
    // Saves m_ini a few seconds after each change; from start() on.
    std::unique_ptr<SettingsSaver> m_saver;
    bool m_closeByUser = true;
    CommandList m_commands;
    RemoteLayout m_layout;
    bool m_unloaded = false;

    // Declared in the order they come; destroyed the other way round, the windows before the
    // session whose data they show.
    std::unique_ptr<RadioSession> m_session;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<RemoteActions> m_remoteActions;
    std::unique_ptr<RemoteWindow> m_remote;
    std::unique_ptr<InfoWindow> m_info;
    // Everything of the main window that reaches the link hangs on this context, so ending the
    // program cuts the window loose from the link in one step.
    std::unique_ptr<QObject> m_wiring;
    std::unique_ptr<UpdateWindow> m_update;
    std::unique_ptr<ConsoleWindow> m_console;
    std::unique_ptr<DisplayWindow> m_display;
    std::unique_ptr<MacroWindow> m_macroWindow;
    std::function<QList<Ipv4Network>()> m_finderNetworks;
    std::unique_ptr<FirstContact> m_firstContact;
    std::unique_ptr<FirstRunDialog> m_firstRun;
    // The media player on the session bus and its connection; it reads the session, so it goes
    // first.
    std::unique_ptr<QObject> m_mpris;
};
