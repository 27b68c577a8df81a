#pragma once

#include "radio_link/LinkHooks.h"
#include "session/RadioView.h"

// A macro run switched on and off by the test, for the link's questions about runs.
struct MacroSwitch final : MacroActivity {
    bool running = false;
    bool waiting = false;
    bool macroRunning() const override { return running; }
    bool macroWaitTimerRunning() const override { return waiting; }
};
