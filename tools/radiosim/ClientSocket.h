#pragma once

#include <QObject>
#include <QTcpSocket>

// Both kinds of client (command connections and console clients) own their socket, read it in
// bounded pieces and write without delay.
inline void adoptSocket(QObject *owner, QTcpSocket *socket) {
    constexpr qint64 SocketReadBuffer = 64 * 1024;
    socket->setParent(owner);
    socket->setReadBufferSize(SocketReadBuffer);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}
