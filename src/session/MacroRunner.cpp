#include "session/MacroRunner.h"

#include "platform/NumericText.h"
#include "platform/Platform.h"
#include "radio_link/AutomaticPoll.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "session/MacroTestText.h"
#include "settings/Timeouts.h"
#include "skin/Skin.h"
#include "skin/SkinTables.h"

#include <algorithm>
#include <cmath>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The back-off arithmetic rounds to the nearest integer, halves to the even neighbour (the
// default floating-point rounding mode).
int roundHalfEven(double value) {
    return int(std::nearbyint(value));
}

using Data = ReplyHandshake::Data;
using Reply = ReplyHandshake::Reply;

} // namespace

MacroRunner::MacroRunner(Platform &platform, Telnet &telnet, AutomaticPoll &poll, RadioState &state,
                         const Timeouts &timeouts, MacroTable &table, const SkinTables &skin)
    : m_clock(platform.clock())
    , m_telnet(telnet)
    , m_poll(poll)
    , m_handshake(state, poll)
    , m_state(state)
    , m_timeouts(timeouts)
    , m_table(table)
    , m_skin(skin)
    , m_macroTimer(platform.createTimer())
    , m_waitTimer(platform.createTimer()) {
    m_macroTimer->setInterval(100);
    m_waitTimer->setInterval(100);
    connect(m_macroTimer.get(), &Timer::timeout, this, &MacroRunner::MacroTimer_Timer);
    connect(m_waitTimer.get(), &Timer::timeout, this, &MacroRunner::MacroWaitTimer_Timer);
    connect(&m_trace, &MacroTrace::appended, this, &MacroRunner::traceAppended);
    connect(&m_trace, &MacroTrace::reset, this, &MacroRunner::traceReset);
}

MacroRunner::~MacroRunner() = default;

// ---------------------------------------------------------------------------------------------
// Starting and stopping

int MacroRunner::stepInterval() const {
    // An interval of 0 would never fire and leave a run hanging.
    return std::clamp<int>(m_timeouts.MacroStepInterval, 1, LongestInterval);
}

void MacroRunner::Start(int macroIndex) {
    if (macroIndex < 0 || size_t(macroIndex) >= m_table.Macros.size()) {
        return;
    }
    m_macroTimer->setEnabled(false);
    m_macroTimer->setInterval(stepInterval());
    m_macroTimer->setEnabled(true);
    WaitFrame() = 0;
    m_waitTimer->setEnabled(true);
    CurrentMacro = macroIndex;
    CurrentStep = -1;
    // A new run owes nothing to the last one: its counters and back-off start afresh.
    MacroDef &started = m_table.Macros[size_t(macroIndex)];
    started.RestartCount = 0;
    started.StepFailCount = 0;
    StepElapsed = 0;
    m_lastTickAt = m_clock.nowMs();
    SavedInterval = 0;
    ExtraWait = 0;
    FailNote.clear();
    m_stopRequested = false;
    around().showMacroList(false);
    Q_EMIT changed();
}

void MacroRunner::Stop() {
    ClearNeeding();
    if (CurrentMacro == -1) {
        return;
    }
    // Past the last step of whatever macro runs at the next tick, so the run finishes there.
    m_stopRequested = true;
    if (const MacroDef *m = macro()) {
        CurrentStep = int(m->Steps.size());
    }
    // A long pause or back-off must not keep the user waiting for the stop.
    m_macroTimer->setEnabled(false);
    m_macroTimer->setInterval(stepInterval());
    m_macroTimer->setEnabled(true);
}

// ---------------------------------------------------------------------------------------------
// The tick

const MacroDef *MacroRunner::macro() const {
    if (CurrentMacro < 0 || size_t(CurrentMacro) >= m_table.Macros.size()) {
        return nullptr;
    }
    return &m_table.Macros[size_t(CurrentMacro)];
}

MacroDef *MacroRunner::macro() {
    return const_cast<MacroDef *>(std::as_const(*this).macro());
}

int MacroRunner::lastStep() const {
    const MacroDef *m = macro();
    return m ? int(m->Steps.size()) - 1 : -1;
}

