#pragma once

#include "radio_link/AutomaticPoll.h"
#include "radio_link/LinkView.h"
#include "radio_link/RadioConnection.h"
#include "radio_link/ReplyDecoder.h"
#include "radio_link/Telnet.h"

class Platform;
struct RadioState;
struct SkinTables;
struct Timeouts;

// The whole radio link wired together: queue, connection, decoder and automatic poll, with the
// data the windows show (view), the main window's inputs (settings) and the questions asked of
// other windows (hooks). The composition root owns one RadioLink and the shared data it refers
// to (platform, device state, timeouts, skin tables), all of which must outlive it.
//
//   RadioLink link(platform, state, timeouts, skin);
//   link.settings.txtUrl = ...;          // from the settings file / main window
//   link.hooks.macroRunning = [&] { ... };
//   connect(&link.view, &LinkView::changed, window, &Window::render);
//   link.start();                        // reply tick and display refresh timer running
//   link.telnet.QueueCommand(1, "VERSION");
class RadioLink {
public:
    RadioLink(Platform &platform, RadioState &state, const Timeouts &timeouts, const SkinTables &skin);

    // Arms the reply tick and the automatic poll's timer.
    void start();

    LinkSettings settings;
    LinkHooks hooks;
    LinkView view;
    Telnet telnet;
    AutomaticPoll poll;
    RadioConnection connection;
    ReplyDecoder decoder;
};
