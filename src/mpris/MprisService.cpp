#include "mpris/MprisService.h"

#include "mpris/MprisAdaptors.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>

#include <atomic>
#include <mutex>

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
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        serviceName, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(Mpris::ObjectPath);
        return reply.isValid() ? QStringLiteral("another program holds the name %1").arg(serviceName)
                               : QStringLiteral("the bus refused the name %1 (%2)").arg(serviceName, reply.error().message());
    }
    m_connection = bus;
    m_serviceName = serviceName;
    return {};
}

void MprisService::sendChanged(const QString &interface, const QVariantMap &changed) {
    if (!m_connection) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(Mpris::ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
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
    m_thread = std::thread([shared = m_shared, name = m_name] {
        const QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        const bool connected = connection.isConnected();
        const QString error = connected ? QString() : connection.lastError().message();
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

QString MprisOffNotice(const QString &why) {
    return QStringLiteral("Media keys and playerctl cannot reach CV Remote (no MPRIS): %1.").arg(why);
}