void MacroRunner::MacroTimer_Timer() {
    // The time since the last tick: the interval, or more when a busy machine let the tick run
    // late, so that the step time-out means time and not a number of ticks.
    const qint64 now = m_clock.nowMs();
    const int sinceLastTick =
        std::max(m_macroTimer->interval(), int(std::min<qint64>(now - m_lastTickAt, LongestInterval)));
    m_lastTickAt = now;

    // Gate.
    if (CurrentMacro == -1) {
        ClearNeeding();
        m_macroTimer->setEnabled(false);
        return;
    }
    if (CurrentStep != -1 && (around().radioOffline() || m_telnet.droppedCount() != m_droppedSeen)) {
        // The radio is gone, or a command never reached it: a run that went on would count
        // unsent steps as answered and end "finished" with nothing done.
        AddToText(CrLf);
        closeRun(MacroOutcome::RadioNotAnswering, QStringLiteral("MACRO STOPPED: radio not answering"));
        m_telnet.DropQueued(QStringLiteral("the macro stopped: the radio is not answering"));
        finish();
        tickEnd();
        Q_EMIT changed();
        return;
    }
    if (m_telnet.hasCommands(0)) {
        // The last step's command has not gone yet: its answer is awaited, and its time-out
        // counts, only from when it is sent.
        return;
    }
    if (!macro()) {
        // A reload took the running macro out of the table.
        closeRun(MacroOutcome::Removed, QStringLiteral("MACRO Ended"));
        finish();
        tickEnd();
        Q_EMIT changed();
        return;
    }
    if (m_stopRequested) {
        CurrentStep = lastStep() + 1; // again: a reload may have made the macro longer
    }
    MacroLabelGreen = false; // green marks a step that succeeded in this very tick

    // Start.
    if (CurrentStep == -1) {
        CurrentStep = 0;
        m_droppedSeen = m_telnet.droppedCount();
        around().clearTerminal();
        MakeMacroStuff(CurrentMacro);
        // Kept from before the first start only: a restart must not take the ticked box for
        // the user's setting.
        if (!m_labelsSaved) {
            SavedDisplayLabels = around().displayLabels();
            m_labelsSaved = true;
        }
        around().setDisplayLabels(true);
        ClearNeeding();
        const auto &steps = macro()->Steps;
        if (std::any_of(steps.begin(), steps.end(), [](const MacroStep &s) { return !s.KeyText.isEmpty(); })) {
            around().setSearchText(QString());
        }
    }

    // Reply gate: replies owed to the last step are awaited up to the step time-out; after
    // that the step counts as answered.
    if (m_handshake.awaiting()) {
        StepElapsed += sinceLastTick;
        if (StepElapsed < m_timeouts.MacroStepTimeout) {
            return;
        }
    }
    ClearNeeding();
    StepElapsed = 0;
    m_poll.deferFullRefresh();

    if (runStep() == Next::TickEnd) {
        tickEnd();
    }
    Q_EMIT changed();
}

MacroRunner::Next MacroRunner::runStep() {
    if (CurrentStep > lastStep()) {
        return advanceLoop(false);
    }
    CurrentStep = std::max(CurrentStep, 0);
    if (m_state.poll.RadioStandby) {
        // The radio is woken before the step and asked where it woke up.
        for (const char *command : {"POWER", Telnet::Delay, Telnet::Delay, "MINFO", Telnet::Delay}) {
            m_telnet.QueueCommand(0, QLatin1String(command));
        }
        m_state.poll.RadioStandby = false;
        m_poll.askFor(AutomaticPoll::Query::State);
        m_handshake.askAndAwait(Data::Menu);
        m_handshake.expect(Reply::Ok);
    }
    if (MacroStepList.size() < CurrentStep) {
        MakeMacroStuff(CurrentMacro);
    }
    selectStepLine(CurrentStep + 1);
    MacroStep &step = macro()->Steps[size_t(CurrentStep)];
    return step.Test.isEmpty() ? actionStep(step) : testStep(step);
}

