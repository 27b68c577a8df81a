#pragma once

#include "session/RadioStatus.h"

class LinkView;
struct RadioState;
struct SkinTables;

// The status as the session decodes it from the device state and the lists the decoder filled,
// with the skin's names; programFolder is where the cover picture would be.
RadioStatus DecodeStatus(const RadioState &state, const LinkView &view, const SkinTables &skin,
                         const QString &programFolder);
