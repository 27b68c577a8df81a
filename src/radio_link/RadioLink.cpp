#include "radio_link/RadioLink.h"

RadioLink::RadioLink(Platform &platform, RadioState &state, const Timeouts &timeouts, const SkinTables &skin)
    : telnet(platform, state, timeouts)
    , poll(platform, telnet, state, timeouts, settings)
    , connection(platform, telnet, poll, state, timeouts, settings, view, hooks)
    , decoder(platform, telnet, poll, connection.ResetTimer(), state, timeouts, skin, settings, view, hooks) {
    connection.setDecoder(&decoder);
    telnet.setView(&view);
    QObject::connect(&poll, &AutomaticPoll::refreshDisplays, &view, &RadioView::refreshDisplaysRequested);
}

bool RadioLink::pressKey(const QString &command) {
    // The key and its gap; the queries not sent yet are dropped, and a menu poll follows at
    // once with the full refresh put off.
    if (!telnet.QueueCommand(0, command)) {
        return false;
    }
    telnet.QueueCommand(0, QLatin1String(Telnet::Delay));
    telnet.ClearChannel(1);
    poll.followKey();
    return true;
}

void RadioLink::askAtStart() {
    telnet.QueueCommand(1, QStringLiteral("VERSION"));
    telnet.QueueCommand(1, QStringLiteral("STATE"));
    telnet.QueueCommand(1, QStringLiteral("MINFO"));
    poll.askForAll();
}

void RadioLink::start() {
    connection.start();
    poll.start();
}

bool RadioLink::idle() const {
    // The connection's queries are not const; none of them changes anything.
    RadioConnection &link = const_cast<RadioConnection &>(connection);
    for (int c = 0; c < 2; ++c) {
        const TelnetChannel &channel = telnet.Channels[size_t(c)];
        if (link.deliveryOutstanding(c) || link.isOpening(c) || !channel.Completed.isEmpty() ||
            !channel.Received.isEmpty()) {
            return false;
        }
    }
    return !telnet.hasLive(0) && telnet.feeding() == 0 && !telnet.reportPending() && !link.tickWaiting() &&
           !link.TimerCheckTelnet().isEnabled() && !const_cast<Telnet &>(telnet).CheckOutBuffer().isEnabled();
}
