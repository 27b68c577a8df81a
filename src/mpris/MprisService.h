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
    // the user (the name is taken, the bus refused). When another copy holds the name, this one
    // takes serviceName + ".instance" + its process id, as media players do for a second copy.
    QString registerOn(const QDBusConnection &connection, const QString &serviceName = Mpris::ServiceName);
    // The name it took on the bus; "" while off it.
    QString serviceName() const { return m_serviceName; }
    bool registered() const { return m_connection.has_value(); }

private:
    void sendChanged(const QString &interface, const QVariantMap &changed);

    MediaPlayer &m_player;
    std::unique_ptr<QObject> m_object; // the bus object; the adaptors are its children
    std::optional<QDBusConnection> m_connection;
    QString m_serviceName;
};

// Connects to the session bus on a thread of its own, so that an address that is slow to answer
// holds up nothing else: the address (DBUS_SESSION_BUS_ADDRESS, else the user's runtime
// folder's "bus" when there is one) is first tried with SessionBusProblem, and only a bus that
// answers is connected to. The answer comes as done() on the connector's thread. A connector
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

// Whether a bus at this address (D-Bus address syntax; several are tried in order, separated by
// ";") answers the first line of a client's greeting within timeoutMs: "" when it does or when
// the address names a transport not looked at here (unix paths and abstract names, tcp), else
// why not. Qt's own connect waits on a bus that takes the connection and never answers, and
// holds up every other use of the bus in the process meanwhile, its end included; an address
// that fails here is never handed to it.
QString SessionBusProblem(const QString &addresses, int timeoutMs);

// What the user reads in the terminal view when the media player stays off the session bus.
QString MprisOffNotice(const QString &why);
