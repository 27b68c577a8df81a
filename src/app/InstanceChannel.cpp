#include "app/InstanceChannel.h"

#include "app/RuntimeFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// What a second copy writes: one line.
constexpr char ShowRequest[] = "show\n";
// A peer that writes more than this without a line end is not a copy of this program.
constexpr qint64 LongestRequest = 64;

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
            Q_EMIT showRequested();
        }
    }
    if (socket->bytesAvailable() > LongestRequest) {
        socket->abort();
    }
}

bool InstanceChannel::askToShow(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(ShowRequest);
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs)) {
            return false;
        }
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) {
        socket.waitForDisconnected(timeoutMs);
    }
    return true;
}
