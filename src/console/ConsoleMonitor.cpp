#include "console/ConsoleMonitor.h"

#include "platform/NumericText.h"
#include "platform/Platform.h"
#include "radio_link/ConnectAttempt.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"

#include <algorithm>
#include <cmath>

namespace {

const QString General = QStringLiteral("General");

// Received text is normally taken by the 50 ms tick; a console that pours out more than this
// between two ticks is worked through at once, so the raw buffer stays small.
constexpr qsizetype BufferHighWater = 256 * 1024;

} // namespace

ConsoleMonitor::ConsoleMonitor(Platform &platform, const Timeouts &timeouts, ConnectExtraTime &connectExtra)
    : m_platform(platform)
    , m_timeouts(timeouts)
    , m_socket(platform.createSocket())
    , m_checkTimer(platform.createTimer())
    , m_refreshTimer(platform.createTimer())
    , m_sendTimer(platform.createTimer()) {
    m_checkTimer->setInterval(CheckInterval);
    m_refreshTimer->setInterval(RefreshLabelInterval);
    connect(m_checkTimer.get(), &Timer::timeout, this, &ConsoleMonitor::CheckConsoleSocket_Timer);
    connect(m_refreshTimer.get(), &Timer::timeout, this, &ConsoleMonitor::RefreshLabelTimer_Timer);
    connect(m_sendTimer.get(), &Timer::timeout, this, &ConsoleMonitor::checkSend);

    TcpSocket *socket = m_socket.get();
    connect(socket, &TcpSocket::ConnectEvent, this, &ConsoleMonitor::onConnect);
    connect(socket, &TcpSocket::DataArrival, this, &ConsoleMonitor::onDataArrival);
    connect(socket, &TcpSocket::CloseEvent, this, &ConsoleMonitor::onClose);
    connect(socket, &TcpSocket::ErrorEvent, this, [this](int, const QString &description) { onError(description); });
    connect(socket, &TcpSocket::SendProgress, this, [this] { m_sendComplete = false; });
    connect(socket, &TcpSocket::SendComplete, this, [this] {
        m_sendComplete = true;
        checkSend();
    });

    // Made after the handlers above, so a socket error is shown before the attempt's result
    // replaces it, as the result is the later news.
    m_attempt = std::make_unique<ConnectAttempt>(platform, *m_socket, connectExtra);
    connect(m_attempt.get(), &ConnectAttempt::finished, this, [this](bool, const QString &result) {
        attemptFinished(result);
        Q_EMIT changed();
    });
}

ConsoleMonitor::~ConsoleMonitor() = default;

void ConsoleMonitor::Form_Load(const INIFILES &ini) {
    ConsoleAddress = ini.ReadSetting(General, QStringLiteral("ConsoleAddress"), QStringLiteral("192.168.1.88"));
    ConsolePort = ini.ReadSetting(General, QStringLiteral("ConsolePort"), QStringLiteral("8899"));
    ConsoleCaptureText.clear();
    const QString where = ConsoleAddress + QLatin1Char(':') + ConsolePort;
    StatusPanel[1] = TcpSocket::stateName(m_socket->State());
    StatusPanel[3] = where;
    StatusTip[1] = where;
    StatusTip[2] = QStringLiteral("Characters waiting to be read");
    StatusTip[3] = QStringLiteral("Click to show or hide the summary");
    Q_EMIT changed();
}

bool ConsoleMonitor::connecting() const {
    return m_attempt->isActive();
}

