#pragma once

#include "app/Program.h"
#include "display/DisplayControl.h"
#include "display/DisplayForm.h"
#include "settings/WidgetPlacement.h"

#include <memory>

// What the program keeps of the display window: its logic, the window and its placement.
struct Program::DisplayParts {
    std::unique_ptr<DisplayControl> control;
    std::unique_ptr<DisplayForm> form;
    std::unique_ptr<WidgetPlacement> placement;
    // A window never shown has no placement worth keeping: the next start would put it in the
    // corner of the screen instead of where the window manager chooses.
    bool shown = false;
};
