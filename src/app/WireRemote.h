#pragma once

#include "remote/LayoutEditor.h"

#include <functional>
#include <memory>

class CommandList;
class ConfigForm;
class INIFILES;
class PlacedWindow;
class Platform;
class RadioLink;
class RemoteControl;
class RemoteForm;
class WidgetPlacement;
struct RadioState;
struct RemoteLayout;
struct Timeouts;

// What the remote window and the layout editor are wired to; all of it outlives the wiring
// (the link up to close()).
struct RemoteContext {
    Platform &platform;
    INIFILES &ini;
    RemoteLayout &layout;
    CommandList &commands;
    ConfigForm &form;
    RadioLink &link;
    RadioState &state;
    const Timeouts &timeouts;
    // The Reload action: every data file read again, then the remote window shown.
    std::function<void()> reload;
};

// The remote window with its logic, and the layout editor of the main window, wired to the
// command list, the radio link and each other.
class RemoteWiring {
public:
    explicit RemoteWiring(RemoteContext context);
    ~RemoteWiring();

    LayoutEditor editor;
    RemoteControl &control() { return *m_control; }
    RemoteForm &window() { return *m_window; }

    // The window's placement, stored per layout by the layout loader.
    PlacedWindow &placement();
    // After the layout loader ran: its picture ("" keeps the one shown), the marked command.
    void showLayout(const QString &picturePath);
    // Shows the window, restored when it was minimised, in front.
    void showWindow();
    // The program's close: the window stores its placement and closes; nothing reaches the
    // link any more.
    void close();

private:
    void placeBesideMainWindow();

    RemoteContext m_context;
    std::unique_ptr<RemoteControl> m_control;
    std::unique_ptr<RemoteForm> m_window;
    std::unique_ptr<WidgetPlacement> m_placement;
};

std::unique_ptr<RemoteWiring> WireRemote(RemoteContext context);
