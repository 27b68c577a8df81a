#include "mpris/MprisService.h"

#include "mpris/MprisAdaptors.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

MprisService::MprisService(MediaPlayer &player, QObject *parent)
    : QObject(parent)
    , m_player(player)
    , m_object(std::make_unique<QObject>()) {
    new MprisRootAdaptor(m_object.get(), player);
    new MprisPlayerAdaptor(m_object.get(), player);
    connect(&player, &MediaPlayer::propertiesChanged, this, &MprisService::sendChanged);
}

MprisService::~MprisService() {
    if (m_connection) {
        m_connection->unregisterObject(Mpris::ObjectPath);
        m_connection->unregisterService(m_serviceName);
    }
}

QString MprisService::registerOn(const QDBusConnection &connection, const QString &serviceName) {
    if (m_connection) {
        return QStringLiteral("already on the bus as %1").arg(m_serviceName);
    }
    if (!connection.isConnected()) {
        return QStringLiteral("not connected to the bus (%1)").arg(connection.lastError().message());
    }
    QDBusConnection bus = connection;
    if (!bus.registerObject(Mpris::ObjectPath, m_object.get(), QDBusConnection::ExportAdaptors)) {
        return QStringLiteral("%1 is taken on this connection").arg(Mpris::ObjectPath);
    }
    // Asked for without queueing: a name another program holds stays its own.
    const auto request = [&bus](const QString &name) {
        return QDBusReply<QDBusConnectionInterface::RegisterServiceReply>(bus.interface()->registerService(
            name, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement));
    };
    QString name = serviceName;
    QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = request(name);
    if (reply.isValid() && reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        // Held by another copy (on another program folder, say): this one is a second instance.
        name = serviceName + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
        reply = request(name);
    }
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(Mpris::ObjectPath);
        return reply.isValid() ? QStringLiteral("another program holds the name %1").arg(name)
                               : QStringLiteral("the bus refused the name %1 (%2)").arg(name, reply.error().message());
    }
    m_connection = bus;
    m_serviceName = name;
    return {};
}

void MprisService::sendChanged(const QString &interface, const QVariantMap &changed) {
    if (!m_connection) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        Mpris::ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
    signal << interface << changed << QStringList();
    m_connection->send(signal);
}

struct SessionBusConnector::Shared {
    std::mutex mutex;
    SessionBusConnector *owner = nullptr; // null once the connector is gone
    std::atomic<bool> finished = false;
};

SessionBusConnector::SessionBusConnector(QString connectionName, QObject *parent)
    : QObject(parent)
    , m_name(std::move(connectionName))
    , m_shared(std::make_shared<Shared>()) {
    m_shared->owner = this;
}

SessionBusConnector::~SessionBusConnector() {
    {
        const std::lock_guard<std::mutex> lock(m_shared->mutex);
        m_shared->owner = nullptr;
    }
    if (m_thread.joinable()) {
        // A connect still waiting on the bus's address is left to end on its own.
        if (m_shared->finished) {
            m_thread.join();
            QDBusConnection::disconnectFromBus(m_name);
        } else {
            m_thread.detach();
        }
    }
}

void SessionBusConnector::start() {
    if (m_thread.joinable()) {
        return;
    }
    QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (address.isEmpty() && !qEnvironmentVariable("XDG_RUNTIME_DIR").isEmpty()) {
        const QString runtimeBus = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus");
        if (QFileInfo(runtimeBus).exists()) {
            address = QStringLiteral("unix:path=") + runtimeBus;
        }
    }
    m_thread = std::thread([shared = m_shared, name = m_name, address] {
        constexpr int BusPatience = 3000;
        QString error = address.isEmpty() ? QString() : SessionBusProblem(address, BusPatience);
        bool connected = false;
        if (error.isEmpty()) {
            const QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
            connected = connection.isConnected();
            error = connected ? QString() : connection.lastError().message();
        }
        const std::lock_guard<std::mutex> lock(shared->mutex);
        if (SessionBusConnector *owner = shared->owner) {
            QMetaObject::invokeMethod(
                owner, [owner, connected, error] { Q_EMIT owner->done(connected, error); }, Qt::QueuedConnection);
        } else {
            QDBusConnection::disconnectFromBus(name);
        }
        shared->finished = true;
    });
}

namespace {

using Clock = std::chrono::steady_clock;

// Waits until the socket is ready for `events` or the deadline passes.
bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(left));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