void ConsoleMonitor::Form_Unload(INIFILES &ini) {
    ini.WriteSetting(General, QStringLiteral("ConsoleAddress"), ConsoleAddress);
    ini.WriteSetting(General, QStringLiteral("ConsolePort"), ConsolePort);
    m_socket->Close();
    m_attempt->check();
    finishSend();
    m_checkTimer->setEnabled(false);
    m_refreshTimer->setEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// Connecting

void ConsoleMonitor::ConsoleText_DblClick() {
    if (m_socket->State() == TcpSocket::sckConnected) {
        m_socket->Close();
        Q_EMIT changed();
        return;
    }
    connectToConsole();
    Q_EMIT changed();
}

void ConsoleMonitor::StatusBar_PanelDblClick(int panel) {
    if (panel != 1 && panel != 2) {
        return;
    }
    if (m_socket->State() == TcpSocket::sckClosed) {
        connectToConsole();
    } else {
        m_socket->Close();
        m_attempt->check();
    }
    Q_EMIT changed();
}

void ConsoleMonitor::connectToConsole() {
    if (m_socket->State() != TcpSocket::sckClosed) {
        m_socket->Close();
        m_attempt->check(); // an attempt still waiting ends here, as a failure
    }
    ConsoleText.clear();
    m_buffer.clear();
    m_reader.clear();
    m_checkTimer->setEnabled(true);

    const double portNumber = NumericText::Val(ConsolePort);
    const quint16 port = portNumber >= 0 && portNumber <= 65535 ? quint16(std::lround(portNumber)) : 0;
    StatusPanel[3] = ConsoleAddress + QLatin1Char(':') + ConsolePort;
    restartRefreshLabel();
    m_attempt->start(ConsoleAddress, port, m_timeouts.Connect);
}

void ConsoleMonitor::armTimer(Timer &timer, qint64 deadline) {
    const qint64 left = deadline - m_platform.clock().nowMs();
    timer.setEnabled(false);
    timer.setInterval(int(std::max<qint64>(1, left)));
    timer.setEnabled(true);
}

void ConsoleMonitor::attemptFinished(const QString &result) {
    StatusPanel[3] = result;
    restartRefreshLabel();
    m_checkTimer->setEnabled(true);
}

// ---------------------------------------------------------------------------------------------
// Sending

bool ConsoleMonitor::SendToConsole(const QString &text) {
    if (m_sending) {
        return false;
    }
    m_sendComplete = false;
    m_socketError = false;
    if (m_socket->State() != TcpSocket::sckConnected) {
        return false;
    }
    m_sending = true;
    m_sendDeadline = m_platform.clock().nowMs() + SendTimeLimit;
    m_socket->SendData(text);
    checkSend();
    return true;
}

void ConsoleMonitor::ConsoleText_KeyPress(const QString &text) {
    SendToConsole(text);
}

void ConsoleMonitor::checkSend() {
    if (!m_sending) {
        m_sendTimer->setEnabled(false);
        return;
    }
    // A socket that closed or failed will never confirm the send.
    if (m_sendComplete || m_socketError || m_socket->State() != TcpSocket::sckConnected ||
        m_platform.clock().nowMs() >= m_sendDeadline) {
        finishSend();
    } else {
        armTimer(*m_sendTimer, m_sendDeadline);
    }
}

void ConsoleMonitor::finishSend() {
    m_sending = false;
    m_sendTimer->setEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// Socket events

void ConsoleMonitor::onConnect() {
    TextColour = White;
    m_sendComplete = false;
    m_socketError = false;
    Q_EMIT changed();
}

void ConsoleMonitor::onDataArrival() {
    m_buffer += m_socket->GetData();
    if (m_buffer.size() > BufferHighWater) {
        processBuffer();
    }
    showWaiting();
    Q_EMIT changed();
}

void ConsoleMonitor::onClose() {
    m_socket->Close();
    TextColour = Yellow;
    checkSend();
    Q_EMIT changed();
}

void ConsoleMonitor::onError(const QString &description) {
    TextColour = Red;
    StatusPanel[3] = description;
    restartRefreshLabel();
    m_socketError = true;
    m_socket->Close();
    checkSend();
    Q_EMIT changed();
}

// ---------------------------------------------------------------------------------------------
// Timers

void ConsoleMonitor::CheckConsoleSocket_Timer() {
    const qint16 s = m_socket->State();
    if (s != m_lastStateShown) {
        m_lastStateShown = s;
        StatusPanel[1] = TcpSocket::stateName(s);
        if (s == TcpSocket::sckClosing || s == TcpSocket::sckError) {
            m_socket->Close();
            m_attempt->check();
            checkSend();
        }
    }
    showWaiting();
    processBuffer();
    Q_EMIT changed();
}

void ConsoleMonitor::processBuffer() {
    if (m_buffer.isEmpty()) {
        return;
    }
    const QString text = m_buffer;
    m_buffer.clear();
    // Only what is new goes to the raw view; an unfinished line waits in the reader and is
    // not shown a second time when its rest arrives.
    ConsoleText += text;
    if (ConsoleText.size() > TextLimit) {
        ConsoleText.remove(0, ConsoleText.size() - TextLimit);
    }
    if (m_reader.feed(text)) {
        ConsoleCaptureText = m_reader.summary().text();
    }
}

void ConsoleMonitor::showWaiting() {
    const qsizetype waiting = waitingCharacters();
    if (waiting != m_waitingShown) {
        m_waitingShown = waiting;
        StatusPanel[2] = QString::number(waiting);
    }
}

void ConsoleMonitor::restartRefreshLabel() {
    m_refreshTimer->setEnabled(false);
    m_refreshTimer->setEnabled(true);
}

void ConsoleMonitor::RefreshLabelTimer_Timer() {
    m_refreshTimer->setEnabled(false);
    const QString where = ConsoleAddress + QLatin1Char(':') + ConsolePort;
    StatusTip[1] = where;
    if (m_socket->State() == TcpSocket::sckConnected) {
        StatusTip[3] = StatusPanel[3];
        StatusPanel[3] = where;
    }
    Q_EMIT changed();
}

// ---------------------------------------------------------------------------------------------
// Clicks

void ConsoleMonitor::StatusBar_PanelClick(int panel) {
    if (panel != 3) {
        return;
    }
    CaptureVisible = !CaptureVisible;
    Q_EMIT changed();
}

void ConsoleMonitor::ConsoleCaptureText_DblClick() {
    ConsoleCaptureText.clear();
    m_reader.clearCurls();
    Q_EMIT changed();
}
