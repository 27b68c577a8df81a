#pragma once

struct RadioState;
struct Timeouts;

// "Auto Refresh Labels" switched on polls at once and lets the countdown run from there;
// switched off it reloads the countdown (which then stands still until switched on again).
void UpdateDisplayLabelsClicked(bool ticked, RadioState &state, const Timeouts &timeouts);
