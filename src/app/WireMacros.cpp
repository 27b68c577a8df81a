#include "app/Program.h"
#include "macros/MacroRunner.h"
#include "macros/MacroWindow.h"
#include "main_window/MainWindow.h"
#include "radio_link/RadioLink.h"

// The macro runner and its window: what the runner asks of the other windows and the radio
// traffic for its trace.
void Program::wireMacros() {
    RadioLink &link = *m_link;
    m_macroRunner = std::make_unique<MacroRunner>(m_platform, link.telnet, m_state, m_timeouts, m_macros, m_skin);
    MacroRunner &runner = *m_macroRunner;
    runner.shareWaitFrame(m_state.WaitFrame); // the display window's animation plays the same frames

    // The link asks whether a run is going on; the runner may be gone before the link is.
    link.hooks.macroRunning = [this] { return m_macroRunner && m_macroRunner->running(); };
    link.hooks.macroWaitTimerRunning = [this] { return m_macroRunner && m_macroRunner->MacroWaitTimer().isEnabled(); };
    // Every command sent and every reply received, for the trace.
    connect(&link.view, &LinkView::macroTrace, &runner, &MacroRunner::AddToMacroText);

    MacroHooks &hooks = runner.hooks;
    ConfigForm &form = m_main->form();
    hooks.displayLabels = [&form] { return form.autoRefresh(); };
    hooks.setDisplayLabels = [&form](bool on) { form.setAutoRefresh(on); };
    hooks.clearTerminal = [&link] {
        link.view.clearTerminal();
        link.view.flush();
    };
    hooks.infoListRows = [&link] { return link.view.InfoList; };
    hooks.loadMenuPicture = [&link](const QString &picture) { Q_EMIT link.view.loadPictureRequested(picture); };
    hooks.setCurrentMenuLabel = [&link](const QString &name) {
        link.view.CurrentMenuLabel = name;
        link.view.touch();
        link.view.flush();
    };

    m_macroWindow = std::make_unique<MacroWindow>(runner, m_ini, m_main->form());
}
