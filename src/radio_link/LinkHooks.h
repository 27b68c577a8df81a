#pragma once

#include <QString>

// Inputs of the radio link that the main window owns (its text boxes and check boxes). The
// composition root keeps one instance, fills it from the settings file at start and keeps it
// in step with the controls; the link reads the fields whenever it needs them.
struct LinkSettings {
    QString txtUrl = QStringLiteral("192.168.1.119"); // radio host name or address
    QString txtPort = QStringLiteral("8080");         // radio command port, as typed
    bool KeepAsConnected = false;                     // reopen a socket as soon as it is found closed
    bool UpdateDisplayLabels = true;                  // "Auto Refresh Labels": the poll countdown runs
    bool Auto21Backout = true;                        // back out of the error screen 21 by itself
    QString ProgramFolder;                            // where sounds are looked for ("" = current folder)
};

// What the link asks about macro runs; the macro runner answers. Some rules differ while a run
// goes on: an acknowledgement is silent and does not ask for the state, a navigation keeps the
// terminal (the run's trace is there), the error screen is not backed out of while the runner
// waits for the radio.
class MacroActivity {
public:
    virtual bool macroRunning() const = 0;          // a macro run is in progress
    virtual bool macroWaitTimerRunning() const = 0; // the runner waits for the radio
protected:
    ~MacroActivity() = default;
};

// The answer of a front end that runs no macros, or whose runner is gone.
const MacroActivity &NoMacroRuns();

// The questions the link asks the rest of the program. Whoever answers must be named: a
// question asked before that is a wiring fault, and stops the program where it is asked instead
// of being answered "no" in silence.
class LinkHooks {
public:
    // activity must outlive the link, or be replaced (by NoMacroRuns()) before it goes.
    void answerMacroQuestions(const MacroActivity &activity) { m_macros = &activity; }
    bool macroRunning() const { return macros().macroRunning(); }
    bool macroWaitTimerRunning() const { return macros().macroWaitTimerRunning(); }

private:
    const MacroActivity &macros() const;

    const MacroActivity *m_macros = nullptr;
};

// Colours are 24-bit values with red in the low byte.
namespace LinkColour {
constexpr int Yellow = 65535;
constexpr int Green = 65280;
constexpr int Blue = 16711680;
} // namespace LinkColour
