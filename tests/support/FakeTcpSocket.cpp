#include "support/FakeTcpSocket.h"

void FakeTcpSocket::Connect(const QString &h, quint16 p) {
    ++connectCalls;
    host = h;
    port = p;
    incoming.clear();
    pendingSends = 0;
    reset = false;
    state = sckConnecting;
}

void FakeTcpSocket::Close() {
    ++closeCalls;
    state = sckClosed;
    pendingSends = 0;
}

void FakeTcpSocket::SendData(const QString &text) {
    if (state != sckConnected) {
        return;
    }
    sent << text;
    ++pendingSends;
    if (completeSendsAtOnce) {
        completeSends();
    }
}

QString FakeTcpSocket::GetData() {
    const QString text = incoming;
    incoming.clear();
    return text;
}

void FakeTcpSocket::acceptConnection(const QString &ip) {
    remoteHostIP = ip;
    state = sckConnected;
    Q_EMIT ConnectEvent();
}

void FakeTcpSocket::refuseConnection() {
    state = sckError;
    Q_EMIT ErrorEvent(10061, QStringLiteral("Connection refused"));
}

void FakeTcpSocket::completeSends() {
    while (pendingSends > 0) {
        --pendingSends;
        Q_EMIT SendProgress(1, 0);
        Q_EMIT SendComplete();
    }
}

void FakeTcpSocket::receive(const QString &text) {
    incoming += text;
    Q_EMIT DataArrival(text.size());
}

void FakeTcpSocket::peerReset() {
    reset = true;
    peerClose();
}

void FakeTcpSocket::peerClose() {
    state = sckClosing;
    Q_EMIT CloseEvent();
}

void FakeTcpSocket::fail(int number, const QString &description) {
    state = sckError;
    Q_EMIT ErrorEvent(number, description);
}
