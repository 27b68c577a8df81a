#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <deque>

class QTcpSocket;
class RadioSimulator;

// One client of the debug console. Output goes out one queued piece at a time with a short
// pause between pieces, so that lines really do arrive split across packets.
class ConsoleClient : public QObject {
public:
    ConsoleClient(RadioSimulator &simulator, QTcpSocket *socket, int number);

    void shutDown();

    // False when the client reads so slowly that its backlog passed the limit.
    bool enqueue(QByteArray piece);

    int number() const { return m_number; }

private:
    void writeNext();
    void readInput();

    RadioSimulator &m_simulator;
    QTcpSocket *m_socket;
    const int m_number;
    std::deque<QByteArray> m_queue;
    qint64 m_queued = 0;
    QTimer m_pace;
};
