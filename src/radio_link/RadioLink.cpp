#include "radio_link/RadioLink.h"

RadioLink::RadioLink(Platform &platform, RadioState &state, const Timeouts &timeouts, const SkinTables &skin)
    : telnet(platform, state, timeouts)
    , poll(platform, telnet, state, timeouts, settings)
    , connection(platform, telnet, poll, state, timeouts, settings, view, hooks)
    , decoder(platform, telnet, poll, connection.ResetTimer(), state, timeouts, skin, settings, view, hooks) {
    connection.setDecoder(&decoder);
    telnet.setView(&view);
    QObject::connect(&poll, &AutomaticPoll::refreshDisplays, &view, &LinkView::refreshDisplaysRequested);
}

void RadioLink::start() {
    connection.start();
    poll.start();
}
