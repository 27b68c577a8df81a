#pragma once

#include "CommandLog.h"
#include "RadioModel.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>

#include <algorithm>
#include <map>

class CommandConnection;
class ConsoleClient;

// The simulated radio on the network: a command port (one command per connection, reply,
// close) and a debug console port, in front of a RadioModel. Faults can be switched at any
// time; they apply to connections accepted (refuse, drop-every) or commands completed
// (everything else) from then on.
class RadioSimulator : public QObject {
    Q_OBJECT
public:
    struct Faults {
        bool refuse = false;  // nothing listens on the command port: connects are refused
        int delayMs = 0;      // reply this much later
        bool stall = false;   // take the command, never act on it or reply; closed only by the idle limit
        bool noClose = false; // reply, then leave the connection open
        bool split = false;   // reply in small packets with pauses between them
        int dropEvery = 0;    // every Nth connection is closed at once without a reply (0: off)
        bool garbage = false; // reply with random bytes instead of the reply
        qint64 bigBytes = 0;  // pad the reply with filler lines to this many bytes (0: off)
        int trickleMs = 0;    // write the reply one byte at a time, this many ms apart (0: off)
        int extraLines = 0;   // follow the reply with this many status lines of the radio (0: off)
    };

    struct ReceivedCommand {
        qint64 msSinceStart = 0;
        quint16 port = 0;   // local port it came in on: the command port, or the console port
        int connection = 0; // 1, 2, ... in order of acceptance, counted per port
        QByteArray command; // exactly the bytes taken as the command (Latin-1)
    };

    static constexpr int QuietGapMs = 30;
    static constexpr int MaxCommandBytes = 4096;
    static constexpr int MaxExtraLines = 10000000;

    explicit RadioSimulator(QObject *parent = nullptr);
    ~RadioSimulator() override;

    // Listens on both ports (0 picks a free one). False when either cannot be bound; then
    // errorString() says which and why, and nothing listens.
    bool start(const QHostAddress &bind = QHostAddress(QHostAddress::LocalHost), quint16 commandPort = 0,
               quint16 consolePort = 0);
    // Closes both ports and every connection.
    void stop();
    bool isRunning() const { return m_running; }
    QString errorString() const { return m_error; }
    quint16 commandPort() const { return m_commandPort; }
    quint16 consolePort() const { return m_consolePort; }

    // Writes every command received to this file (see CommandLog); an empty path stops logging.
    bool setLogFile(const QString &path);

    // Faults.
    const Faults &faults() const { return m_faults; }
    void setFaults(const Faults &faults);
    void clearFaults() { setFaults(Faults{}); }
    // Returns false only when listening again on the command port fails.
    bool setRefuse(bool on);
    void setDelayMs(int ms) { m_faults.delayMs = std::max(ms, 0); }
    void setStall(bool on) { m_faults.stall = on; }
    void setNoClose(bool on) { m_faults.noClose = on; }
    void setSplit(bool on) { m_faults.split = on; }
    void setDropEvery(int n) { m_faults.dropEvery = std::max(n, 0); }
    void setGarbage(bool on) { m_faults.garbage = on; }
    void setBigReply(qint64 bytes);
    void setTrickleMs(int ms) { m_faults.trickleMs = std::max(ms, 0); }
    void setExtraLines(int lines);

    // Limits that keep abusive clients from hurting the others.
    // A command connection with no progress for this long is closed (default 30000 ms).
    void setIdleTimeoutMs(int ms) { m_idleTimeoutMs = std::max(ms, 1); }
    // At most this many command connections at once; the oldest goes first (default 256).
    void setMaxConnections(int n) { m_maxConnections = std::max(n, 1); }
    // At most this many console clients at once; further ones are closed (default 32).
    void setMaxConsoleClients(int n) { m_maxConsoleClients = std::max(n, 1); }
    // Length of each step of the player's status sequence (default 1000 ms).
    void setStatusStepMs(int ms);
    // Pause between the packets of a split reply (default 20 ms).
    void setSplitPauseMs(int ms) { m_splitPauseMs = std::max(ms, 0); }

