#include "app/Program.h"
#include "macros/MacroRunner.h"
#include "macros/MacroWindow.h"
#include "main_window/MainWindow.h"
#include "radio_link/RadioLink.h"

// The macro runner and its window: what the runner asks of the other windows and the radio
// traffic for its trace.
void Program::wireMacros() {
    RadioLink &link = *m_link;
    m_macroRunner =
        std::make_unique<MacroRunner>(m_platform, link.telnet, link.poll, m_state, m_timeouts, m_macros, m_skin);
    MacroRunner &runner = *m_macroRunner;
    runner.shareWaitFrame(m_state.WaitFrame); // the display window's animation plays the same frames

    // The link asks whether a run is going on; the runner may be gone before the link is.
    link.hooks.answerMacroQuestions(runner);
    connect(&runner, &QObject::destroyed, &link.view, [&link] { link.hooks.answerMacroQuestions(NoMacroRuns()); });
    // Every command sent and every reply received, for the trace.
    connect(&link.view, &LinkView::macroTrace, &runner, &MacroRunner::AddToMacroText);

    // What the runner asks of the windows is answered once they all exist (wireBetweenWindows).

    m_macroWindow = std::make_unique<MacroWindow>(runner, m_ini, m_main->form());
}
