#pragma once

#include "platform/TcpSocket.h"

#include <QString>
#include <QStringList>

// A socket for unit tests of its callers: it records what they do and lets the test play the
// peer's part. Nothing happens by itself; each event is raised by the test.
class FakeTcpSocket final : public TcpSocket {
    Q_OBJECT
public:
    using TcpSocket::TcpSocket;

    qint16 State() const override { return state; }
    void setLocalPort(quint16 port) override { localPort = port; }
    void Connect(const QString &host, quint16 port) override;
    void Close() override;
    void SendData(const QString &text) override;
    QString GetData() override;
    QString RemoteHostIP() const override { return remoteHostIP; }
    bool PeerReset() const override { return reset; }
    void setReadPaused(bool paused) override { readPaused = paused; }

    // The peer's side.
    void acceptConnection(const QString &ip = QStringLiteral("127.0.0.1"));
    void refuseConnection();
    void completeSends();
    void receive(const QString &text);
    void peerClose();
    void peerReset(); // a close with what was sent left unread
    void fail(int number = 10061, const QString &description = QStringLiteral("Connection refused"));

    qint16 state = sckClosed;
    quint16 localPort = 0xFFFF;
    QString host;
    quint16 port = 0;
    QString remoteHostIP;
    bool reset = false;
    int connectCalls = 0;
    int closeCalls = 0;
    QStringList sent;     // every SendData made while connected
    int pendingSends = 0; // SendData calls not yet completed by completeSends()
    bool completeSendsAtOnce = false;
    bool readPaused = false;
    QString incoming;
};
