#pragma once

#include "mpris/MediaPlayer.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <thread>

// The media player on a bus connection: the object at /org/mpris/MediaPlayer2 with the root and
// player interfaces, the player's well-known name, and org.freedesktop.DBus.Properties'
// PropertiesChanged for each change the player announces.
class MprisService : public QObject {
    Q_OBJECT
public:
    explicit MprisService(MediaPlayer &player, QObject *parent = nullptr);
    // Leaves the bus: the object and the name go.
    ~MprisService() override;

    // Puts the player on the bus under serviceName. "" when done, else why not, as one line for
    // the user (the name is taken, the bus refused).
    QString registerOn(const QDBusConnection &connection, const QString &serviceName = Mpris::ServiceName);
    bool registered() const { return m_connection.has_value(); }

private:
    void sendChanged(const QString &interface, const QVariantMap &changed);

    MediaPlayer &m_player;
    std::unique_ptr<QObject> m_object; // the bus object; the adaptors are its children
    std::optional<QDBusConnection> m_connection;
    QString m_serviceName;
};

// Connects to the session bus on a thread of its own, so that an address that never answers
// holds up nothing else; the answer comes as done() on the connector's thread. A connector
// destroyed first hears nothing, and a connection made after that is closed again.
class SessionBusConnector : public QObject {
    Q_OBJECT
public:
    // connectionName names the connection (QDBusConnection(connectionName) reaches it).
    explicit SessionBusConnector(QString connectionName, QObject *parent = nullptr);
    ~SessionBusConnector() override;

    void start();
    const QString &connectionName() const { return m_name; }

Q_SIGNALS:
    // connected: the connection is up; else error says why not.
    void done(bool connected, const QString &error);

private:
    struct Shared;
    QString m_name;
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

// What the user reads in the terminal view when the media player stays off the session bus.
QString MprisOffNotice(const QString &why);
