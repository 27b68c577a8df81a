#pragma once

#include "support/FakePlatform.h"

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>

// Real sockets on loopback, fake time: what the hosts answer goes over the wire, and a time-out
// happens only when the test moves the clock.
class LoopbackPlatform final : public Platform {
public:
    Clock &clock() override { return fakeClock; }
    const WallClock &wallClock() override { return fakeWallClock; }
    std::unique_ptr<Timer> createTimer() override { return std::make_unique<FakeTimer>(fakeClock); }
    std::unique_ptr<TcpSocket> createSocket() override { return std::make_unique<QtTcpSocket>(); }
    SoundPlayer &sound() override { return fakeSound; }

    FakeClock fakeClock;
    FixedWallClock fakeWallClock;
    FakeSoundPlayer fakeSound;
};

// A host that takes connections and keeps what it receives, and either never answers or
// answers every connection with a fixed text and closes.
class TextServer final : public QTcpServer {
public:
    explicit TextServer(QByteArray answer = {})
        : m_answer(std::move(answer)) {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    received += socket->readAll();
                    if (!m_answer.isEmpty()) {
                        socket->write(m_answer);
                        socket->disconnectFromHost();
                    }
                });
            }
        });
    }
    QByteArray received;

private:
    QByteArray m_answer;
};
