#include "finder/FirstContact.h"

#include "platform/ConnectFailure.h"
#include "platform/Platform.h"
#include "settings/SettingRanges.h"

#include <algorithm>

namespace {

constexpr quint16 DefaultRadioPort = 8080;
constexpr int MaxTestAnswerBytes = 256;

// What a host that is not the radio said, fit to be shown: its first line, printable
// characters only, short.
QString ShownAnswer(const QByteArray &answer) {
    QString shown;
    for (const char c : answer.left(answer.indexOf('\n')).left(40)) {
        if (c == '\r') {
            continue;
        }
        const auto u = static_cast<unsigned char>(c);
        shown += u >= 0x20 && u < 0x7f ? QChar(u) : QChar(u'?');
    }
    return shown.trimmed();
}

// The dialog is where the address is changed: the failure needs no pointer to it.
QString Unreachable(const QString &address, const QString &why) {
    return QStringLiteral("Cannot reach %1: %2.").arg(address, why);
}

} // namespace

FirstContact::FirstContact(Platform &platform, NetworkSource networks, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_networks(std::move(networks))
    , m_finder(platform)
    , m_testSocket(platform.createSocket())
    , m_testDeadline(platform.createTimer()) {
    connect(&m_finder, &RadioFinder::radioFound, this, [this](const FoundRadio &radio) {
        m_found << radio;
        std::sort(m_found.begin(), m_found.end(),
                  [](const FoundRadio &a, const FoundRadio &b) { return a.address < b.address; });
        Q_EMIT changed();
    });
    connect(&m_finder, &RadioFinder::finished, this, &FirstContact::searchFinished);

    m_testDeadline->setEnabled(false);
    connect(m_testDeadline.get(), &Timer::timeout, this, [this] {
        if (!m_testing) {
            return;
        }
        testEnded(m_testConnected
                      ? QStringLiteral("%1 took the connection but gave no answer to VERSION within %2 s: "
                                       "is this the radio's command port?")
                            .arg(m_testedAddress)
                            .arg(m_testLimits.answerMs / 1000.0)
                      : Unreachable(m_testedAddress, ConnectFailureWords(ConnectFailureKind::TimedOut, QString())),
                  false);
    });
    connect(m_testSocket.get(), &TcpSocket::ConnectEvent, this, &FirstContact::testConnected);
    connect(m_testSocket.get(), &TcpSocket::DataArrival, this, &FirstContact::testData);
    connect(m_testSocket.get(), &TcpSocket::CloseEvent, this, [this] {
        if (m_testing) {
            testData();
        }
        if (m_testing) {
            testEnded(m_testAnswer.isEmpty()
                          ? QStringLiteral("%1 closed the connection without an answer").arg(m_testedAddress)
                          : QStringLiteral("%1 answers, but not as the radio does: \"%2\"")
                                .arg(m_testedAddress, ShownAnswer(m_testAnswer)),
                      false);
        }
    });
    connect(m_testSocket.get(), &TcpSocket::ErrorEvent, this, [this](int number, const QString &description) {
        if (!m_testing) {
            return;
        }
        if (m_testConnected && !m_testAnswer.isEmpty()) {
            testData();
            if (!m_testing) {
                return;
            }
        }
        const ConnectFailureKind kind = ConnectFailureOf(true, number, description);
        testEnded(Unreachable(m_testedAddress, ConnectFailureWords(kind, description)), false);
    });
}

FirstContact::~FirstContact() {
    stop();
    m_testSocket->disconnect(this); // nothing the socket says as it goes reaches a half-gone object
}

void FirstContact::load(const Choice &choice) {
    stop();
    m_choice = choice;
    if (m_choice.consoleFollowsRadio) {
        m_choice.consoleHost = m_choice.radioHost;
    }
    m_found.clear();
    m_findText.clear();
    m_testText.clear();
    m_testPassed = false;
    Q_EMIT changed();
}

void FirstContact::setRadioHost(const QString &text) {
    m_choice.radioHost = text.trimmed();
    if (m_choice.consoleFollowsRadio) {
        m_choice.consoleHost = m_choice.radioHost;
    }
    Q_EMIT changed();
}

void FirstContact::setRadioPort(const QString &text) {
    m_choice.radioPort = text.trimmed();
    Q_EMIT changed();
}

void FirstContact::setConsoleHost(const QString &text) {
    m_choice.consoleHost = text.trimmed();
    Q_EMIT changed();
}

void FirstContact::setConsolePort(const QString &text) {
    m_choice.consolePort = text.trimmed();
    Q_EMIT changed();
}

void FirstContact::setConsoleFollowsRadio(bool follows) {
    m_choice.consoleFollowsRadio = follows;
    if (follows) {
        m_choice.consoleHost = m_choice.radioHost;
    }
    Q_EMIT changed();
}

bool FirstContact::find() {
    m_finder.stop();
    m_found.clear();
    const QList<Ipv4Network> networks = m_networks ? m_networks() : QList<Ipv4Network>();
    if (networks.isEmpty()) {
        m_findText = QStringLiteral("This computer is on no private network (10.x.x.x, 172.16-31.x.x, "
                                    "192.168.x.x) to search: type the radio's address.");
        Q_EMIT changed();
        return false;
    }
    const quint16 port =
        SettingRange::IsPortText(m_choice.radioPort) ? quint16(m_choice.radioPort.toUInt()) : DefaultRadioPort;
    QString error;
    if (!m_finder.start(networks, port, &error)) {
        m_findText = error;
        Q_EMIT changed();
        return false;
    }
    QStringList names;
    for (const Ipv4Network &network : networks) {
        names << network.text();
    }
    m_findText =
        QStringLiteral("Looking for radios on port %1 in %2 ...").arg(port).arg(names.join(QStringLiteral(", ")));
    Q_EMIT changed();
    return true;
}

void FirstContact::searchFinished() {
    const RadioFinder::Tally &tally = m_finder.tally();
    if (m_found.isEmpty()) {
        m_findText = QStringLiteral("No radio answered (%1 addresses asked: %2 refused, %3 silent, %4 answered "
                                    "something else). Is the radio on, and on this network? Type its address.")
                         .arg(tally.asked)
                         .arg(tally.refused)
                         .arg(tally.silent)
                         .arg(tally.other);
    } else {
        m_findText = m_found.size() == 1 ? QStringLiteral("1 radio found: pick it to use it.")
                                         : QStringLiteral("%1 radios found: pick the one to use.").arg(m_found.size());
    }
    Q_EMIT changed();
}

void FirstContact::pick(int index) {
    if (index < 0 || index >= m_found.size()) {
        return;
    }
    const FoundRadio &radio = m_found.at(index);
    m_choice.radioPort = QString::number(radio.port);
    setRadioHost(radio.addressText());
}

QString FirstContact::radioAddressText() const {
    const QString &host = m_choice.radioHost;
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + m_choice.radioPort;
}

void FirstContact::test() {
    m_testSocket->Close();
    m_testDeadline->setEnabled(false);
    m_testAnswer.clear();
    m_testConnected = false;
    m_testPassed = false;
    if (!SettingRange::IsHostText(m_choice.radioHost) || !SettingRange::IsPortText(m_choice.radioPort)) {
        m_testing = false;
        m_testText = problem();
        Q_EMIT changed();
        return;
    }
    m_testing = true;
    m_testedAddress = radioAddressText();
    m_testText = QStringLiteral("Asking %1 for its version ...").arg(m_testedAddress);
    m_testDeadline->setInterval(m_testLimits.connectMs);
    m_testDeadline->setEnabled(true);
    m_testSocket->Connect(m_choice.radioHost, quint16(m_choice.radioPort.toUInt()));
    Q_EMIT changed();
}

void FirstContact::testConnected() {
    if (!m_testing || m_testConnected) {
        return;
    }
    m_testConnected = true;
    m_testDeadline->setEnabled(false);
    m_testDeadline->setInterval(m_testLimits.answerMs);
    m_testDeadline->setEnabled(true);
    m_testSocket->SendData(QString::fromLatin1(FinderQuery));
}

void FirstContact::testData() {
    const QByteArray bytes = m_testSocket->GetData().toLatin1();
    if (!m_testing) {
        return;
    }
    m_testAnswer += bytes.left(MaxTestAnswerBytes + 1 - m_testAnswer.size());
    if (!m_testAnswer.contains('\n') && m_testAnswer.size() <= MaxTestAnswerBytes) {
        return; // the rest of the line, or the close, is still to come
    }
    QString version;
    if (m_testAnswer.size() <= MaxTestAnswerBytes && TakeVersionAnswer(m_testAnswer, version)) {
        testEnded(QStringLiteral("The radio at %1 answers: version %2").arg(m_testedAddress, version), true);
    } else {
        testEnded(QStringLiteral("%1 answers, but not as the radio does: \"%2\"")
                      .arg(m_testedAddress, ShownAnswer(m_testAnswer)),
                  false);
    }
}

void FirstContact::testEnded(const QString &text, bool passed) {
    m_testing = false;
    m_testPassed = passed;
    m_testDeadline->setEnabled(false);
    m_testSocket->Close();
    m_testText = text;
    Q_EMIT changed();
}

QString FirstContact::problem() const {
    if (m_choice.radioHost.isEmpty()) {
        return QStringLiteral("Type the radio's address, or find it.");
    }
    if (!SettingRange::IsHostText(m_choice.radioHost)) {
        return QStringLiteral("The radio's address \"%1\" is no host name or address.").arg(m_choice.radioHost);
    }
    if (!SettingRange::IsPortText(m_choice.radioPort)) {
        return QStringLiteral("The radio's port \"%1\" is no port from 1 to 65535.").arg(m_choice.radioPort);
    }
    if (!m_choice.consoleFollowsRadio && !SettingRange::IsHostText(m_choice.consoleHost)) {
        return QStringLiteral("The console's address \"%1\" is no host name or address.").arg(m_choice.consoleHost);
    }
    if (!SettingRange::IsPortText(m_choice.consolePort)) {
        return QStringLiteral("The console's port \"%1\" is no port from 1 to 65535.").arg(m_choice.consolePort);
    }
    return QString();
}

bool FirstContact::apply() {
    if (!problem().isEmpty()) {
        Q_EMIT changed();
        return false;
    }
    Q_EMIT applied(m_choice);
    return true;
}

void FirstContact::stop() {
    m_finder.stop();
    if (m_testing) {
        m_testing = false;
        m_testDeadline->setEnabled(false);
        m_testSocket->Close();
    }
}
