#pragma once

#include "radio_link/AutomaticPoll.h"
#include "radio_link/LinkHooks.h"
#include "radio_link/RadioConnection.h"
#include "radio_link/ReplyDecoder.h"
#include "radio_link/Telnet.h"
#include "session/RadioView.h"

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
//   link.settings.txtUrl = ...;            // RaidoURL, RaidoPORT, KeepConnected, AutoRefresh,
//   link.settings.ProgramFolder = ...;     // Auto21Exit; the folder the sounds are looked in
//   link.hooks.macroRunning = [&] { ... }; // as the macro runner and panels come to exist
//   connect(&link.view, &RadioView::changed, window, &Window::render);
//   connect(&link.view, &RadioView::displayScreenRequested, display, &DisplayForm::DisplayScreen);
//   link.start();                          // reply tick and display refresh timer running
//   link.telnet.QueueCommand(1, "VERSION"); // the one way to send anything to the radio
//
// Buttons and boxes of the main window call connection.ConnectButton_Click(),
// DisconnectButton_Click(), KeepAsConnected_Click() (after updating settings.KeepAsConnected),
// RetryButton_Click() and StatusBar_PanelClick(). The information panel's refresh menu uses
// poll.RefreshQuery(); whoever wants the poll sooner or later says so through poll's intents
// (kick, refreshIn, stop, hold/release, askFor, pollNow). Everything runs on the thread that
// owns the objects; nothing blocks.
//
// What other windows use:
// - view.clearTerminal() (macro runner, information panel), view.appendTerminal();
// - view.MainMenuListVisible / view.MacroListVisible: set by the window that shows the list;
// - view.volumeAdjusterSet: the one place a window moves its volume slider to the radio's volume;
// - RadioState::WaitFrame, the waiting animation's frame, shared by the display and macro windows;
// - connection.ConnectExtra, the adaptive connect time a ConnectAttempt of another window shares.
//
// Every command reaches the radio once: a command leaves its queue when its send completed,
// answered or not (an unanswered one shows "[no reply to X]" in the terminal); one that never
// got onto the wire stays first and is tried again. One connection carries one command.
class RadioLink {
public:
    RadioLink(Platform &platform, RadioState &state, const Timeouts &timeouts, const SkinTables &skin);

    // Arms the reply tick and the automatic poll's timer.
    void start();

    // Nothing asked of the radio is on its way: the command queue is empty, its gap after the
    // last key has passed, no connection is being opened or carries a command, and no reply
    // waits to be decoded. Queries the automatic poll has queued but not sent may remain.
    bool idle() const;

    // Sends a key of the remote: the command and a short gap on the command channel; the
    // queries not sent yet are dropped, and a menu poll follows at once with the full refresh
    // put off. False when the queue was full and refused the key.
    bool pressKey(const QString &command);
    // The first questions of a program that has just started: who the radio is, whether it is on,
    // and where it is; the first poll then asks for everything.
    void askAtStart();

    LinkSettings settings;
    LinkHooks hooks;
    RadioView view;
    Telnet telnet;
    AutomaticPoll poll;
    RadioConnection connection;
    ReplyDecoder decoder;
};
