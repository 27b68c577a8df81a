#pragma once

#include "platform/ConnectAttempt.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// One of the link's two channels to the radio (0 carries commands, 1 queries): its socket, the
// attempt that opens it and whoever waits for that attempt, the command under way on it with
// the timer that ends the wait for its reply, and the command put back after a reset.
// RadioConnection owns two and keeps the rules between them (one tick, one reset timer).
class RadioChannel {
public:
    // A command handed to a connection, from the SendData until that connection ends. A key
    // press is not idempotent, so once its bytes are on the wire (the send completed, or the
    // radio already answered) the command leaves its queue whether or not a reply follows;
    // only a command whose send never completed stays at the head to be tried again.
    struct Delivery {
        bool active = false;
        bool onWire = false;
        bool answered = false;
        int slot = 0;
        QString command;
        quint32 generation = 0;
        int resends = 0;
        qint64 sentAtMs = 0;   // when the send began, on the platform clock
        qint64 deadlineMs = 0; // when the wait for the whole reply ends
        qint64 expiresMs = 0;  // when the command, put back after a reset, is too late to go
    };
    // The command put back at the head of the channel after a reset, and how often it has been.
    struct Resent {
        QString command;
        quint32 generation = 0;
        int times = 0;
    };

    TcpSocket &port() { return *m_port; }
    ConnectAttempt &attempt() { return *m_attempt; }
    // A connect attempt of the channel is under way.
    bool opening() const;
    Timer &deliveryTimer() { return *m_deliveryTimer; }

    // The socket, its connect attempt and the delivery timer. Made one after the other by the
    // connection, which hooks each up before the next exists (the attempt listens to the socket
    // after the connection does).
    void setPort(std::unique_ptr<TcpSocket> port) { m_port = std::move(port); }
    void setAttempt(std::unique_ptr<ConnectAttempt> attempt) { m_attempt = std::move(attempt); }
    void setDeliveryTimer(std::unique_ptr<Timer> timer) { m_deliveryTimer = std::move(timer); }

    // Someone waits for the channel's connect attempt to end.
    void awaitOpen(std::function<void(bool)> done) { m_openCallbacks.push_back(std::move(done)); }
    // The attempt ended: everyone waiting hears whether the socket is connected.
    void openFinished(bool connected);

    // The times the command went again after a reset, when it is the one put back.
    int resendsOf(const QString &command, quint32 generation) const {
        return m_resent.command == command && m_resent.generation == generation ? m_resent.times : 0;
    }
    void setResent(Resent resent) { m_resent = std::move(resent); }

    // The wait for the delivery's reply (or the close after it) ends in ms.
    void armDeliveryDeadline(int ms);

    Delivery delivery;
    int lastError = 0;      // error number of the socket's last Error event
    QString lastErrorText;  // and the system's words for it
    bool errorSeen = false; // an Error event came since the last connection attempt began

private:
    std::unique_ptr<TcpSocket> m_port;
    std::unique_ptr<ConnectAttempt> m_attempt;
    std::vector<std::function<void(bool)>> m_openCallbacks;
    // The end of the current delivery's wait for a reply or for the close. The connection's
    // shared ResetTimer cannot serve: a reply decoded on one channel switches it off while the
    // other channel may still be waiting.
    std::unique_ptr<Timer> m_deliveryTimer;
    Resent m_resent;
};
