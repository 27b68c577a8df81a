#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

class QTcpSocket;
class RadioSimulator;

// One connection on the command port: collects the command, hands it to the simulator and
// writes the reply it is given, with whatever faults were on when the command came in.
class CommandConnection : public QObject {
public:
    CommandConnection(RadioSimulator &simulator, QTcpSocket *socket, int number);

    // Called once the simulator knows the connection: starts the idle limit and takes any
    // bytes that arrived before.
    void begin();

    int number() const { return m_number; }

    // Stops everything and drops the connection; the object is deleted later by its owner.
    void shutDown();

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

    void reply(Shape shape);

private:
    enum class Phase { Reading, Answering, Writing, Closing, KeptOpen, Done };

    void readInput();
    // One command per connection: whatever follows it is not acted on, but it is recorded,
    // up to a limit, so that a client writing twice onto one connection gets noticed.
    void readExtra();

    void takeCommand();
    void startWriting();
    bool moreToWrite() const;

    // The next `most` bytes of the reply; the extra lines and the filler are made as they go
    // out, so that a huge reply never sits in memory whole.
    QByteArray take(qint64 most);

    // Hands the socket the next part of the reply, keeping at most about one chunk queued.
    void pump();
    void finishReply();

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