    // The radio.
    RadioModel &model() { return m_model; }
    const RadioModel &model() const { return m_model; }
    int screen() const { return m_model.screen(); }
    int mainMenuItem() const { return m_model.mainMenuItem(); }
    int listPosition() const { return m_model.listPosition(); }
    int keyboardRow() const { return m_model.keyboard().row(); }
    int keyboardColumn() const { return m_model.keyboard().column(); }
    QChar keyboardKey() const { return m_model.keyboard().key(); }
    QString searchText() const { return m_model.searchText(); }
    int volume() const { return m_model.volume(); }
    bool isPoweredOn() const { return m_model.isOn(); }
    QString lastMessage() const { return m_model.lastMessage(); }
    QString playerStatus() const { return RadioModel::statusText(m_model.status()); }

    // Commands taken so far, oldest first (the last 10000; console input included).
    QList<ReceivedCommand> commands() const { return m_commands; }
    // Only the command-port commands, as text.
    QStringList commandTexts() const;
    // Bytes that came on command connections after their command, oldest first (the last
    // 10000 pieces; at most MaxCommandBytes per connection). One command per connection is the
    // rule, so anything here is a fault of the client.
    QList<ReceivedCommand> extraBytes() const { return m_extraBytes; }
    void clearCommands() {
        m_commands.clear();
        m_extraBytes.clear();
    }
    // Console lines written so far, oldest first (the last 1000).
    QStringList consoleLines() const { return m_consoleHistory; }

    int openConnections() const { return static_cast<int>(m_connections.size()); }
    int consoleClients() const { return static_cast<int>(m_consoleClients.size()); }
    // Command connections accepted so far (dropped ones included).
    int connectionsAccepted() const { return m_commandCounter; }

    // Writes one line to every console client, as the player would.
    void writeConsoleLine(const QString &line);

Q_SIGNALS:
    // A command was taken from a command connection (before it is acted on).
    void commandReceived(int connection, const QString &command);
    // Bytes came on a command connection after its command (they are not acted on).
    void extraBytesReceived(int connection, const QByteArray &bytes);
    // The model acted on a command and produced this reply (faults may change what is sent).
    void commandAnswered(int connection, const QString &command, const QString &reply);
    void consoleLineWritten(const QString &line);

private:
    friend class CommandConnection;
    friend class ConsoleClient;

    bool listenCommandPort();
    void acceptCommandConnections();
    void acceptConsoleClients();
    void commandTaken(CommandConnection *connection, const QByteArray &command);
    void extraTaken(CommandConnection *connection, const QByteArray &bytes);
    void consoleInput(ConsoleClient *client, const QByteArray &bytes);
    void record(quint16 port, int connection, const QByteArray &command);
    void forgetConnection(int number);
    void forgetConsoleClient(int number);
    void flushConsole();
    void statusStep();

    RadioModel m_model;
    Faults m_faults;
    CommandLog m_log;
    QElapsedTimer m_clock;
    QString m_error;
    bool m_running = false;

    QHostAddress m_bind;
    QTcpServer m_commandServer;
    QTcpServer m_consoleServer;
    quint16 m_commandPort = 0;
    quint16 m_consolePort = 0;

    std::map<int, CommandConnection *> m_connections; // by connection number: oldest first
    std::map<int, ConsoleClient *> m_consoleClients;
    int m_commandCounter = 0;
    int m_consoleCounter = 0;
    int m_consoleLineCounter = 0;

    int m_idleTimeoutMs = 30000;
    int m_maxConnections = 256;
    int m_maxConsoleClients = 32;
    int m_splitPauseMs = 20;
    QTimer m_statusTimer;

    QList<ReceivedCommand> m_commands;
    QList<ReceivedCommand> m_extraBytes;
    QStringList m_consoleHistory;
};
