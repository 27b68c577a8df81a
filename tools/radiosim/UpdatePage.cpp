#include "UpdatePage.h"

#include <QTcpSocket>

#include <algorithm>

namespace {

// Padding goes out in pieces as the client reads, so a big page never sits in memory whole.
constexpr qint64 WriteChunk = 64 * 1024;
constexpr int MaxRecordedRequests = 1000;

QByteArray filler(qint64 bytes) {
    // Lines of dots, each ended by CR LF where the piece allows.
    QByteArray out(bytes, '.');
    for (qint64 i = 78; i + 1 < bytes; i += 80) {
        out[i] = '\r';
        out[i + 1] = '\n';
    }
    return out;
}

} // namespace

// One client: collects the request head, then answers it once.
class UpdateClient : public QObject {
public:
    UpdateClient(UpdatePage &page, QTcpSocket *socket, int number)
        : QObject(&page)
        , m_page(page)
        , m_socket(socket)
        , m_number(number) {
        m_socket->setParent(this);
        m_socket->setReadBufferSize(UpdatePage::MaxRequestBytes);
        connect(m_socket, &QTcpSocket::readyRead, this, [this] { readRequest(); });
        connect(m_socket, &QTcpSocket::bytesWritten, this, [this] { pump(); });
        connect(m_socket, &QTcpSocket::disconnected, this, [this] { m_page.forget(m_number); });
        connect(m_socket, &QTcpSocket::errorOccurred, this,
                [this](QAbstractSocket::SocketError) { m_page.forget(m_number); });
    }

    void shutDown() {
        m_socket->disconnect(this);
        m_socket->abort();
    }

private:
    void readRequest() {
        if (m_answered) {
            m_socket->readAll(); // nothing more is expected
            return;
        }
        m_head += m_socket->readAll();
        const qsizetype end = m_head.indexOf("\r\n\r\n");
        if (end < 0) {
            if (m_head.size() > UpdatePage::MaxRequestBytes) {
                m_page.forget(m_number);
            }
            return;
        }
        m_head.truncate(end + 4);
        m_answered = true;
        if (m_page.m_requests.size() >= MaxRecordedRequests) {
            m_page.m_requests.removeFirst();
        }
        m_page.m_requests.append(m_head);
        const UpdatePage::Faults faults = m_page.m_faults;
        if (faults.stall) {
            return;
        }
        m_noClose = faults.noClose;
        if (!m_head.startsWith("GET ")) {
            m_socket->write("HTTP/1.1 405 Method Not Allowed\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n");
            finishWriting();
            return;
        }
        const QByteArray page = m_page.page();
        m_socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n" + page);
        m_padLeft = std::max<qint64>(0, faults.bigBytes - page.size());
        pump();
    }

    void pump() {
        if (!m_answered || m_done) {
            return;
        }
        while (m_padLeft > 0 && m_socket->bytesToWrite() < WriteChunk) {
            const qint64 piece = std::min(m_padLeft, WriteChunk);
            m_socket->write(filler(piece));
            m_padLeft -= piece;
        }
        if (m_padLeft == 0) {
            finishWriting();
        }
    }

    void finishWriting() {
        m_done = true;
        if (!m_noClose) {
            m_socket->disconnectFromHost();
        }
    }

    UpdatePage &m_page;
    QTcpSocket *m_socket;
    const int m_number;
    QByteArray m_head;
    qint64 m_padLeft = 0;
    bool m_answered = false;
    bool m_done = false;
    bool m_noClose = false;
};

QString UpdatePage::defaultVersion() {
    // CV Remote's version text is major.minor.revision with the minor number still 0.
    return QStringLiteral("%1.0.%2").arg(RADIOSIM_PROGRAM_MAJOR).arg(RADIOSIM_PROGRAM_REVISION + 1);
}

UpdatePage::UpdatePage(QObject *parent)
    : QObject(parent)
    , m_version(defaultVersion()) {
    connect(&m_server, &QTcpServer::newConnection, this, &UpdatePage::accept);
}

UpdatePage::~UpdatePage() {
    stop();
}

bool UpdatePage::start(const QHostAddress &bind, quint16 port) {
    if (!m_server.listen(bind, port)) {
        m_error = QStringLiteral("cannot listen on %1 port %2 for the update page: %3")
                      .arg(bind.toString())
                      .arg(port)
                      .arg(m_server.errorString());
        return false;
    }
    return true;
}

void UpdatePage::stop() {
    m_server.close();
    while (!m_clients.empty()) {
        forget(m_clients.begin()->first);
    }
}

QByteArray UpdatePage::page() const {
    return QStringLiteral("CV Remote update service<br/>\r\n"
                          "<br/>\r\n"
                          "Corvale Remote Software V.%1<br/>\r\n"
                          "Ask your dealer for the download.<br/>\r\n")
        .arg(m_version)
        .toLatin1();
}

void UpdatePage::accept() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        if (int(m_clients.size()) >= MaxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const int number = ++m_counter;
        m_clients[number] = new UpdateClient(*this, socket, number);
    }
}

void UpdatePage::forget(int number) {
    const auto found = m_clients.find(number);
    if (found == m_clients.end()) {
        return;
    }
    UpdateClient *client = found->second;
    m_clients.erase(found);
    client->shutDown();
    client->deleteLater();
}
