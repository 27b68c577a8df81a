#include "radio_link/ReplyDecoder.h"

ReplyDecoder::ReplyDecoder(Platform &platform, Telnet &telnet, AutomaticPoll &poll, Timer &resetTimer,
                           RadioState &state, const Timeouts &timeouts, const SkinTables &skin,
                           const LinkSettings &settings, RadioView &view, const LinkHooks &hooks)
    : m_rules(platform, telnet, poll, resetTimer, state, timeouts, skin, settings, view, hooks)
    , m_applier(platform, telnet, resetTimer, state, view, m_rules) {}
