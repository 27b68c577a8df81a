#pragma once

#include "app/SingleInstance.h"
#include "keyboard/KeyboardGrid.h"
#include "macros/MacroTable.h"
#include "main_window/CommandList.h"
#include "main_window/GeneralSettings.h"
#include "radio_link/RadioState.h"
#include "radio_link/SkinTables.h"
#include "remote/RemoteLayout.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ConfigForm;
class InfoForm;
class InfoPanel;
struct InfoWiring;
class DisplayControl;
class DisplayForm;
struct ConsoleWindow;
struct UpdateWindow;
class MacroForm;
class MacroRunner;
class Platform;
class RadioLink;
class RemoteWiring;
class WidgetPlacement;

// The composition root: owns the shared data, the radio link with its timers and the windows,
// runs the start-up and close sequences and wires the windows to the logic. Nothing else
// reaches across windows.
class Program : public QObject {
    Q_OBJECT
public:
    // programFolder holds the settings and data files; executableName names the settings file.
    Program(Platform &platform, const QString &programFolder,
            const QString &executableName = QStringLiteral("CVRemote"), QObject *parent = nullptr);
    ~Program() override;

    // Sounds the bell when a second copy starts; the real program beeps, tests count.
    std::function<void()> beep;
    // Ends the program once the main window has closed.
    std::function<void()> endProgram;
    // Redraws the emulated display once a reload has read the skin again; the display window
    // fills it in.
    std::function<void()> displayRedraw;

    // Runs the start-up. False when another copy already runs: nothing was shown and the
    // caller should end at once.
    bool start();

    // The main window's close: settings, other windows, placement, sockets, end.
    void Form_Unload();
    // Closes the main window as the user does (SIGTERM and SIGINT come here).
    void Close();
    // Reloads the data files: command list, skin, timeouts, macros and the current layout.
    void ReloadButton_Click();
    // Makes a layout current (the layout list's double click sets it, then reloads); an empty
    // name makes the next reload fall back to the settings' LastRemote.
    void setCurrentRemote(const QString &name);

    ConfigForm &mainWindow() { return *m_form; }
    CommandList &commands() { return m_commands; }
    // The radio link lives from start() until the main window has closed.
    RadioLink &link() { return *m_link; }
    bool linkRunning() const { return m_link != nullptr; }
    RadioState &state() { return m_state; }
    const SkinTables &skin() const { return m_skin; }
    const Timeouts &timeouts() const { return m_timeouts; }
    INIFILES &ini() { return m_ini; }
    const QString &versionString() const { return m_versionString; }
    const QString &currentRemote() const { return m_layout.CurrentRemote; }
    const RemoteLayout &layout() const { return m_layout; }
    const KeyboardGrid &keyboard() const { return m_keyboard; }
    const MacroTable &macros() const { return m_macros; }
    // The information panel and its window, from start() until the main window has closed.
    InfoForm &infoForm();
    InfoPanel &infoPanel();

    // The display window and its logic exist from start() until the main window has closed.
    DisplayControl &display();
    DisplayForm &displayWindow();

    // The remote window and the layout editor; they live from start() on.
    RemoteWiring &remote() { return *m_remote; }

    // The console and update windows exist from start() until the main window has closed.
    ConsoleWindow *consoleWindow() { return m_console.get(); }
    UpdateWindow *updateWindow() { return m_update.get(); }

    MacroRunner &macroRunner() { return *m_macroRunner; }
    MacroForm &macroWindow() { return *m_macroForm; }

private:
    void wireMainWindow();
    void wireInfoPanel();
    void unloadInfoPanel();
    // The display window: created, wired and given its first screen (WireDisplay.cpp).
    void wireDisplay();
    void closeDisplay();
    void wireConsoleWindow(); // WireConsole.cpp
    void wireUpdateWindow();  // WireUpdate.cpp
    void wireMacros();
    void unloadMacros();
    // What the windows ask of each other, once all exist (WireBetweenWindows.cpp).
    void wireBetweenWindows();
    void arrangeAtFirstStart();
    void renderLinkView();

    Platform &m_platform;
    INIFILES m_ini;
    SingleInstance m_instance;
    RadioState m_state;
    SkinTables m_skin;
    Timeouts m_timeouts;
    CommandList m_commands;
    RemoteLayout m_layout;
    KeyboardGrid m_keyboard;
    MacroTable m_macros;
    QString m_versionString;
    bool m_unloaded = false;

    std::unique_ptr<RadioLink> m_link;
    std::unique_ptr<QObject> m_wiring;
    std::unique_ptr<ConfigForm> m_form;
    std::unique_ptr<RemoteWiring> m_remote;
    std::unique_ptr<WidgetPlacement> m_formPlacement;
    std::unique_ptr<InfoWiring> m_info;
    struct DisplayParts;
    std::unique_ptr<DisplayParts> m_display;
    std::unique_ptr<ConsoleWindow> m_console;
    std::unique_ptr<UpdateWindow> m_update;
    std::unique_ptr<MacroRunner> m_macroRunner;
    std::unique_ptr<MacroForm> m_macroForm;
    std::unique_ptr<WidgetPlacement> m_macroPlacement;
};