MacroRunner::Next MacroRunner::actionStep(MacroStep &step) {
    if (!step.KeyText.isEmpty()) {
        // The display's search box follows what the typing steps enter on the radio.
        QString text = around().searchText();
        if (step.KeyText == QLatin1String("CLEAR")) {
            text.clear();
        } else if (step.KeyText != QLatin1String(".") && step.KeyText != QLatin1String("_")) {
            text += step.KeyText;
        }
        around().setSearchText(text);
    }
    if (step.Commandx.isEmpty() && step.Delayx == -1) {
        return advanceLoop(false); // nothing to do (M and L lines among others)
    }
    MacroDef &m = *macro();
    if (step.Commandx.isEmpty()) {
        m_macroTimer->setEnabled(false);
        setPause(step);
        m_macroTimer->setEnabled(true);
        m.StepFailCount = 0;
        MacroLabelGreen = true;
        AddToText(QStringLiteral("Delayset ") + QString::number(m_macroTimer->interval()) + u' ');
        SavedInterval = m_macroTimer->interval();
        return advanceLoop(false);
    }
    setLabelCaption(step);
    m_telnet.QueueCommand(0, step.Commandx);
    m_telnet.QueueCommand(0, QLatin1String(Telnet::Delay));
    m_handshake.expect(Reply::Ok);
    m.StepFailCount = 0;
    MacroLabelGreen = true;
    AddToText(QStringLiteral("Command "));
    Q_EMIT stepCommandSent(step.Commandx);
    return advanceLoop(false);
}

void MacroRunner::setPause(MacroStep &step) {
    // A pause of 0, a negative one or one beyond the longest is served as a plain step
    // interval; the step keeps that value until the next load.
    if (step.Delayx <= 0 || step.Delayx > LongestInterval) {
        step.Delayx = qint16(stepInterval());
    }
    setLabelCaption(step);
    m_macroTimer->setInterval(step.Delayx);
}

MacroRunner::Next MacroRunner::testStep(const MacroStep &step) {
    setLabelCaption(step);
    const MacroTestText parts = SplitMacroTest(step.Test);
    MacroDef &m = *macro();
    switch (KindOfMacroTest(parts)) {
    case MacroTestKind::Menu:
    case MacroTestKind::List: {
        const Data data = KindOfMacroTest(parts) == MacroTestKind::Menu ? Data::Menu : Data::List;
        if (!m_handshake.isFresh(data)) {
            m_handshake.refetch(data);
            return waitPath();
        }
        m_macroTimer->setInterval(stepInterval());
        if (!MacroTestPasses(parts, m_state)) {
            m_handshake.refetch(data);
            return failurePath();
        }
        AddToText(QLatin1String(SubjectOfMacroTest(parts, m_state).traceWord) + parts.value + u' ');
        SavedInterval = m_macroTimer->interval();
        m.StepFailCount = 0;
        MacroLabelGreen = true;
        return advanceLoop(false);
    }
    case MacroTestKind::ListSearch:
        return listSearch(parts.value);
    case MacroTestKind::Other:
        break;
    }
    return advanceLoop(false); // a test the runner does not know passes
}

MacroRunner::Next MacroRunner::listSearch(const QString &value) {
    if (!m_handshake.isFresh(Data::List)) {
        m_handshake.refetch(Data::List);
        return waitPath();
    }
    if (!value.contains(u'"')) {
        return advanceLoop(false);
    }
    const QString wanted = QString(value).remove(u'"').toLower();
    const QString dotted = QString(wanted).replace(u' ', u'.');
    const QStringList rows = around().infoListRows();
    int found = -1;
    // Rows 0 and 1 are the reply's head and the cursor position; the entries follow.
    for (qsizetype r = 2; r < rows.size(); ++r) {
        const QString row = rows[r].toLower();
        const bool matched = row.contains(wanted) || row.contains(dotted);
        if (row.contains(QLatin1String("no results"))) {
            // Nothing to find: give up on the step at once.
            AddToText(QStringLiteral("NO RESULTS "));
            macro()->StepFailCount = 20;
            m_handshake.awaitFresh(Data::List);
            return failurePath();
        }
        if (matched) {
            found = int(r);
            break;
        }
    }
    if (found < 0) {
        m_handshake.awaitFresh(Data::List);
        return failurePath();
    }
    m_macroTimer->setInterval(stepInterval());
    SavedInterval = m_macroTimer->interval();
    macro()->StepFailCount = 0;
    MacroLabelGreen = true;
    AddToText(QStringLiteral("List Selected "));
    const QString &row = rows[found];
    if (!row.isEmpty() && !m_state.SelectedListItem.isEmpty() && row.left(1) == m_state.SelectedListItem) {
        // The radio's cursor is on the row already.
        m_telnet.QueueCommand(0, QStringLiteral("OK"));
        m_handshake.expect(Reply::Ok | Reply::List);
    } else {
        around().selectInfoListRow(found);
        m_handshake.expect(Reply::List);
    }
    return advanceLoop(false);
}

