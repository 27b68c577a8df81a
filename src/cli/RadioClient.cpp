#include "cli/RadioClient.h"

#include "session/RadioSession.h"

#include <QMetaObject>

RadioClient::RadioClient(const QString &programFolder, QObject *parent)
    : QObject(parent)
    , m_session(std::make_unique<RadioSession>(m_platform, programFolder, QStringLiteral("CVRemote"))) {
    m_session->loadSettings();
    m_session->loadData();
    LinkOptions options = m_session->linkOptions();
    // The window program may keep its connection; a client that ends after its command must
    // not open one it would leave behind.
    options.keepConnected = false;
    // "Auto Refresh Labels" off stops the window program's poll countdown; the client's status
    // and watch need the poll whatever the window shows.
    options.refreshLabels = true;
    m_session->setLinkOptions(options);

    RadioSession &session = *m_session;
    connect(&session, &RadioSession::replyReceived, this, [this] { m_answered = true; });
    connect(&session, &RadioSession::becameIdle, this, &RadioClient::scheduleCheck);
    connect(&session, &RadioSession::firstRefreshAnswered, this, &RadioClient::scheduleCheck);
    connect(&session, &RadioSession::statusChanged, this, &RadioClient::scheduleCheck);
    connect(&session, &RadioSession::statusChanged, this, [this] {
        const RadioStatus &status = m_session->status();
        if (status.health == LinkHealth::Offline) {
            if (!m_outage) {
                m_outage = true;
                Q_EMIT unreachable(QStringLiteral("the radio at %1 does not answer (offline since %2)")
                                       .arg(address().text(), status.offlineSince));
            }
        } else {
            m_outage = false;
        }
    });
    connect(&session, &RadioSession::connectFailed, this, [this](const QString &, const QString &why) {
        // The first connection failed: refused, no such host, or nobody there within the connect
        // time-out. Trying on would only make a script wait for a radio that is not there.
        if (!m_answered && !m_outage) {
            m_outage = true;
            Q_EMIT unreachable(QStringLiteral("cannot connect to the radio at %1 (%2)").arg(address().text(), why));
        }
    });
}

RadioClient::~RadioClient() = default;

void RadioClient::setAddress(const RadioAddress &address) {
    m_session->setRadioAddress(address.host, address.port);
}

RadioAddress RadioClient::address() const {
    const LinkOptions options = m_session->linkOptions();
    const QString host = options.host.trimmed();
    RadioAddress address = ParseRadioAddress(host.contains(u':') ? u'[' + host + u']' : host);
    bool number = false;
    const uint port = options.port.trimmed().toUInt(&number, 10);
    if (!number || port < 1 || port > 65535) {
        address.error = QStringLiteral("\"%1\" is no port: use a number from 1 to 65535").arg(options.port);
    } else {
        address.port = quint16(port);
    }
    return address;
}

void RadioClient::start() {
    m_session->start();
    scheduleCheck();
}

void RadioClient::whenDrained(std::function<void()> then) {
    when([this] { return m_session->idle(); }, std::move(then));
}

void RadioClient::whenRefreshed(std::function<void()> then) {
    when([this] { return m_session->refreshed(); }, std::move(then));
}

void RadioClient::when(std::function<bool()> condition, std::function<void()> then) {
    m_waits.push_back(Wait{std::move(condition), std::move(then)});
    scheduleCheck();
}

void RadioClient::scheduleCheck() {
    if (!m_checkQueued) {
        m_checkQueued = true;
        QMetaObject::invokeMethod(this, &RadioClient::check, Qt::QueuedConnection);
    }
}

void RadioClient::check() {
    m_checkQueued = false;
    // A callback may add waits of its own (or end the program): take the due ones out first.
    std::vector<Wait> due;
    for (auto it = m_waits.begin(); it != m_waits.end();) {
        if (it->condition()) {
            due.push_back(std::move(*it));
            it = m_waits.erase(it);
        } else {
            ++it;
        }
    }
    for (Wait &wait : due) {
        wait.then();
    }
}
