#pragma once

#include "session/RadioStatus.h"

class RadioView;
struct RadioState;
struct SkinTables;

// The status as the session decodes it from the device state and the lists the decoder filled,
// with the skin's names. coverShown: the screen shows the cover picture (ScreenShowsCover);
// programFolder is where that picture is.
RadioStatus DecodeStatus(const RadioState &state, const RadioView &view, const SkinTables &skin, bool coverShown,
                         const QString &programFolder);

// Whether the radio answers, as the link's view says: offline once it has been silent too long,
// answering once it has answered, not yet answered before that.
LinkHealth LinkHealthOf(const RadioView &view);

// Whether the skin's definition of the screen named pictureName holds the "coverart" overlay
// (the same look-up the display makes).
bool ScreenShowsCover(const SkinTables &skin, const QString &pictureName);