int MacroRunner::backupTarget(const MacroStep &step) const {
    if (step.BackupTo.isEmpty()) {
        return -1;
    }
    qint16 target = -1;
    if (!NumericText::ValToInt16(step.BackupTo, target)) {
        return -1;
    }
    // A directive can point before the first step or past the last; such a target is none.
    return target >= 0 && target <= lastStep() ? target : -1;
}

MacroRunner::Next MacroRunner::failurePath() {
    MacroDef &m = *macro();
    m_poll.pollNow();
    MacroLabelGreen = false;
    m.StepFailCount = qint16(std::min<int>(m.StepFailCount + 1, 100));
    if (m.StepFailCount <= MaxStepFails) {
        return waitPath();
    }
    if (CurrentStep >= lastStep()) {
        return failureFinish();
    }
    const int target = backupTarget(m.Steps[size_t(CurrentStep)]);
    if (target < 0) {
        return advanceLoop(true);
    }
    // Leave whatever menu the radio is in and go back. The fail count stays, so a further
    // failure before any success backs up again at once.
    m_telnet.QueueCommand(0, QStringLiteral("EXIT"));
    m_telnet.QueueCommand(0, QLatin1String(Telnet::Delay));
    CurrentStep = target;
    AddToText(QStringLiteral("BACKUP TO ") + QString::number(CurrentStep) + CrLf +
              QStringLiteral("================================") + CrLf);
    m_handshake.expect(Reply::Ok);
    ExtraWait = 50;
    m_poll.askFor(AutomaticPoll::Query::Menu | AutomaticPoll::Query::List);
    return waitPath();
}

MacroRunner::Next MacroRunner::waitPath() {
    // Back-off: a quarter of the last good interval, growing by half on every further wait.
    if (ExtraWait == 0) {
        ExtraWait = roundHalfEven(SavedInterval / 4.0);
    }
    ExtraWait = roundHalfEven(ExtraWait * 1.5);
    if (SavedInterval + ExtraWait > LongestInterval) {
        ExtraWait = LongestInterval - SavedInterval;
    } else {
        m_macroTimer->setInterval(SavedInterval + ExtraWait);
    }
    setLabelToolTip();
    m_handshake.expect(Reply::AnyList);
    restartMacroTimer();
    AddToText(QStringLiteral("Wait ") + QString::number(m_macroTimer->interval()) + QStringLiteral(", "));
    if (ExtraWait >= 4000) {
        macro()->StepFailCount = 10; // the next failure gives up on the step
    }
    kickDisplayRefresh();
    selectStepLine(CurrentStep + 1);
    return Next::Return;
}

MacroRunner::Next MacroRunner::advanceLoop(bool bailed) {
    for (;;) {
        MacroDef &m = *macro();
        const int last = lastStep();
        if ((CurrentStep == 10 || (CurrentStep == last && CurrentStep < 10)) && m_trace.restarted()) {
            m_trace.dropBeforeRestart();
        }
        if (bailed) {
            AddToText(QStringLiteral("Bailed") + CrLf);
        } else {
            AddToText(QStringLiteral("_ok") + CrLf);
            m.StepFailCount = 0;
            ++CurrentStep;
        }
        if (CurrentStep < MacroStepList.size()) {
            selectStepLine(CurrentStep);
        }
        if (CurrentStep > last) {
            m_macroTimer->setInterval(stepInterval());
            if (!bailed) {
                closeRun(m_stopRequested ? MacroOutcome::Stopped : MacroOutcome::Finished,
                         QStringLiteral("MACRO FINISHED"));
                return finish();
            }
        }
        if (bailed) {
            FailNote = QStringLiteral(" (") + QString::number(CurrentStep) + u')';
            return failureFinish();
        }
        MacroStep &step = m.Steps[size_t(CurrentStep)];
        if (step.Delayx == -1) {
            if (step.Test.isEmpty()) {
                return Next::TickEnd; // the step runs on the next tick
            }
            m_handshake.forget(Data::Meta | Data::Volume | Data::Version);
            m_poll.dropFullRefresh();
            if (lookAhead(step)) {
                continue; // already true: done without being run
            }
            m_poll.deferFullRefresh();
            m_poll.pollNow();
            return Next::TickEnd;
        }
        // A pause is served as the wait before the step after it, so a command's
        // acknowledgement and the pause overlap; pauses in a row do not add up.
        m_macroTimer->setEnabled(false);
        setPause(step);
        m_macroTimer->setEnabled(true);
        SavedInterval = m_macroTimer->interval();
        AddToText(QStringLiteral("PreSet Delay ") + QString::number(step.Delayx) + u' ');
    }
}

