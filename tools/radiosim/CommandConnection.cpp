#include "CommandConnection.h"

#include "ClientSocket.h"
#include "RadioSimulator.h"

#include <QTcpSocket>

#include <algorithm>

namespace {

// Replies are handed to the socket in pieces of this size so that a big reply to a client
// that does not read never sits in memory whole.
constexpr qint64 WriteChunk = 64 * 1024;
constexpr int SplitPieceBytes = 3;
constexpr int FillerLineLength = 80;

// Filler for big replies: lines of dots, each ended by CR LF, the last one too.
char fillerByte(qint64 index, qint64 total) {
    if (index == total - 1) {
        return '\n';
    }
    if (index == total - 2) {
        return '\r';
    }
    const qint64 inLine = index % FillerLineLength;
    if (inLine == FillerLineLength - 2) {
        return '\r';
    }
    return inLine == FillerLineLength - 1 ? '\n' : '.';
}

} // namespace

CommandConnection::CommandConnection(RadioSimulator &simulator, QTcpSocket *socket, int number)
    : QObject(&simulator)
    , m_simulator(simulator)
    , m_socket(socket)
    , m_number(number) {
    adoptSocket(this, m_socket);
    m_quiet.setSingleShot(true);
    m_idle.setSingleShot(true);
    m_pause.setSingleShot(true);
    m_delay.setSingleShot(true);
    connect(&m_quiet, &QTimer::timeout, this, [this] { takeCommand(); });
    connect(&m_idle, &QTimer::timeout, this, [this] { m_simulator.forgetConnection(m_number); });
    connect(&m_pause, &QTimer::timeout, this, [this] { pump(); });
    connect(&m_delay, &QTimer::timeout, this, [this] { startWriting(); });
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { readInput(); });
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_phase == Phase::Writing || m_phase == Phase::Closing) {
            m_idle.start(m_simulator.m_idleTimeoutMs);
        }
        pump();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { m_simulator.forgetConnection(m_number); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A client that shuts its sending side after the command still waits for the reply.
        if (error == QAbstractSocket::RemoteHostClosedError && m_phase == Phase::Reading && !m_input.isEmpty()) {
            takeCommand();
            return;
        }
        if (error != QAbstractSocket::RemoteHostClosedError) {
            m_simulator.forgetConnection(m_number);
        }
    });
}

void CommandConnection::begin() {
    m_idle.start(m_simulator.m_idleTimeoutMs);
    if (m_socket->bytesAvailable() > 0) {
        readInput();
    }
}

void CommandConnection::shutDown() {
    m_phase = Phase::Done;
    m_quiet.stop();
    m_idle.stop();
    m_pause.stop();
    m_delay.stop();
    m_socket->disconnect(this);
    m_socket->abort();
}

void CommandConnection::reply(Shape shape) {
    m_head = std::move(shape.head);
    m_headWritten = 0;
    m_lines = std::move(shape.lines);
    m_lineCount = m_lines.isEmpty() ? 0 : shape.lineCount;
    m_linesWritten = 0;
    m_lineOffset = 0;
    qint64 lineBytes = 0;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const qint64 uses = m_lineCount / m_lines.size() + (i < m_lineCount % m_lines.size() ? 1 : 0);
        lineBytes += uses * m_lines[i].size();
    }
    m_padTotal = std::max<qint64>(shape.padTo - m_head.size() - lineBytes, 0);
    m_padWritten = 0;
    m_split = shape.split;
    m_trickleMs = shape.trickleMs;
    m_noClose = shape.noClose;
    if (shape.delayMs > 0) {
        // A slow radio is still a live one: the idle limit does not cut the delay short.
        m_idle.stop();
        m_delay.start(shape.delayMs);
    } else {
        startWriting();
    }
}

