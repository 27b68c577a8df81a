#include "platform/ConnectAttempt.h"

#include "platform/NumericText.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>

ConnectAttempt::ConnectAttempt(Platform &platform, TcpSocket &socket, ConnectExtraTime &extra, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_socket(socket)
    , m_extra(extra)
    , m_deadlineTimer(platform.createTimer()) {
    connect(m_deadlineTimer.get(), &Timer::timeout, this, &ConnectAttempt::check);
    connect(&m_socket, &TcpSocket::ConnectEvent, this, &ConnectAttempt::check);
    connect(&m_socket, &TcpSocket::CloseEvent, this, &ConnectAttempt::check);
    connect(&m_socket, &TcpSocket::ErrorEvent, this, &ConnectAttempt::check);
}

ConnectAttempt::~ConnectAttempt() = default;

bool ConnectAttempt::start(const QString &host, quint16 port, float connectSeconds) {
    if (m_active) {
        return false;
    }
    if (m_socket.State() != TcpSocket::sckConnected) {
        m_socket.Close();
        m_socket.setLocalPort(0);
        m_socket.Connect(host, port);
    }
    m_active = true;
    m_t0 = m_platform.clock().nowMs();
    m_timeoutShown = connectSeconds + m_extra.seconds;
    m_deadline = m_t0 + qint64(std::llround(double(m_timeoutShown) * 1000.0));
    armDeadline();
    check();
    return true;
}

void ConnectAttempt::armDeadline() {
    const qint64 left = m_deadline - m_platform.clock().nowMs();
    m_deadlineTimer->setEnabled(false);
    m_deadlineTimer->setInterval(int(std::max<qint64>(1, left)));
    m_deadlineTimer->setEnabled(true);
}

void ConnectAttempt::check() {
    if (!m_active) {
        return;
    }
    const qint16 s = m_socket.State();
    const bool settled = s == TcpSocket::sckConnected || s == TcpSocket::sckClosed || s == TcpSocket::sckError;
    if (settled || m_platform.clock().nowMs() >= m_deadline) {
        finish();
    } else {
        armDeadline();
    }
}

QString ConnectAttempt::resultText(bool connected, qint64 elapsedMs, float timeoutSeconds) {
    // Shown to two decimals, then as the shortest text of that number: 1.2, 0.46.
    const float elapsed = float(std::round(double(elapsedMs) / 10.0) / 100.0);
    return (connected ? QStringLiteral("Open in ") : QStringLiteral("Fail in ")) + NumericText::SingleText(elapsed) +
           QStringLiteral(" sec [") + NumericText::SingleText(timeoutSeconds) + QStringLiteral("]");
}

void ConnectAttempt::finish() {
    m_active = false;
    m_deadlineTimer->setEnabled(false);
    const bool connected = m_socket.State() == TcpSocket::sckConnected;
    const QString result = resultText(connected, m_platform.clock().nowMs() - m_t0, m_timeoutShown);
    if (connected) {
        m_extra.succeeded();
    } else {
        m_socket.Close();
        m_extra.failed();
    }
    Q_EMIT finished(connected, result);
}