bool MacroRunner::lookAhead(const MacroStep &step) {
    if (!step.Test.contains(u'=')) {
        return false;
    }
    const MacroTestText parts = SplitMacroTest(step.Test);
    const MacroTestKind kind = KindOfMacroTest(parts);
    if (kind != MacroTestKind::Menu && kind != MacroTestKind::List) {
        return false;
    }
    const Data data = kind == MacroTestKind::Menu ? Data::Menu : Data::List;
    if (!MacroTestPasses(parts, m_state)) {
        // Ask for the values now, so the step finds them fresh.
        m_handshake.askAndAwait(data);
        m_poll.pollNow();
        return false;
    }
    m_handshake.markFresh(data);
    m_macroTimer->setInterval(20);
    SavedInterval = 20;
    ExtraWait = 0;
    MacroLabelGreen = true;
    AddToText(QStringLiteral("Prefetch ") + parts.key + parts.value + u' ');
    return true;
}

MacroRunner::Next MacroRunner::finish() {
    m_trace.dropBeforeRestart();
    if (m_labelsSaved) {
        around().setDisplayLabels(SavedDisplayLabels);
        m_labelsSaved = false;
    }
    ClearNeeding();
    ExtraWait = 0;
    m_poll.askForAll();
    m_poll.pollNow();
    FailNote.clear();
    if (MacroDef *m = macro()) {
        m->RestartCount = 0;
        m->StepFailCount = 0;
    }
    around().showMacroList(false);
    CurrentMacro = -1;
    CurrentStep = -1;
    m_stopRequested = false;
    return Next::TickEnd;
}

MacroRunner::Next MacroRunner::failureFinish() {
    if (CurrentStep == lastStep()) {
        closeRun(MacroOutcome::GaveUp, QStringLiteral("MACRO FINISHED Failed Last"));
        return finish();
    }
    MacroDef &m = *macro();
    m.RestartCount = qint16(m.RestartCount + 1);
    if (m.RestartCount <= MaxRestarts) {
        AddToText(QStringLiteral("MACRO RESTARTED") + CrLf);
        m.StepFailCount = 0; // every step of the new run gets its full number of tries
    } else {
        // Abandoned: the runner ends idle, with the user's settings back, ready for a new start.
        closeRun(MacroOutcome::GaveUp, QStringLiteral("MACRO FINISHED Fail overload"));
        finish();
    }
    CurrentStep = -1;
    around().showMacroList(true);
    ClearFreshData();
    m_poll.deferFullRefresh();
    m_poll.pollIn(5);
    return Next::TickEnd;
}

void MacroRunner::closeRun(MacroOutcome outcome, const QString &line) {
    m_outcome = outcome;
    m_outcomeLine = line;
    AddToText(line + CrLf);
}

void MacroRunner::tickEnd() {
    if (CurrentMacro == -1) {
        endRun();
        return;
    }
    setLabelToolTip();
    kickDisplayRefresh();
    ExtraWait = 0;
    restartMacroTimer();
}

void MacroRunner::endRun() {
    m_waitTimer->setEnabled(false);
    // The waiting animation had taken the panel's current-menu picture.
    if (const MenuTableEntry *entry = MenuEntryAt(m_skin, NumericText::Int16Of(m_state.SelectedMenuItem))) {
        around().loadMenuPicture(entry->Picture);
        around().setCurrentMenuLabel(entry->Name);
    }
    MacroLabelCaption.clear();
    MacroLabelGreen = false;
    ExtraWait = 0;
    ClearNeeding();
    m_macroTimer->setEnabled(false); // idle until the next start
}

// ---------------------------------------------------------------------------------------------
// Helpers

MacroSurroundings &MacroRunner::around() const {
    if (m_around == nullptr) {
        qFatal("The macro runner has nobody to ask: call MacroRunner::setSurroundings()");
    }
    return *m_around;
}

void MacroRunner::restartMacroTimer() {
    m_macroTimer->setEnabled(false);
    if (m_macroTimer->interval() <= 0) {
        m_macroTimer->setInterval(stepInterval());
    }
    m_macroTimer->setEnabled(true);
}

