#include "radio_link/RadioChannel.h"

#include "platform/ConnectAttempt.h"

void RadioChannel::openFinished(bool connected) {
    // Taken first: a callback may start the next attempt and wait for it.
    std::vector<std::function<void(bool)>> callbacks;
    callbacks.swap(m_openCallbacks);
    for (auto &callback : callbacks) {
        callback(connected);
    }
}

void RadioChannel::armDeliveryDeadline(int ms) {
    Timer &timer = *m_deliveryTimer;
    timer.setEnabled(false);
    timer.setInterval(ms);
    timer.setEnabled(true);
}

bool RadioChannel::opening() const {
    return m_attempt && m_attempt->isActive();
}