// Connects to the address and sends the greeting's first line (a nul byte, then AUTH with no
// mechanism), which every bus answers with a line (REJECTED and the mechanisms it knows).
// Nothing when it could not connect at all (why in `error`); else "" when it answered, or why not.
std::optional<QString> greet(const sockaddr *address, socklen_t length, Clock::time_point deadline, QString &error) {
    const int fd = ::socket(address->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    const auto failed = [fd, &error](int code) {
        error = QString::fromLocal8Bit(std::strerror(code));
        ::close(fd);
        return std::nullopt;
    };
    if (::connect(fd, address, length) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) {
            return failed(errno);
        }
        if (!waitFor(fd, POLLOUT, deadline)) {
            return failed(ETIMEDOUT);
        }
        int code = 0;
        socklen_t size = sizeof code;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &code, &size) != 0 || code != 0) {
            return failed(code != 0 ? code : errno);
        }
    }
    static const char greeting[] = "\0AUTH\r\n";
    QString answer = QStringLiteral("it does not answer");
    if (::send(fd, greeting, sizeof greeting - 1, MSG_NOSIGNAL) == ssize_t(sizeof greeting - 1)) {
        QByteArray received;
        char buffer[256];
        while (!received.contains('\n') && waitFor(fd, POLLIN, deadline)) {
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
                    continue;
                }
                answer = QStringLiteral("it closed the connection");
                break;
            }
            received.append(buffer, got);
        }
        if (received.contains('\n')) {
            answer.clear();
        }
    }
    ::close(fd);
    return answer;
}

QString valueOf(const QStringList &pairs, const QString &key) {
    for (const QString &pair : pairs) {
        if (pair.startsWith(key + QLatin1Char('='))) {
            return QString::fromUtf8(QByteArray::fromPercentEncoding(pair.mid(key.size() + 1).toUtf8()));
        }
    }
    return {};
}

} // namespace

QString SessionBusProblem(const QString &addresses, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    QStringList failures;
    for (const QString &entry : addresses.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = entry.indexOf(u':');
        const QString transport = entry.left(colon);
        const QStringList pairs = colon < 0 ? QStringList() : entry.mid(colon + 1).split(u',');
        QString error;
        std::optional<QString> answer;
        if (transport == u"unix") {
            const QString path = valueOf(pairs, QStringLiteral("path"));
            const QString abstract = valueOf(pairs, QStringLiteral("abstract"));
            const QByteArray name = (path.isEmpty() ? abstract : path).toLocal8Bit();
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            const std::size_t offset = abstract.isEmpty() ? 0 : 1; // an abstract name starts with a nul
            if (name.isEmpty() || std::size_t(name.size()) + offset >= sizeof address.sun_path) {
                return {}; // another kind of unix address: left to the bus library
            }
            std::memcpy(address.sun_path + offset, name.constData(), std::size_t(name.size()));
            const auto length =
                socklen_t(offsetof(sockaddr_un, sun_path) + offset + std::size_t(name.size()) + (offset == 0 ? 1 : 0));
            answer = greet(reinterpret_cast<const sockaddr *>(&address), length, deadline, error);
        } else if (transport == u"tcp") {
            addrinfo hints{};
            hints.ai_socktype = SOCK_STREAM;
            addrinfo *found = nullptr;
            const QByteArray host = valueOf(pairs, QStringLiteral("host")).toUtf8();
            const QByteArray port = valueOf(pairs, QStringLiteral("port")).toUtf8();
            if (const int code =
                    ::getaddrinfo(host.isEmpty() ? "localhost" : host.constData(), port.constData(), &hints, &found);
                code != 0) {
                error = QString::fromLocal8Bit(gai_strerror(code));
            } else {
                for (addrinfo *at = found; at && !answer; at = at->ai_next) {
                    answer = greet(at->ai_addr, at->ai_addrlen, deadline, error);
                }
                ::freeaddrinfo(found);
            }
        } else {
            return {}; // a transport the bus library knows better
        }
        if (answer) {
            return answer->isEmpty() ? QString()
                                     : QStringLiteral("the bus at %1 took the connection, but %2").arg(entry, *answer);
        }
        failures << QStringLiteral("%1: %2").arg(entry, error);
    }
    return failures.isEmpty() ? QStringLiteral("no address") : failures.join(QStringLiteral("; "));
}

QString MprisOffNotice(const QString &why) {
    return QStringLiteral("Media keys and playerctl cannot reach CV Remote (no MPRIS): %1.").arg(why);
}
