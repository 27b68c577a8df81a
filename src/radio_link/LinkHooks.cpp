#include "radio_link/LinkHooks.h"

#include <QtGlobal>

namespace {

class NoMacroActivity final : public MacroActivity {
public:
    bool macroRunning() const override { return false; }
    bool macroWaitTimerRunning() const override { return false; }
};

} // namespace

const MacroActivity &NoMacroRuns() {
    static const NoMacroActivity none;
    return none;
}

const MacroActivity &LinkHooks::macros() const {
    if (m_macros == nullptr) {
        qFatal("The radio link asked about macro runs before anything answers them: "
               "call LinkHooks::answerMacroQuestions()");
    }
    return *m_macros;
}
