#include "RadioSimulator.h"

#include <QRandomGenerator>
#include <QTcpSocket>

#include <deque>

namespace {

constexpr int MaxRecordedCommands = 10000;
constexpr int MaxConsoleHistory = 1000;
constexpr qint64 MaxBigReply = qint64(1) << 30;
// Replies are handed to the socket in pieces of this size so that a big reply to a client
// that does not read never sits in memory whole.
constexpr qint64 WriteChunk = 64 * 1024;
constexpr int SplitPieceBytes = 3;
constexpr qint64 SocketReadBuffer = 64 * 1024;
constexpr qint64 ConsoleBacklogLimit = 256 * 1024;
constexpr int ConsolePacketPauseMs = 15;
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

QByteArray randomBytes() {
    QRandomGenerator *random = QRandomGenerator::global();
    QByteArray bytes(static_cast<qsizetype>(random->bounded(16, 129)), Qt::Uninitialized);
    for (char &c : bytes) {
        c = static_cast<char>(random->bounded(256));
    }
    return bytes;
}

// Both kinds of client own their socket, read it in bounded pieces and write without delay.
void adoptSocket(QObject *owner, QTcpSocket *socket) {
    socket->setParent(owner);
    socket->setReadBufferSize(SocketReadBuffer);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

} // namespace

// One connection on the command port: collects the command, hands it to the simulator and
// writes the reply it is given, with whatever faults were on when the command came in.
class CommandConnection : public QObject {
public:
    CommandConnection(RadioSimulator &simulator, QTcpSocket *socket, int number)
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

    // Called once the simulator knows the connection: starts the idle limit and takes any
    // bytes that arrived before.
    void begin() {
        m_idle.start(m_simulator.m_idleTimeoutMs);
        if (m_socket->bytesAvailable() > 0) {
            readInput();
        }
    }

    int number() const { return m_number; }

    // Stops everything and drops the connection; the object is deleted later by its owner.
    void shutDown() {
        m_phase = Phase::Done;
        m_quiet.stop();
        m_idle.stop();
        m_pause.stop();
        m_delay.stop();
        m_socket->disconnect(this);
        m_socket->abort();
    }

    // What goes out after the command: the reply itself, then `lineCount` lines taken in turn
    // from `lines`, then filler up to `padTo` bytes in all.
    struct Shape {
        QByteArray head;
        QList<QByteArray> lines;
        qint64 lineCount = 0;
        qint64 padTo = 0;
        bool split = false;
        int trickleMs = 0;
        bool noClose = false;
        int delayMs = 0;
    };

