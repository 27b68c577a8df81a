#pragma once

#include "macros/MacroSurroundings.h"
#include "macros/MacroTable.h"
#include "macros/MacroTrace.h"
#include "platform/Timer.h"
#include "radio_link/LinkHooks.h"
#include "radio_link/ReplyHandshake.h"
#include "session/RadioView.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class Clock;
class Platform;
class Telnet;
struct RadioState;
struct SkinTables;
struct Timeouts;

// The macro runner and the data of the macro window: plays one compiled macro to the radio, one
// step action per MacroTimer tick, through the outbound queue. It waits for replies through the
// device state's await flags, compares tests with what the decoder last stored, backs off,
// backs up and restarts within fixed limits, and traces everything it does.
//
// The state machine has no thread and no nested event loop: each tick does at most one step
// action and ends. Starting and stopping only set the indexes; the next tick does the rest.
// Every index it reads (macro, step, back-up target) is checked against the table as it is at
// that tick, since a reload may replace the table under a running macro.
class MacroRunner : public QObject, public MacroActivity {
    Q_OBJECT
public:
    static constexpr int LongestInterval = 30000; // no pause or back-off waits longer
    static constexpr int MaxStepFails = 5;        // failed checks of a step before it is given up
    static constexpr int MaxRestarts = 5;         // restarts of a run before it is abandoned
    // The trace keeps its newest part: a run of hours must not grow it without bound. When it
    // passes TraceLimit it is cut back to its last TraceKept characters.
    static constexpr qsizetype TraceLimit = MacroTrace::Limit;
    static constexpr qsizetype TraceKept = MacroTrace::Kept;
    static constexpr int LabelGreen = 65280;

    MacroRunner(Platform &platform, Telnet &telnet, AutomaticPoll &poll, RadioState &state, const Timeouts &timeouts,
                MacroTable &table, const SkinTables &skin);
    ~MacroRunner() override;

    // Who answers the runner's questions; must be set before a run starts, and outlive the
    // runner or be replaced.
    void setSurroundings(MacroSurroundings &surroundings) { m_around = &surroundings; }

    // --- The runner -------------------------------------------------------------------------

    // Starts a macro by its table index: the next tick begins at its first step. A run already
    // going is replaced. An index outside the table starts nothing.
    void Start(int macroIndex);
    // Ends the run on the next tick, however many steps the macro has ("_ok", "MACRO FINISHED").
    void Stop();
    bool running() const { return CurrentMacro != -1; }
    // How the last run ended, and its closing trace line ("MACRO FINISHED Failed Last"...).
    MacroOutcome outcome() const { return m_outcome; }
    const QString &outcomeLine() const { return m_outcomeLine; }
    // What the radio link asks.
    bool macroRunning() const override { return running(); }
    bool macroWaitTimerRunning() const override { return m_waitTimer->isEnabled(); }

    void MacroTimer_Timer();
    void MacroWaitTimer_Timer();
    Timer &MacroTimer() { return *m_macroTimer; }
    Timer &MacroWaitTimer() { return *m_waitTimer; }

    int CurrentMacro = -1; // index into the table; -1 = none
    int CurrentStep = -1;  // -1 = selected, not started yet
    // Frame of the waiting animation. The display's own waiting animation shares it: when that
    // one is found stopped (-2), this one starts over.
    qint16 &WaitFrame() { return *m_waitFrame; }
    void shareWaitFrame(qint16 &frame) { m_waitFrame = &frame; }

    // --- The macro window -------------------------------------------------------------------

    // Appends to the trace; "" empties it. A text starting with CR LF after a trace ending with
    // one loses that CR LF, so separate traces do not leave blank lines between them.
    void AddToText(const QString &text);
    // The radio's traffic, traced only during a run and while "Include RX" is ticked.
    void AddToMacroText(const QString &text);
    // Lists the macro's steps and writes its name to the trace (kept after a restart).
    void MakeMacroStuff(int macroIndex);
    void ClearFreshData();
    void ClearNeeding();
    // Double click on a step line goes back to the title; on the title it ticks "Include RX"
    // and starts the macro selected in the information panel's macro list.
    void MacroStepList_DblClick(int line);
    void MacroText_DblClick() { AddToText(QString()); }

    const QString &MacroText() const { return m_trace.text(); }
    QStringList MacroStepList;   // line 0: title; line k + 1: step k
    int MacroStepListIndex = -1; // selected line
    bool IncludeTheRx = false;

    // The information panel's MacroLabel, which shows the run and stops it when clicked.
    QString MacroLabelCaption;
    QString MacroLabelToolTip;
    bool MacroLabelGreen = false; // else the colour of the current-menu label

Q_SIGNALS:
    // The trace got text at its end; windows append it.
    void traceAppended(const QString &text);
    // The trace was emptied or cut; windows show MacroText() anew.
    void traceReset();
    // A step sent this command (the trace has just said "Command ").
    void stepCommandSent(const QString &command);
    // The step list, its selection, the check box or the macro label changed.
    void changed();

private:
    enum class Next { TickEnd, Return };

    quint64 m_droppedSeen = 0; // the queue's count of commands not sent, as the run began

    const MacroDef *macro() const;
    MacroDef *macro();
    int lastStep() const;
    int stepInterval() const;
    int backupTarget(const MacroStep &step) const;
    void setPause(MacroStep &step);
    MacroSurroundings &around() const;
    void restartMacroTimer();
    void kickDisplayRefresh();
    void selectStepLine(int line);
    void setLabelCaption(const MacroStep &step);
    void setLabelToolTip();

    Next runStep();
    Next actionStep(MacroStep &step);
    Next testStep(const MacroStep &step);
    Next listSearch(const QString &value);
    Next failurePath();
    Next waitPath();
    Next advanceLoop(bool bailed);
    bool lookAhead(const MacroStep &step);
    Next finish();
    // Traces the run's closing line and keeps it, with what it means, for outcome().
    void closeRun(MacroOutcome outcome, const QString &line);
    Next failureFinish();
    void tickEnd();
    void endRun();

    MacroSurroundings *m_around = nullptr;
    Clock &m_clock;
    Telnet &m_telnet;
    AutomaticPoll &m_poll;
    ReplyHandshake m_handshake;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    MacroTable &m_table;
    const SkinTables &m_skin;
    std::unique_ptr<Timer> m_macroTimer;
    std::unique_ptr<Timer> m_waitTimer;

    qint16 m_ownWaitFrame = 0;
    qint16 *m_waitFrame = &m_ownWaitFrame;
    MacroTrace m_trace;
    int StepElapsed = 0; // ms spent waiting for replies in the current step
    qint64 m_lastTickAt = 0;
    int SavedInterval = 0; // interval the last successful step set
    int ExtraWait = 0;     // back-off added to SavedInterval while a check keeps failing
    bool SavedDisplayLabels = true;
    bool m_labelsSaved = false; // SavedDisplayLabels holds the value from before the run
    QString FailNote;
    bool m_stopRequested = false;
    QString m_listedName; // the macro the step list shows
    MacroOutcome m_outcome = MacroOutcome::Finished;
    QString m_outcomeLine;
};
