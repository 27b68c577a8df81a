#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>

class QTcpSocket;

// A TCP client with the ten states and six events the program's network code was written
// against. Text goes over the wire as Latin-1, one byte a character, nothing added.
class TcpSocket : public QObject {
    Q_OBJECT
public:
    enum StateValue : qint16 {
        sckClosed = 0,
        sckOpen = 1,
        sckListening = 2,
        sckConnectionPending = 3,
        sckResolvingHost = 4,
        sckHostResolved = 5,
        sckConnecting = 6,
        sckConnected = 7,
        sckClosing = 8,
        sckError = 9,
    };
    // "Closed", "Open", ... "Error"; "" for a value outside 0..9.
    static QString stateName(int state);

    using QObject::QObject;
    virtual qint16 State() const = 0;
    virtual void setLocalPort(quint16 port) = 0;
    // Starts an attempt and returns at once; the outcome shows in State() and the events.
    virtual void Connect(const QString &host, quint16 port) = 0;
    // Harmless when already closed.
    virtual void Close() = 0;
    // Ignored unless connected.
    virtual void SendData(const QString &text) = 0;
    // Everything received since the last call.
    virtual QString GetData() = 0;
    virtual QString RemoteHostIP() const = 0;
    // Once the peer has closed: whether it reset the connection instead of closing it in order.
    // A peer resets when it closes with bytes of ours still unread, or when they reach it after
    // it closed; either way it did not read everything that was sent.
    virtual bool PeerReset() const = 0;
    // While paused, nothing more is taken from the network: once the buffers on the way are
    // full, TCP itself holds the peer back. A reader that cannot keep up with a peer that floods
    // it pauses rather than read what it would only drop. Unpaused, what waited arrives as
    // usual (DataArrival from the event loop, not from inside this call). A new connection
    // starts unpaused.
    virtual void setReadPaused(bool paused) = 0;

Q_SIGNALS:
    void ConnectEvent();
    void DataArrival(qint64 bytes);
    // The peer closed; comes after the connection's last DataArrival.
    void CloseEvent();
    void ErrorEvent(int number, const QString &description);
    void SendProgress(qint64 bytesSent, qint64 bytesRemaining);
    // One for every SendData that went out.
    void SendComplete();
};

class QtTcpSocket final : public TcpSocket {
    Q_OBJECT
public:
    explicit QtTcpSocket(QObject *parent = nullptr);
    ~QtTcpSocket() override;

    qint16 State() const override { return m_state; }
    void setLocalPort(quint16 port) override { m_localPort = port; }
    void Connect(const QString &host, quint16 port) override;
    void Close() override;
    void SendData(const QString &text) override;
    QString GetData() override;
    QString RemoteHostIP() const override;
    bool PeerReset() const override { return m_peerReset; }
    void setReadPaused(bool paused) override;

    // What Qt reads from the system at a time. Bounded, so a paused reader stops taking data
    // at once (an unbounded read would first empty the system's buffers, megabytes of them).
    static constexpr qint64 ReadBuffer = 64 * 1024;

private:
    void attach();
    // A second descriptor of the connected socket keeps it to be looked at after the
    // QTcpSocket let go of it on the peer's close.
    void watchConnection();
    void endWatch(bool lookFirst);
    void onStateChanged();
    void onReadyRead();
    void readAvailable();
    void onDisconnected();
    void onError();
    void onBytesWritten(qint64 bytes);

    QTcpSocket *m_socket = nullptr;
    qint16 m_state = sckClosed;
    quint16 m_localPort = 0;
    QByteArray m_received;
    qint64 m_written = 0;
    qint64 m_queued = 0;
    std::deque<qint64> m_sendMarks; // cumulative byte counts at which a SendData is complete
    int m_watch = -1;
    bool m_peerReset = false;
    bool m_readPaused = false;
};