    void reply(Shape shape) {
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

private:
    enum class Phase { Reading, Answering, Writing, Closing, KeptOpen, Done };

    void readInput() {
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

    // One command per connection: whatever follows it is not acted on, but it is recorded,
    // up to a limit, so that a client writing twice onto one connection gets noticed.
    void readExtra() {
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

    void takeCommand() {
        if (m_phase != Phase::Reading) {
            return;
        }
        m_phase = Phase::Answering;
        m_quiet.stop();
        m_simulator.commandTaken(this, m_input);
    }

    void startWriting() {
        if (m_phase != Phase::Answering) {
            return;
        }
        m_phase = Phase::Writing;
        m_idle.start(m_simulator.m_idleTimeoutMs);
        pump();
    }

    bool moreToWrite() const {
        return m_headWritten < m_head.size() || m_linesWritten < m_lineCount || m_padWritten < m_padTotal;
    }

    // The next `most` bytes of the reply; the extra lines and the filler are made as they go
    // out, so that a huge reply never sits in memory whole.
    QByteArray take(qint64 most) {
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

    // Hands the socket the next part of the reply, keeping at most about one chunk queued.
    void pump() {
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

    void finishReply() {
        if (m_noClose) {
            m_phase = Phase::KeptOpen;
            m_idle.start(m_simulator.m_idleTimeoutMs);
            return;
        }
        m_phase = Phase::Closing;
        // Closes once everything queued has gone out; the disconnected signal ends the connection.
        m_socket->disconnectFromHost();
    }

    RadioSimulator &m_simulator;
    QTcpSocket *m_socket;
    const int m_number;
    Phase m_phase = Phase::Reading;
    QByteArray m_input;
    qint64 m_extraTaken = 0;
    QTimer m_quiet;
    QTimer m_idle;
    QTimer m_pause;
    QTimer m_delay;

    QByteArray m_head;
    qsizetype m_headWritten = 0;
    QList<QByteArray> m_lines;
    qint64 m_lineCount = 0;
    qint64 m_linesWritten = 0;
    qsizetype m_lineOffset = 0;
    qint64 m_padTotal = 0;
    qint64 m_padWritten = 0;
    bool m_split = false;
    int m_trickleMs = 0;
    bool m_noClose = false;
};

// One client of the debug console. Output goes out one queued piece at a time with a short
// pause between pieces, so that lines really do arrive split across packets.
class ConsoleClient : public QObject {
public:
    ConsoleClient(RadioSimulator &simulator, QTcpSocket *socket, int number)
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

    void shutDown() {
        m_pace.stop();
        m_queue.clear();
        m_socket->disconnect(this);
        m_socket->abort();
    }

    // False when the client reads so slowly that its backlog passed the limit.
    bool enqueue(QByteArray piece) {
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

private:
    void writeNext() {
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

    void readInput() {
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

public:
    int number() const { return m_number; }

private:
    RadioSimulator &m_simulator;
    QTcpSocket *m_socket;
    const int m_number;
    std::deque<QByteArray> m_queue;
    qint64 m_queued = 0;
    QTimer m_pace;
};

RadioSimulator::RadioSimulator(QObject *parent)
    : QObject(parent) {
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(1000);
    connect(&m_statusTimer, &QTimer::timeout, this, &RadioSimulator::statusStep);
    connect(&m_commandServer, &QTcpServer::newConnection, this, &RadioSimulator::acceptCommandConnections);
    connect(&m_consoleServer, &QTcpServer::newConnection, this, &RadioSimulator::acceptConsoleClients);
    // Bursts of clients wait in the kernel instead of being turned away.
    m_commandServer.setListenBacklogSize(512);
    // When accepting fails (out of file descriptors, say) the server stops accepting; try again
    // shortly, by which time idle connections may have gone.
    for (QTcpServer *server : {&m_commandServer, &m_consoleServer}) {
        connect(server, &QTcpServer::acceptError, this, [server] {
            QTimer::singleShot(100, server, [server] {
                if (server->isListening()) {
                    server->resumeAccepting();
                }
            });
        });
    }
}

RadioSimulator::~RadioSimulator() {
    stop();
}

bool RadioSimulator::start(const QHostAddress &bind, quint16 commandPort, quint16 consolePort) {
    stop();
    m_bind = bind;
    if (!m_commandServer.listen(bind, commandPort)) {
        m_error = QStringLiteral("cannot listen on %1 port %2 for commands: %3")
                      .arg(bind.toString())
                      .arg(commandPort)
                      .arg(m_commandServer.errorString());
        return false;
    }
    if (!m_consoleServer.listen(bind, consolePort)) {
        m_error = QStringLiteral("cannot listen on %1 port %2 for the console: %3")
                      .arg(bind.toString())
                      .arg(consolePort)
                      .arg(m_consoleServer.errorString());
        m_commandServer.close();
        return false;
    }
    m_commandPort = m_commandServer.serverPort();
    m_consolePort = m_consoleServer.serverPort();
    if (m_faults.refuse) {
        m_commandServer.close();
    }
    m_error.clear();
    m_clock.start();
    m_running = true;
    return true;
}

void RadioSimulator::stop() {
    m_commandServer.close();
    m_consoleServer.close();
    m_statusTimer.stop();
    while (!m_connections.empty()) {
        forgetConnection(m_connections.begin()->first);
    }
    while (!m_consoleClients.empty()) {
        forgetConsoleClient(m_consoleClients.begin()->first);
    }
    m_running = false;
}

bool RadioSimulator::setLogFile(const QString &path) {
    if (path.isEmpty()) {
        m_log.close();
        return true;
    }
    if (!m_log.open(path)) {
        m_error = QStringLiteral("cannot write the log %1: %2").arg(path, m_log.errorString());
        return false;
    }
    return true;
}

void RadioSimulator::setFaults(const Faults &faults) {
    m_faults = faults;
    setDelayMs(faults.delayMs);
    setDropEvery(faults.dropEvery);
    setBigReply(faults.bigBytes);
    setTrickleMs(faults.trickleMs);
    setExtraLines(faults.extraLines);
    setRefuse(faults.refuse);
}

bool RadioSimulator::setRefuse(bool on) {
    m_faults.refuse = on;
    if (!m_running) {
        return true;
    }
    if (on) {
        m_commandServer.close();
        return true;
    }
    if (m_commandServer.isListening()) {
        return true;
    }
    if (!m_commandServer.listen(m_bind, m_commandPort)) {
        m_error =
            QStringLiteral("cannot listen again on port %1: %2").arg(m_commandPort).arg(m_commandServer.errorString());
        return false;
    }
    return true;
}

void RadioSimulator::setBigReply(qint64 bytes) {
    m_faults.bigBytes = std::clamp<qint64>(bytes, 0, MaxBigReply);
}

void RadioSimulator::setExtraLines(int lines) {
    m_faults.extraLines = std::clamp(lines, 0, MaxExtraLines);
}

void RadioSimulator::setStatusStepMs(int ms) {
    m_statusTimer.setInterval(std::max(ms, 1));
}

QStringList RadioSimulator::commandTexts() const {
    QStringList texts;
    for (const ReceivedCommand &command : m_commands) {
        if (command.port == m_commandPort) {
            texts << QString::fromLatin1(command.command);
        }
    }
    return texts;
}

void RadioSimulator::acceptCommandConnections() {
    while (QTcpSocket *socket = m_commandServer.nextPendingConnection()) {
        const int number = ++m_commandCounter;
        if (m_faults.dropEvery > 0 && number % m_faults.dropEvery == 0) {
            socket->close();
            socket->deleteLater();
            continue;
        }
        // Clients that hold connections open must not lock out the ones that come after:
        // the longest-standing connection gives way.
        while (static_cast<int>(m_connections.size()) >= m_maxConnections) {
            forgetConnection(m_connections.begin()->first);
        }
        auto *connection = new CommandConnection(*this, socket, number);
        m_connections[number] = connection;
        connection->begin();
    }
}

void RadioSimulator::acceptConsoleClients() {
    while (QTcpSocket *socket = m_consoleServer.nextPendingConnection()) {
        if (static_cast<int>(m_consoleClients.size()) >= m_maxConsoleClients) {
            socket->close();
            socket->deleteLater();
            continue;
        }
        const int number = ++m_consoleCounter;
        m_consoleClients[number] = new ConsoleClient(*this, socket, number);
    }
}

void RadioSimulator::record(quint16 port, int connection, const QByteArray &command) {
    // A copy of just the bytes: the buffer the command was read into may be far larger.
    ReceivedCommand entry{m_clock.isValid() ? m_clock.elapsed() : 0, port, connection,
                          QByteArray(command.constData(), command.size())};
    m_log.write(entry.msSinceStart, port, connection, command);
    if (m_commands.size() >= MaxRecordedCommands) {
        m_commands.removeFirst();
    }
    m_commands.append(std::move(entry));
}

void RadioSimulator::commandTaken(CommandConnection *connection, const QByteArray &command) {
    const int number = connection->number();
    record(m_commandPort, number, command);
    const QString text = QString::fromLatin1(command);
    Q_EMIT commandReceived(number, text);
    // A hung radio takes the command and does nothing more with it.
    if (m_faults.stall || !m_connections.count(number)) {
        return;
    }

    const RadioModel::Status statusBefore = m_model.status();
    const int stationBefore = m_model.currentStation();
    const QString reply = m_model.handle(text);
    flushConsole();
    if ((m_model.status() != statusBefore || m_model.currentStation() != stationBefore) &&
        m_model.statusInTransition()) {
        m_statusTimer.start(); // each new step lasts a full interval
    }
    Q_EMIT commandAnswered(number, text, reply);
    if (!m_connections.count(number)) {
        return;
    }
    CommandConnection::Shape shape;
    shape.head = m_faults.garbage ? randomBytes() : reply.toLatin1();
    if (m_faults.extraLines > 0) {
        // A radio that repeats its status: the lines say what it shows after this command, so
        // a client that believes them stays right about the radio.
        for (const char *query : {"MINFO", "VOLUME", "LISTINFO", "METAINFO"}) {
            shape.lines << m_model.handle(QString::fromLatin1(query)).toLatin1();
        }
        shape.lineCount = m_faults.extraLines;
    }
    shape.padTo = m_faults.bigBytes;
    shape.split = m_faults.split;
    shape.trickleMs = m_faults.trickleMs;
    shape.noClose = m_faults.noClose;
    shape.delayMs = m_faults.delayMs;
    connection->reply(std::move(shape));
}

void RadioSimulator::extraTaken(CommandConnection *connection, const QByteArray &bytes) {
    ReceivedCommand entry{m_clock.isValid() ? m_clock.elapsed() : 0, m_commandPort, connection->number(),
                          QByteArray(bytes.constData(), bytes.size())};
    m_log.writeExtra(entry.msSinceStart, entry.port, entry.connection, bytes);
    if (m_extraBytes.size() >= MaxRecordedCommands) {
        m_extraBytes.removeFirst();
    }
    m_extraBytes.append(entry);
    Q_EMIT extraBytesReceived(entry.connection, entry.command);
}

void RadioSimulator::consoleInput(ConsoleClient *client, const QByteArray &bytes) {
    record(m_consolePort, client->number(), bytes);
}

namespace {

// Takes a client out of its table and lets it go once its pending events have run.
template <typename Table>
void forget(Table &table, int number) {
    const auto found = table.find(number);
    if (found == table.end()) {
        return;
    }
    auto *client = found->second;
    table.erase(found);
    client->shutDown();
    client->deleteLater();
}

} // namespace

void RadioSimulator::forgetConnection(int number) {
    forget(m_connections, number);
}

void RadioSimulator::forgetConsoleClient(int number) {
    forget(m_consoleClients, number);
}

void RadioSimulator::flushConsole() {
    const QStringList lines = m_model.takeConsoleLines();
    for (const QString &line : lines) {
        writeConsoleLine(line);
    }
}

void RadioSimulator::writeConsoleLine(const QString &line) {
    if (m_consoleHistory.size() >= MaxConsoleHistory) {
        m_consoleHistory.removeFirst();
    }
    m_consoleHistory.append(line);
    Q_EMIT consoleLineWritten(line);

    // Like the radio's own console: some lines end in LF, others in CR LF, and some reach the
    // client in two pieces.
    const int serial = m_consoleLineCounter++;
    const QByteArray text = line.toLatin1();
    const QByteArray end = serial % 2 == 0 ? QByteArray("\n") : QByteArray("\r\n");
    QList<QByteArray> pieces;
    if (serial % 3 == 0 && text.size() >= 2) {
        pieces << text.left(text.size() / 2) << text.mid(text.size() / 2) + end;
    } else {
        pieces << text + end;
    }

    // A write may fail at once and take its client out of the map: walk a copy of the numbers.
    std::vector<int> numbers;
    for (const auto &entry : m_consoleClients) {
        numbers.push_back(entry.first);
    }
    for (int number : numbers) {
        for (const QByteArray &piece : pieces) {
            const auto found = m_consoleClients.find(number);
            if (found == m_consoleClients.end()) {
                break;
            }
            if (!found->second->enqueue(piece)) {
                forgetConsoleClient(number);
                break;
            }
        }
    }
}

void RadioSimulator::statusStep() {
    m_model.advanceStatus();
    flushConsole();
    if (m_model.statusInTransition()) {
        m_statusTimer.start();
    }
}
