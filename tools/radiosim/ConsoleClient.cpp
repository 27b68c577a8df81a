#include "ConsoleClient.h"

#include "ClientSocket.h"
#include "RadioSimulator.h"

#include <QTcpSocket>

namespace {

constexpr qint64 ConsoleBacklogLimit = 256 * 1024;
constexpr int ConsolePacketPauseMs = 15;

} // namespace

ConsoleClient::ConsoleClient(RadioSimulator &simulator, QTcpSocket *socket, int number)
    : QObject(&simulator)
    , m_simulator(simulator)
    , m_socket(socket)
    , m_number(number) {
    adoptSocket(this, m_socket);
    m_pace.setSingleShot(true);
    connect(&m_pace, &QTimer::timeout, this, [this] { writeNext(); });
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { readInput(); });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { m_simulator.forgetConsoleClient(m_number); });
    connect(m_socket, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError) { m_simulator.forgetConsoleClient(m_number); });
}

void ConsoleClient::shutDown() {
    m_pace.stop();
    m_queue.clear();
    m_socket->disconnect(this);
    m_socket->abort();
}

bool ConsoleClient::enqueue(QByteArray piece) {
    m_queued += piece.size();
    m_queue.push_back(std::move(piece));
    if (m_queued + m_socket->bytesToWrite() > ConsoleBacklogLimit) {
        return false;
    }
    if (!m_pace.isActive()) {
        writeNext();
    }
    return true;
}

void ConsoleClient::writeNext() {
    if (m_queue.empty()) {
        return;
    }
    QByteArray piece = std::move(m_queue.front());
    m_queue.pop_front();
    m_queued -= piece.size();
    m_socket->write(piece);
    m_socket->flush();
    // The next piece waits out the pause even when it is queued only after this one went.
    m_pace.start(ConsolePacketPauseMs);
}

void ConsoleClient::readInput() {
    while (m_socket->bytesAvailable() > 0) {
        const QByteArray bytes = m_socket->read(RadioSimulator::MaxCommandBytes);
        if (bytes.isEmpty()) {
            break;
        }
        m_simulator.consoleInput(this, bytes);
        if (!m_simulator.m_consoleClients.count(m_number)) {
            return;
        }
        QByteArray echo = bytes;
        echo.replace('\r', QByteArray()).replace('\n', QByteArray());
        if (!echo.isEmpty() && !enqueue(echo + "\r\n")) {
            m_simulator.forgetConsoleClient(m_number);
            return;
        }
    }
}
