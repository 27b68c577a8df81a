#include "RadioSimulator.h"

#include "CommandConnection.h"
#include "ConsoleClient.h"

#include <QRandomGenerator>
#include <QTcpSocket>

namespace {

constexpr int MaxRecordedCommands = 10000;
constexpr int MaxConsoleHistory = 1000;
constexpr qint64 MaxBigReply = qint64(1) << 30;

QByteArray randomBytes() {
    QRandomGenerator *random = QRandomGenerator::global();
    QByteArray bytes(static_cast<qsizetype>(random->bounded(16, 129)), Qt::Uninitialized);
    for (char &c : bytes) {
        c = static_cast<char>(random->bounded(256));
    }
    return bytes;
}

} // namespace

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
