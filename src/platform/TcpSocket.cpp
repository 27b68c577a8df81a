#include "platform/TcpSocket.h"

#include <QNetworkProxy>
#include <QTcpSocket>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

QString TcpSocket::stateName(int state) {
    static const char *const names[] = {"Closed",         "Open",          "Listening",  "Connection pending",
                                        "Resolving host", "Host resolved", "Connecting", "Connected",
                                        "Closing",        "Error"};
    if (state < 0 || state > 9) {
        return QString();
    }
    return QString::fromLatin1(names[state]);
}

QtTcpSocket::QtTcpSocket(QObject *parent)
    : TcpSocket(parent) {}

QtTcpSocket::~QtTcpSocket() {
    endWatch(false);
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        delete m_socket;
    }
}

void QtTcpSocket::attach() {
    // A fresh QTcpSocket per connection: nothing of an old connection (late events, buffered
    // bytes) can leak into the next one.
    endWatch(false);
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
    }
    m_socket = new QTcpSocket();
    m_socket->setProxy(QNetworkProxy::NoProxy);
    m_socket->setReadBufferSize(ReadBuffer);
    connect(m_socket, &QAbstractSocket::stateChanged, this, &QtTcpSocket::onStateChanged);
    connect(m_socket, &QIODevice::readyRead, this, &QtTcpSocket::onReadyRead);
    connect(m_socket, &QAbstractSocket::disconnected, this, &QtTcpSocket::onDisconnected);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &QtTcpSocket::onError);
    connect(m_socket, &QIODevice::bytesWritten, this, &QtTcpSocket::onBytesWritten);
}

void QtTcpSocket::Connect(const QString &host, quint16 port) {
    attach();
    m_received.clear();
    m_written = 0;
    m_queued = 0;
    m_sendMarks.clear();
    m_peerReset = false;
    m_readPaused = false;
    m_state = sckResolvingHost;
    if (m_localPort != 0) {
        m_socket->bind(QHostAddress::AnyIPv4, m_localPort);
    }
    m_socket->connectToHost(host, port);
}

void QtTcpSocket::Close() {
    endWatch(false);
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    m_state = sckClosed;
    m_sendMarks.clear();
}

void QtTcpSocket::SendData(const QString &text) {
    if (!m_socket || m_state != sckConnected) {
        return;
    }
    const QByteArray bytes = text.toLatin1();
    m_queued += bytes.size();
    m_sendMarks.push_back(m_queued);
    if (bytes.isEmpty()) {
        // Nothing goes on the wire, but the caller still waits for its completion event.
        QMetaObject::invokeMethod(
            this, [this] { onBytesWritten(0); }, Qt::QueuedConnection);
        return;
    }
    m_socket->write(bytes);
}

QString QtTcpSocket::GetData() {
    const QString text = QString::fromLatin1(m_received);
    m_received.clear();
    return text;
}

QString QtTcpSocket::RemoteHostIP() const {
    if (!m_socket) {
        return QString();
    }
    QHostAddress address = m_socket->peerAddress();
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

void QtTcpSocket::watchConnection() {
#ifdef Q_OS_LINUX
    endWatch(false);
    const qintptr descriptor = m_socket->socketDescriptor();
    if (descriptor >= 0) {
        m_watch = ::fcntl(int(descriptor), F_DUPFD_CLOEXEC, 0);
    }
#endif
}

void QtTcpSocket::endWatch(bool lookFirst) {
#ifdef Q_OS_LINUX
    if (m_watch < 0) {
        return;
    }
    if (lookFirst) {
        // An orderly close leaves our side waiting to close (CLOSE_WAIT); a reset ends the
        // connection outright.
        tcp_info info{};
        socklen_t size = sizeof info;
        m_peerReset = ::getsockopt(m_watch, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 && info.tcpi_state == TCP_CLOSE;
    }
    // The last descriptor of the socket: only now does our side of an open connection close.
    ::close(m_watch);
    m_watch = -1;
#else
    Q_UNUSED(lookFirst);
#endif
}

void QtTcpSocket::onStateChanged() {
    switch (m_socket->state()) {
    case QAbstractSocket::HostLookupState:
        m_state = sckResolvingHost;
        break;
    case QAbstractSocket::ConnectingState:
        m_state = sckConnecting;
        break;
    case QAbstractSocket::ConnectedState:
        if (m_state != sckConnected) {
            m_state = sckConnected;
            watchConnection();
            Q_EMIT ConnectEvent();
        }
        break;
    case QAbstractSocket::ClosingState:
        m_state = sckClosing;
        break;
    default:
        break;
    }
}

void QtTcpSocket::setReadPaused(bool paused) {
    if (paused == m_readPaused) {
        return;
    }
    m_readPaused = paused;
    if (!m_socket) {
        return;
    }
    // Qt stops reading from the system once its bounded buffer is full and nobody takes from it.
    if (!paused && m_socket->bytesAvailable() > 0) {
        QMetaObject::invokeMethod(this, &QtTcpSocket::onReadyRead, Qt::QueuedConnection);
    }
}

void QtTcpSocket::onReadyRead() {
    if (!m_readPaused) {
        readAvailable();
    }
}

void QtTcpSocket::readAvailable() {
    if (!m_socket) {
        return;
    }
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty()) {
        return;
    }
    m_received += bytes;
    Q_EMIT DataArrival(bytes.size());
}

void QtTcpSocket::onDisconnected() {
    // Whatever is still buffered belongs to this connection and is reported first.
    if (m_socket->bytesAvailable() > 0) {
        readAvailable(); // paused or not: it belongs to this connection, which ends here
    }
    endWatch(true);
    if (m_state == sckError) {
        return;
    }
    m_state = sckClosing;
    Q_EMIT CloseEvent();
}

void QtTcpSocket::onError() {
    const QAbstractSocket::SocketError error = m_socket->error();
    if (error == QAbstractSocket::RemoteHostClosedError) {
        return; // an ordinary close by the peer; onDisconnected reports it
    }
    const bool wasConnected = m_state == sckConnected;
    if (wasConnected && m_socket->bytesAvailable() > 0) {
        readAvailable();
    }
    endWatch(true);
    m_state = sckError;
    Q_EMIT ErrorEvent(int(error), m_socket->errorString());
}

void QtTcpSocket::onBytesWritten(qint64 bytes) {
    m_written += bytes;
    Q_EMIT SendProgress(m_written, m_queued - m_written);
    while (!m_sendMarks.empty() && m_sendMarks.front() <= m_written) {
        m_sendMarks.pop_front();
        Q_EMIT SendComplete();
    }
}
