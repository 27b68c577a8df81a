#include "cli/RadioClient.h"

#include "radio_link/RadioLink.h"
#include "session/RadioSession.h"

#include <QMetaObject>

namespace {

// How often the waits look again while something is on its way, besides the link's own
// events. Only a cadence for looking: no rule of the link depends on it.
constexpr int BackstopMs = 20;

const QString SentMark = QStringLiteral("\r\n\t>");
const QString ReplyMark = QStringLiteral("\r\n\t<");

} // namespace

RadioClient::RadioClient(const QString &programFolder, QObject *parent)
    : QObject(parent)
    , m_session(std::make_unique<RadioSession>(m_platform, programFolder, QStringLiteral("CVRemote"))) {
    m_session->loadSettings();
    m_session->loadData();
    LinkSettings &settings = m_session->link().settings;
    // The window program may keep its connection; a client that ends after its command must
    // not open one it would leave behind.
    settings.KeepAsConnected = false;
    // "Auto Refresh Labels" off stops the window program's poll countdown; the client's status
    // and watch need the poll whatever the window shows.
    settings.UpdateDisplayLabels = true;

    RadioLink &link = m_session->link();
    connect(&link.view, &LinkView::macroTrace, this, &RadioClient::onTrace);
    connect(&link.view, &LinkView::changed, this, [this] {
        scheduleCheck();
        Q_EMIT stateChanged();
    });
    connect(&link.telnet.CheckOutBuffer(), &Timer::timeout, this, &RadioClient::scheduleCheck);
    connect(&link.connection.TimerCheckTelnet(), &Timer::timeout, this, &RadioClient::scheduleCheck);
    m_backstop.setInterval(BackstopMs);
    connect(&m_backstop, &QTimer::timeout, this, &RadioClient::check);
}

RadioClient::~RadioClient() = default;

void RadioClient::setAddress(const RadioAddress &address) {
    m_session->setRadioAddress(address.host, address.port);
}

RadioAddress RadioClient::address() const {
    const LinkSettings &settings = m_session->link().settings;
    const QString host = settings.txtUrl.trimmed();
    RadioAddress address = ParseRadioAddress(host.contains(u':') ? u'[' + host + u']' : host);
    bool number = false;
    const uint port = settings.txtPort.trimmed().toUInt(&number, 10);
    if (!number || port < 1 || port > 65535) {
        address.error = QStringLiteral("\"%1\" is no port: use a number from 1 to 65535").arg(settings.txtPort);
    } else {
        address.port = quint16(port);
    }
    return address;
}

void RadioClient::start() {
    m_session->start();
    scheduleCheck();
}

bool RadioClient::drained() const {
    RadioLink &link = m_session->link();
    const Telnet &telnet = link.telnet;
    RadioConnection &connection = link.connection;
    for (int c = 0; c < 2; ++c) {
        const TelnetChannel &channel = telnet.Channels[size_t(c)];
        if (connection.deliveryOutstanding(c) || connection.isOpening(c) || !channel.Completed.isEmpty() ||
            !channel.Received.isEmpty()) {
            return false;
        }
    }
    return !telnet.hasLive(0) && telnet.feeding() == 0 && !telnet.reportPending() && !connection.tickWaiting() &&
           !connection.TimerCheckTelnet().isEnabled() && !link.telnet.CheckOutBuffer().isEnabled();
}

bool RadioClient::refreshed() const {
    const RadioState::FreshData &fresh = m_session->state().fresh;
    const bool everything = fresh.FreshMenu && fresh.FreshList && fresh.FreshMeta && fresh.FreshVolume &&
                            fresh.FreshVersion && fresh.FreshState;
    // The full refresh asks for the version last: once that query has gone and the link is
    // quiet, every answer the radio was going to give is in, even when some never came.
    return everything || (m_versionAsked && drained() && !m_session->link().telnet.hasLive(1));
}

void RadioClient::whenDrained(std::function<void()> then) {
    when([this] { return drained(); }, std::move(then));
}

void RadioClient::whenRefreshed(std::function<void()> then) {
    when([this] { return refreshed(); }, std::move(then));
}

void RadioClient::when(std::function<bool()> condition, std::function<void()> then) {
    m_waits.push_back(Wait{std::move(condition), std::move(then)});
    scheduleCheck();
}

void RadioClient::onTrace(const QString &text) {
    if (text.startsWith(SentMark)) {
        m_versionAsked = m_versionAsked || text.mid(SentMark.size()).trimmed() == QLatin1String("VERSION");
    } else if (text.startsWith(ReplyMark)) {
        m_answered = true;
        // The reply tick hands channel 0's reply to the trace before channel 1's, within one
        // call; the first reply traced in a tick while channel 0 has one is channel 0's.
        const QString &reply = m_session->link().telnet.Channels[0].LastReply;
        if (!m_replyTakenThisTick && !reply.isEmpty()) {
            m_replyTakenThisTick = true;
            QMetaObject::invokeMethod(
                this, [this] { m_replyTakenThisTick = false; }, Qt::QueuedConnection);
            Q_EMIT commandReplied(reply);
        }
    }
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
    checkReachable();
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
    const bool waiting = !m_waits.empty();
    if (waiting && !m_backstop.isActive()) {
        m_backstop.start();
    } else if (!waiting) {
        m_backstop.stop();
    }
}

void RadioClient::checkReachable() {
    const LinkView &view = m_session->link().view;
    const QString &attempt = view.StatusPanel[3];
    QString why;
    if (view.RadioOffline) {
        why = QStringLiteral("the radio at %1 does not answer (offline since %2)")
                  .arg(address().text(), view.OfflineSince);
    } else if (!m_answered &&
               (attempt.startsWith(QLatin1String("Fail in")) || attempt.startsWith(QLatin1String("Unknown host")) ||
                attempt.startsWith(QLatin1String("Invalid port")) || attempt.startsWith(QLatin1String("No address")))) {
        // The first connection failed: refused, no such host, or nobody there within the connect
        // time-out. Trying on would only make a script wait for a radio that is not there.
        why = QStringLiteral("cannot connect to the radio at %1 (%2)").arg(address().text(), attempt);
    }
    if (why.isEmpty()) {
        m_outage = false;
    } else if (!m_outage) {
        m_outage = true;
        Q_EMIT unreachable(why);
    }
}
