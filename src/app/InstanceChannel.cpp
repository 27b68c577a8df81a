#include "app/InstanceChannel.h"

#include "app/RuntimeFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// What a second copy writes: one line; and what the running copy answers once it has read it.
constexpr char ShowRequest[] = "show\n";
constexpr char ShowAnswer[] = "shown\n";
// A peer that writes more than this without a line end is not a copy of this program.
constexpr qint64 LongestRequest = 64;
// Between two tries to reach a copy that is starting.
constexpr unsigned long RetryPauseMs = 50;

QString userKey() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

} // namespace

InstanceChannel::InstanceChannel(const QString &settingsFile, QObject *parent)
    : QObject(parent)
    , m_name(NameFor(settingsFile)) {}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::NameFor(const QString &settingsFile) {
    // Only in a folder nobody else can write to: in a shared one another user could put a socket
    // of this name there first and hear (or answer) a second start. Without such a folder there
    // is no channel ("" names none).
    const QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty()) {
        return QString();
    }
    const QString key = userKey() + u'\n' + QFileInfo(settingsFile).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(folder).filePath(QStringLiteral("CVRemote-") + QString::fromLatin1(hash) + QStringLiteral(".socket"));
}

bool InstanceChannel::listen() {
    if (listening()) {
        return true;
    }
    if (m_name.isEmpty()) {
        return false;
    }
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // The caller holds the folder's lock: a socket of this name belongs to a copy that is gone.
    QLocalServer::removeServer(m_name);
    if (!server->listen(m_name)) {
        return false;
    }
    connect(server.get(), &QLocalServer::newConnection, this, &InstanceChannel::accept);
    m_server = std::move(server);
    return true;
}

bool InstanceChannel::listening() const {
    return m_server && m_server->isListening();
}

void InstanceChannel::accept() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        // The second copy writes and goes at once: what it wrote is still to be read.
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            read(socket);
            socket->deleteLater();
        });
        read(socket);
    }
}

void InstanceChannel::read(QLocalSocket *socket) {
    while (socket->canReadLine()) {
        if (socket->readLine(LongestRequest + 1) == ShowRequest) {
            socket->write(ShowAnswer);
            socket->flush();
            Q_EMIT showRequested();
        }
    }
    if (socket->bytesAvailable() > LongestRequest) {
        socket->abort();
    }
}

InstanceChannel::Asked InstanceChannel::askToShow(int answerMs, int startMs) {
    QElapsedTimer started;
    started.start();
    QLocalSocket socket;
    // The first copy takes the folder's lock a moment before it opens its channel: until then
    // its socket is missing, or refuses. Asking again for a while covers starts made at the same
    // instant. This copy shows nothing yet, so a short blocking wait between tries costs nothing.
    for (;;) {
        socket.connectToServer(m_name);
        if (socket.waitForConnected(answerMs)) {
            break;
        }
        socket.abort();
        if (started.elapsed() >= startMs) {
            return Asked::NotReached;
        }
        if (m_retried) {
            m_retried();
        }
        QThread::msleep(RetryPauseMs);
    }
    socket.write(ShowRequest);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(answerMs)) {
            return Asked::NoAnswer;
        }
    }
    // A stopped copy's socket still takes the request (the system queues it); only its answer
    // shows it read it.
    QElapsedTimer waiting;
    waiting.start();
    while (!socket.canReadLine()) {
        const qint64 left = answerMs - waiting.elapsed();
        if (left <= 0 || !socket.waitForReadyRead(int(left))) {
            return Asked::NoAnswer;
        }
    }
    const bool answered = socket.readLine(LongestRequest + 1) == ShowAnswer;
    socket.disconnectFromServer();
    return answered ? Asked::Answered : Asked::NoAnswer;
}