void MacroRunner::kickDisplayRefresh() {
    m_poll.kick();
}

void MacroRunner::selectStepLine(int line) {
    MacroStepListIndex = line >= 0 && line < MacroStepList.size() ? line : -1;
}

void MacroRunner::setLabelCaption(const MacroStep &step) {
    QString what;
    if (!step.Test.isEmpty()) {
        what = step.Test;
    } else if (!step.Commandx.isEmpty()) {
        what = step.Commandx;
    } else {
        what = QStringLiteral("D=") + QString::number(step.Delayx);
    }
    MacroLabelCaption = QString::number(lastStep() - CurrentStep) + u'-' + what;
}

void MacroRunner::setLabelToolTip() {
    const MacroDef *m = macro();
    if (!m) {
        return;
    }
    MacroLabelToolTip = m->Name + QStringLiteral(", Step: ") + QString::number(CurrentStep) + QStringLiteral(", Fc: ") +
                        QString::number(m->RestartCount) + FailNote;
}

// ---------------------------------------------------------------------------------------------
// The macro window

void MacroRunner::AddToText(const QString &text) {
    m_trace.add(text);
}

void MacroRunner::AddToMacroText(const QString &text) {
    if (m_macroTimer->isEnabled() && CurrentMacro != -1 && IncludeTheRx) {
        AddToText(text);
    }
}

void MacroRunner::MakeMacroStuff(int macroIndex) {
    if (macroIndex < 0 || size_t(macroIndex) >= m_table.Macros.size()) {
        return;
    }
    const MacroDef &m = m_table.Macros[size_t(macroIndex)];
    const auto number = [](int value) { return QString::number(value); };
    MacroStepList.clear();
    MacroStepList.reserve(qsizetype(m.Steps.size()) + 1);
    MacroStepList.append(m.Name + QStringLiteral(" Macro"));
    for (size_t k = 0; k < m.Steps.size(); ++k) {
        const MacroStep &s = m.Steps[k];
        const QString &label = s.IncludedFrom.isEmpty() ? m.Name : s.IncludedFrom;
        QString line = label.isEmpty() ? QStringLiteral("Step ") : QStringLiteral("[ ") + label + QStringLiteral(" ] ");
        line += number(int(k)) + QStringLiteral(": = ") + s.Commandx + u',' + number(s.Delayx) + u',' +
                number(s.ListItem) + u',' + s.ListSearch + u',' + number(s.MenuItem) + u',' + s.MenuSearch + u',' +
                s.Test;
        MacroStepList.append(line);
    }
    MacroStepListIndex = -1;
    m_listedName = m.Name;
    if (!m_trace.restarted()) {
        AddToText(QString());
    }
    AddToText(QStringLiteral("MacroName: = ") + m.Name + CrLf);
    Q_EMIT changed();
}

void MacroRunner::ClearFreshData() {
    m_handshake.forgetAll();
}

void MacroRunner::ClearNeeding() {
    m_handshake.dropAwaits();
}

void MacroRunner::MacroStepList_DblClick(int line) {
    if (line < 0 || line >= MacroStepList.size()) {
        return;
    }
    if (line != 0) {
        selectStepLine(0);
        Q_EMIT changed();
        return;
    }
    IncludeTheRx = true;
    // The macro selected in the information panel's list; without a selection there, the one
    // this window lists.
    const MacroList &list = m_table.List;
    int index = -1;
    if (list.Selected >= 0 && size_t(list.Selected) < list.Entries.size()) {
        index = list.Entries[size_t(list.Selected)].MacroIndex;
    } else {
        const auto found = std::find_if(m_table.Macros.begin(), m_table.Macros.end(),
                                        [this](const MacroDef &m) { return m.Name == m_listedName; });
        if (found != m_table.Macros.end()) {
            index = int(found - m_table.Macros.begin());
        }
    }
    Start(index);
    Q_EMIT changed();
}

void MacroRunner::MacroWaitTimer_Timer() {
    qint16 &frame = WaitFrame();
    if (frame == -2) {
        frame = 0;
        return;
    }
    if (!m_macroTimer->isEnabled()) {
        frame = -2;
        return;
    }
    if (frame > 8 || frame < 0) {
        frame = 1;
    }
    around().loadMenuPicture(QStringLiteral("320x240/other/loading_0") + QString::number(9 - frame));
    ++frame;
    if (frame > 8) {
        frame = 1;
    }
}
