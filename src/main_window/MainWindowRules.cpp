#include "main_window/MainWindowRules.h"

#include "radio_link/RadioState.h"
#include "settings/Timeouts.h"

void UpdateDisplayLabelsClicked(bool ticked, RadioState &state, const Timeouts &timeouts) {
    if (ticked) {
        state.PollCountdown = 0;
    } else {
        state.PollCountdown = state.RadioStandby ? timeouts.PollWhenOff : timeouts.PollWhenOn;
    }
}
