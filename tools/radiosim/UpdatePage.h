#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <map>

class UpdateClient;

// The vendor's update server, as far as CV Remote's update check needs one: every GET on the
// port is answered with a short text/html page that names the latest version, then the
// connection closes. Other requests get "405 Method Not Allowed".
class UpdatePage : public QObject {
    Q_OBJECT
public:
    struct Faults {
        bool stall = false;   // read the request, never answer, never close
        bool noClose = false; // answer, then leave the connection open
        qint64 bigBytes = 0;  // pad the page with filler lines to this many bytes (0: off)
    };

    static constexpr qint64 MaxRequestBytes = 16 * 1024;
    static constexpr int MaxClients = 32;

    // One revision newer than the CV Remote this simulator was built with.
    static QString defaultVersion();

    explicit UpdatePage(QObject *parent = nullptr);
    ~UpdatePage() override;

    // Listens on the port (0 picks a free one). False when it cannot; errorString() says why.
    bool start(const QHostAddress &bind, quint16 port);
    void stop();
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_error; }

    void setVersion(const QString &version) { m_version = version; }
    QString version() const { return m_version; }
    void setFaults(const Faults &faults) { m_faults = faults; }

    // The page's bytes after the headers (before any padding).
    QByteArray page() const;
    // Every request head received (up to its empty line), oldest first.
    QList<QByteArray> requests() const { return m_requests; }

private:
    friend class UpdateClient;
    void accept();
    void forget(int number);

    QTcpServer m_server;
    QString m_error;
    QString m_version;
    Faults m_faults;
    std::map<int, UpdateClient *> m_clients;
    int m_counter = 0;
    QList<QByteArray> m_requests;
};
