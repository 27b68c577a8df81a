#include "finder/RadioFinder.h"

#include "platform/Platform.h"

#include <QSet>

#include <algorithm>

namespace {

// A radio's answer to VERSION is one short line; more than this before a line end is not one.
constexpr qsizetype MaxAnswerBytes = 256;
constexpr qsizetype MaxVersionLength = 32;

} // namespace

bool TakeVersionAnswer(const QByteArray &answer, QString &version) {
    QByteArray line = answer;
    if (const qsizetype end = line.indexOf('\n'); end >= 0) {
        line.truncate(end);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    if (!line.startsWith("VER=")) {
        return false;
    }
    const QByteArray text = line.mid(4);
    if (text.isEmpty() || text.size() > MaxVersionLength) {
        return false;
    }
    for (const char c : text) {
        if (c < 0x21 || c > 0x7E) {
            return false;
        }
    }
    version = QString::fromLatin1(text);
    return true;
}

struct RadioFinder::Probe {
    std::unique_ptr<TcpSocket> socket;
    std::unique_ptr<Timer> deadline;
    quint32 address = 0;
    QByteArray answer;
    bool busy = false;
    bool connected = false;
};

RadioFinder::RadioFinder(Platform &platform, QObject *parent)
    : QObject(parent)
    , m_platform(platform) {}

RadioFinder::~RadioFinder() {
    stop();
}

int RadioFinder::asking() const {
    int count = 0;
    for (const auto &probe : m_probes) {
        count += probe->busy ? 1 : 0;
    }
    return count;
}

bool RadioFinder::start(const QList<Ipv4Network> &networks, quint16 port, QString *error) {
    const auto refuse = [error](const QString &why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    if (m_running) {
        return refuse(QStringLiteral("a search is running already"));
    }
    if (port == 0) {
        return refuse(QStringLiteral("the radio's port must be from 1 to 65535"));
    }
    std::deque<quint32> addresses;
    QSet<quint32> seen;
    for (const Ipv4Network &network : networks) {
        const FindNetworkChoice checked = ParseFindNetwork(network.text());
        if (!checked.ok()) {
            return refuse(checked.error);
        }
        for (const quint32 address : checked.network.hosts()) {
            if (!seen.contains(address)) {
                seen.insert(address);
                addresses.push_back(address);
            }
        }
    }

    m_waiting = std::move(addresses);
    m_port = port;
    m_found.clear();
    m_tally = Tally{};
    m_running = true;
    const size_t parallel = std::min(size_t(std::max(m_limits.parallel, 1)), m_waiting.size());
    while (m_probes.size() < parallel) {
        auto probe = std::make_unique<Probe>();
        probe->socket = m_platform.createSocket();
        probe->deadline = m_platform.createTimer();
        Probe *p = probe.get();
        connect(p->socket.get(), &TcpSocket::ConnectEvent, this, [this, p] { onConnected(*p); });
        connect(p->socket.get(), &TcpSocket::DataArrival, this, [this, p] { onData(*p); });
        connect(p->socket.get(), &TcpSocket::CloseEvent, this, [this, p] { onClosed(*p); });
        connect(p->socket.get(), &TcpSocket::ErrorEvent, this, [this, p] { onError(*p); });
        connect(p->deadline.get(), &Timer::timeout, this, [this, p] { onDeadline(*p); });
        m_probes.push_back(std::move(probe));
    }
    // The first connections start from the event loop, as every later one does: finished()
    // never comes from inside start(), not even for an empty list.
    QMetaObject::invokeMethod(
        this,
        [this] {
            for (const auto &probe : m_probes) {
                if (!m_running) {
                    return;
                }
                if (!probe->busy) {
                    startNext(*probe);
                }
            }
            finishIfDone();
        },
        Qt::QueuedConnection);
    return true;
}

void RadioFinder::stop() {
    m_waiting.clear();
    m_running = false;
    for (const auto &probe : m_probes) {
        probe->deadline->setEnabled(false);
        probe->socket->Close();
        probe->busy = false;
    }
}

void RadioFinder::startNext(Probe &probe) {
    while (m_running && !m_waiting.empty()) {
        const quint32 address = m_waiting.front();
        m_waiting.pop_front();
        // start() took only findable networks; a public address never gets a connection.
        if (!IsFindableAddress(address)) {
            continue;
        }
        probe.address = address;
        probe.answer.clear();
        probe.connected = false;
        probe.busy = true;
        ++m_tally.asked;
        probe.deadline->setEnabled(false);
        probe.deadline->setInterval(m_limits.connectMs);
        probe.deadline->setEnabled(true);
        probe.socket->Connect(Ipv4Text(address), m_port);
        return;
    }
}

void RadioFinder::onConnected(Probe &probe) {
    if (!probe.busy || probe.connected) {
        return;
    }
    probe.connected = true;
    probe.deadline->setEnabled(false);
    probe.deadline->setInterval(m_limits.answerMs);
    probe.deadline->setEnabled(true);
    probe.socket->SendData(QString::fromLatin1(FinderQuery));
}

void RadioFinder::onData(Probe &probe) {
    const QByteArray bytes = probe.socket->GetData().toLatin1();
    if (!probe.busy) {
        return;
    }
    probe.answer += bytes.left(MaxAnswerBytes + 1 - probe.answer.size());
    if (probe.answer.contains('\n') || probe.answer.size() > MaxAnswerBytes) {
        judge(probe);
    }
}

void RadioFinder::onClosed(Probe &probe) {
    if (probe.busy) {
        judge(probe);
    }
}

void RadioFinder::onError(Probe &probe) {
    if (!probe.busy) {
        return;
    }
    // A host that answered and then reset the connection still said what it had to say.
    if (probe.connected && !probe.answer.isEmpty()) {
        judge(probe);
    } else {
        end(probe, probe.connected ? Outcome::Other : Outcome::Refused);
    }
}

void RadioFinder::onDeadline(Probe &probe) {
    if (probe.busy) {
        end(probe, Outcome::Silent);
    }
}

void RadioFinder::judge(Probe &probe) {
    QString version;
    if (probe.answer.size() <= MaxAnswerBytes && TakeVersionAnswer(probe.answer, version)) {
        end(probe, Outcome::Found, version);
    } else {
        end(probe, Outcome::Other);
    }
}

void RadioFinder::end(Probe &probe, Outcome outcome, const QString &version) {
    probe.busy = false;
    probe.deadline->setEnabled(false);
    probe.socket->Close();
    switch (outcome) {
    case Outcome::Found:
        ++m_tally.found;
        break;
    case Outcome::Refused:
        ++m_tally.refused;
        break;
    case Outcome::Silent:
        ++m_tally.silent;
        break;
    case Outcome::Other:
        ++m_tally.other;
        break;
    }
    // The next address goes from the event loop, not from inside this socket's own event.
    Probe *p = &probe;
    QMetaObject::invokeMethod(
        this,
        [this, p] {
            if (m_running && !p->busy) {
                startNext(*p);
            }
            finishIfDone();
        },
        Qt::QueuedConnection);
    if (outcome == Outcome::Found) {
        const FoundRadio radio{probe.address, m_port, version};
        m_found << radio;
        Q_EMIT radioFound(radio);
    }
}

void RadioFinder::finishIfDone() {
    if (!m_running || !m_waiting.empty() || asking() > 0) {
        return;
    }
    m_running = false;
    Q_EMIT finished();
}
