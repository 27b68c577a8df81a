#include "app/Program.h"
#include "macros/MacroForm.h"
#include "macros/MacroRunner.h"
#include "main_window/ConfigForm.h"
#include "radio_link/RadioLink.h"
#include "settings/WidgetPlacement.h"

#include <QCheckBox>
#include <QScreen>

#include <algorithm>

// The macro runner and its window: what the runner asks of the other windows, the radio
// traffic for its trace, and the window's placement.
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

    m_macroForm = std::make_unique<MacroForm>(runner);
    m_macroPlacement = std::make_unique<WidgetPlacement>(*m_macroForm, QStringLiteral("MacroForm"));
    // In the lower left corner of the screen at first, clear of the main window's connection
    // row and beside the information panel's lists; a saved placement wins.
    if (const QScreen *screen = m_form->screen()) {
        const QRect area = screen->availableGeometry();
        const int frame = m_form->frameGeometry().height() - m_form->height(); // as the main window's
        m_macroForm->move(area.left(), std::max(area.top(), area.bottom() - m_macroForm->height() - frame));
    }
    m_ini.RestoreWindowPlacement(*m_macroPlacement);
    connect(m_macroForm.get(), &MacroForm::unloading, this,
            [this] { m_ini.SaveWindowPlacement(*m_macroPlacement, false); });
    // A run is watched in the macro window.
    connect(&runner, &MacroRunner::changed, m_macroForm.get(), [this] {
        if (m_macroRunner->running() && !m_macroForm->isVisible()) {
            m_macroForm->show();
        }
    });
}

void Program::unloadMacros() {
    if (!m_macroForm) {
        return;
    }
    // A window never shown has no placement worth keeping; the next start places it anew.
    if (m_macroForm->everShown()) {
        m_ini.SaveWindowPlacement(*m_macroPlacement, false);
    }
    // Nothing of a run may tick once the link is gone.
    m_macroPlacement.reset();
    m_macroForm.reset();
    m_macroRunner.reset();
}