void CommandConnection::readInput() {
    if (m_phase == Phase::Reading) {
        const qint64 room = RadioSimulator::MaxCommandBytes - m_input.size();
        const QByteArray bytes = m_socket->read(room);
        if (!bytes.isEmpty()) {
            m_input += bytes;
            m_idle.start(m_simulator.m_idleTimeoutMs);
            if (m_input.size() >= RadioSimulator::MaxCommandBytes) {
                takeCommand();
            } else {
                m_quiet.start(RadioSimulator::QuietGapMs);
            }
        }
    }
    if (m_phase != Phase::Reading) {
        readExtra();
    }
}

void CommandConnection::readExtra() {
    if (m_phase == Phase::Done || m_socket->bytesAvailable() <= 0) {
        return;
    }
    const qint64 room = RadioSimulator::MaxCommandBytes - m_extraTaken;
    const QByteArray bytes = room > 0 ? m_socket->read(room) : QByteArray();
    m_socket->skip(m_socket->bytesAvailable());
    if (!bytes.isEmpty()) {
        m_extraTaken += bytes.size();
        m_simulator.extraTaken(this, bytes);
    }
}

void CommandConnection::takeCommand() {
    if (m_phase != Phase::Reading) {
        return;
    }
    m_phase = Phase::Answering;
    m_quiet.stop();
    m_simulator.commandTaken(this, m_input);
}

void CommandConnection::startWriting() {
    if (m_phase != Phase::Answering) {
        return;
    }
    m_phase = Phase::Writing;
    m_idle.start(m_simulator.m_idleTimeoutMs);
    pump();
}

bool CommandConnection::moreToWrite() const {
    return m_headWritten < m_head.size() || m_linesWritten < m_lineCount || m_padWritten < m_padTotal;
}

QByteArray CommandConnection::take(qint64 most) {
    QByteArray out;
    while (out.size() < most && moreToWrite()) {
        const qint64 room = most - out.size();
        if (m_headWritten < m_head.size()) {
            const qsizetype n = static_cast<qsizetype>(std::min<qint64>(room, m_head.size() - m_headWritten));
            out += m_head.mid(m_headWritten, n);
            m_headWritten += n;
        } else if (m_linesWritten < m_lineCount) {
            const QByteArray &line = m_lines[static_cast<qsizetype>(m_linesWritten % m_lines.size())];
            const qsizetype n = static_cast<qsizetype>(std::min<qint64>(room, line.size() - m_lineOffset));
            out += line.mid(m_lineOffset, n);
            m_lineOffset += n;
            if (m_lineOffset == line.size()) {
                m_lineOffset = 0;
                ++m_linesWritten;
            }
        } else {
            const qint64 n = std::min(room, m_padTotal - m_padWritten);
            const qsizetype at = out.size();
            out.resize(at + static_cast<qsizetype>(n));
            for (qint64 i = 0; i < n; ++i) {
                out[at + static_cast<qsizetype>(i)] = fillerByte(m_padWritten + i, m_padTotal);
            }
            m_padWritten += n;
        }
    }
    return out;
}

void CommandConnection::pump() {
    if (m_phase != Phase::Writing) {
        return;
    }
    while (m_socket->bytesToWrite() < WriteChunk) {
        if (!moreToWrite()) {
            finishReply();
            return;
        }
        const bool splitting = m_split && m_headWritten < m_head.size();
        if (m_trickleMs > 0 || splitting) {
            if (m_pause.isActive()) {
                return;
            }
            m_socket->write(take(m_trickleMs > 0 ? 1 : SplitPieceBytes));
            m_socket->flush();
            // A trickle goes on to the end; a split reply pauses only between pieces of the
            // reply itself and before what follows it.
            if (moreToWrite() && (m_trickleMs > 0 || m_split)) {
                m_pause.start(m_trickleMs > 0 ? m_trickleMs : m_simulator.m_splitPauseMs);
                return;
            }
            continue;
        }
        m_socket->write(take(WriteChunk));
    }
}

void CommandConnection::finishReply() {
    if (m_noClose) {
        m_phase = Phase::KeptOpen;
        m_idle.start(m_simulator.m_idleTimeoutMs);
        return;
    }
    m_phase = Phase::Closing;
    // Closes once everything queued has gone out; the disconnected signal ends the connection.
    m_socket->disconnectFromHost();
}
