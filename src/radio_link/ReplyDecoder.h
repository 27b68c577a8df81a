#pragma once

#include "radio_link/ReplyApplier.h"
#include "radio_link/ScreenRules.h"

// Turns the radio's replies into the device state and into what the information panel and the
// display window show, and decides what the automatic poll asks next. Three pieces: the parser
// reads a reply line into a typed value (ReplyParser), the applier applies the values to the
// state and the lists (ReplyApplier), and the screen rules choose the picture and the next
// poll from the state (ScreenRules).
class ReplyDecoder {
public:
    ReplyDecoder(Platform &platform, Telnet &telnet, AutomaticPoll &poll, Timer &resetTimer, RadioState &state,
                 const Timeouts &timeouts, const SkinTables &skin, const LinkSettings &settings, RadioView &view,
                 const LinkHooks &hooks);

    // Decodes LastReply of channel 0 then channel 1 (emptied when recognised).
    void DecodeReturn() { m_applier.DecodeReturn(); }
    // What follows from the state after an acknowledgement, as after every decoded line.
    void chooseScreen() { m_rules.chooseScreen(); }

private:
    ScreenRules m_rules;
    ReplyApplier m_applier;
};
