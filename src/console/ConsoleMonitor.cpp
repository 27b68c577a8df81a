#include "console/ConsoleMonitor.h"

#include "platform/ConnectAttempt.h"
#include "platform/NumericText.h"
#include "platform/Platform.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"

#include <algorithm>
#include <cmath>

namespace {

const QString General = QStringLiteral("General");
const QString WaitingTip = QStringLiteral("Characters waiting to be read");

bool isLineEnd(QChar c) {
    return c == u'\n' || c == u'\r';
}

} // namespace

ConsoleMonitor::ConsoleMonitor(Platform &platform, const Timeouts &timeouts, ConnectExtraTime &connectExtra)
    : m_platform(platform)
    , m_timeouts(timeouts)
    , m_socket(platform.createSocket())
    , m_checkTimer(platform.createTimer())
    , m_refreshTimer(platform.createTimer())
    , m_sendTimer(platform.createTimer())
    , m_viewTimer(platform.createTimer()) {
    m_checkTimer->setInterval(CheckInterval);
    m_refreshTimer->setInterval(RefreshLabelInterval);
    m_viewTimer->setInterval(ViewInterval);
    connect(m_viewTimer.get(), &Timer::timeout, this, &ConsoleMonitor::ViewTimer_Timer);
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
        showNow();
    });
}

ConsoleMonitor::~ConsoleMonitor() = default;

void ConsoleMonitor::takeAddress(INIFILES &ini) {
    ConsoleAddress = ini.ReadValid(General, QStringLiteral("ConsoleAddress"), QStringLiteral("192.168.1.88"),
                                   SettingRange::IsHostText);
    ConsolePort =
        ini.ReadValid(General, QStringLiteral("ConsolePort"), QStringLiteral("8899"), SettingRange::IsPortText);
    if (m_socket->State() == TcpSocket::sckClosed) {
        StatusPanel[3] = ConsoleAddress + QLatin1Char(':') + ConsolePort;
        StatusTip[1] = StatusPanel[3];
    }
    showNow();
}

bool ConsoleMonitor::setAddress(INIFILES &ini, const QString &host, const QString &port) {
    const QString h = host.trimmed();
    const QString p = port.trimmed();
    const bool hostOk = SettingRange::IsHostText(h);
    const bool portOk = SettingRange::IsPortText(p);
    if (hostOk && h != ConsoleAddress) {
        ConsoleAddress = h;
        ini.WriteSetting(General, QStringLiteral("ConsoleAddress"), h);
        ini.WriteSetting(General, QStringLiteral("ConsoleFollowsRadio"), QStringLiteral("0"));
    }
    if (portOk && p != ConsolePort) {
        ConsolePort = p;
        ini.WriteSetting(General, QStringLiteral("ConsolePort"), p);
    }
    showNow();
    return hostOk && portOk;
}

QString ConsoleMonitor::paneNotice() const {
    const QString where = ConsoleAddress + QLatin1Char(':') + ConsolePort;
    switch (m_socket->State()) {
    case TcpSocket::sckConnected:
        return QStringLiteral("Connected to %1.\nWaiting for the radio to write to its console...").arg(where);
    case TcpSocket::sckClosed:
        return QStringLiteral("Not connected. Connect (or a double click here) opens the radio's console at %1.")
            .arg(where);
    default:
        return QStringLiteral("Connecting to %1 ...").arg(where);
    }
}

void ConsoleMonitor::Form_Load(INIFILES &ini) {
    takeAddress(ini);
    ConsoleCaptureText.clear();
    const QString where = ConsoleAddress + QLatin1Char(':') + ConsolePort;
    StatusPanel[1] = TcpSocket::stateName(m_socket->State());
    StatusPanel[3] = where;
    StatusTip[1] = where;
    StatusTip[2] = WaitingTip;
    StatusTip[3] = QStringLiteral("Click to show or hide the summary");
    showNow();
}

bool ConsoleMonitor::connecting() const {
    return m_attempt->isActive();
}

void ConsoleMonitor::Form_Unload() {
    m_socket->Close();
    m_attempt->check();
    finishSend();
    m_checkTimer->setEnabled(false);
    m_refreshTimer->setEnabled(false);
    m_viewTimer->setEnabled(false);
    m_viewDirty = false;
}

// ---------------------------------------------------------------------------------------------
// Connecting

void ConsoleMonitor::ConsoleText_DblClick() {
    if (m_socket->State() == TcpSocket::sckConnected) {
        m_socket->Close();
        showNow();
        return;
    }
    connectToConsole();
    showNow();
}

void ConsoleMonitor::StatusBar_PanelDblClick(int panel) {
    if (panel == 1 || panel == 2) {
        ConnectButton_Click();
    }
}

bool ConsoleMonitor::connectionOpen() const {
    return m_socket->State() != TcpSocket::sckClosed;
}

void ConsoleMonitor::ConnectButton_Click() {
    if (m_socket->State() == TcpSocket::sckClosed) {
        connectToConsole();
    } else {
        m_socket->Close();
        m_attempt->check();
    }
    showNow();
}

void ConsoleMonitor::connectToConsole() {
    if (m_socket->State() != TcpSocket::sckClosed) {
        m_socket->Close();
        m_attempt->check(); // an attempt still waiting ends here, as a failure
    }
    clearText();
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
    showNow();
}

void ConsoleMonitor::onDataArrival() {
    const QString text = m_socket->GetData();
    if (text.isEmpty()) {
        return;
    }
    // A console that sends more in one tick than the rules read in one is held back by TCP
    // until the next tick: reading what would only be dropped costs a core under a flood.
    m_readThisTick += text.size();
    if (m_readThisTick >= ChunkLimit) {
        m_socket->setReadPaused(true);
    }
    // The raw view shows the newest text at once, whether or not the rules get to read it.
    addText(text);
    // The rules read in order from a bounded backlog; when they fall behind, the oldest text
    // goes unread rather than piling up.
    const qsizetype keep = std::min(text.size(), BacklogLimit);
    const qsizetype dropOld = std::max<qsizetype>(0, m_buffer.size() + keep - BacklogLimit);
    if (dropOld > 0 || keep < text.size()) {
        const QChar lastDropped = keep < text.size() ? text.at(text.size() - keep - 1) : m_buffer.at(dropOld - 1);
        m_buffer.remove(0, dropOld);
        m_dropped += dropOld + text.size() - keep;
        if (isLineEnd(lastDropped)) {
            m_reader.clear();
        } else {
            m_reader.skipToNextLine();
        }
    }
    m_buffer += QStringView(text).right(keep);
    m_viewDirty = true;
    showWaiting();
    showSoon();
}

void ConsoleMonitor::onClose() {
    m_socket->Close();
    TextColour = Yellow;
    checkSend();
    showNow();
}

void ConsoleMonitor::onError(const QString &description) {
    TextColour = Red;
    StatusPanel[3] = description;
    restartRefreshLabel();
    m_socketError = true;
    m_socket->Close();
    checkSend();
    showNow();
}

// ---------------------------------------------------------------------------------------------
// Timers

void ConsoleMonitor::CheckConsoleSocket_Timer() {
    m_readThisTick = 0;
    m_socket->setReadPaused(false);
    const qint16 s = m_socket->State();
    if (s != m_lastStateShown) {
        m_lastStateShown = s;
        StatusPanel[1] = TcpSocket::stateName(s);
        if (s == TcpSocket::sckClosing || s == TcpSocket::sckError) {
            m_socket->Close();
            m_attempt->check();
            checkSend();
        }
        m_viewDirty = true;
    }
    showWaiting();
    processBuffer();
    showSoon();
    // A closed console with nothing left to read has no use for the tick; connecting starts
    // it again.
    if (s == TcpSocket::sckClosed && !m_attempt->isActive() && m_buffer.isEmpty()) {
        m_checkTimer->setEnabled(false);
    }
}

void ConsoleMonitor::processBuffer() {
    if (m_buffer.isEmpty()) {
        return;
    }
    // One chunk a tick: a backlog larger than that waits for the next ticks, and other events
    // are handled in between.
    const qsizetype take = std::min(m_buffer.size(), ChunkLimit);
    if (m_reader.feed(QStringView(m_buffer).left(take))) {
        ConsoleCaptureText = m_reader.summary().text();
    }
    if (take == m_buffer.size()) {
        m_buffer.clear(); // gives the memory back
    } else {
        m_buffer.remove(0, take);
    }
    m_viewDirty = true;
}

void ConsoleMonitor::addText(const QString &text) {
    // An unfinished line is shown as it comes and not a second time when its rest arrives.
    if (text.size() >= TextLimit) {
        ConsoleText = text.right(TextLimit);
    } else {
        const qsizetype excess = ConsoleText.size() + text.size() - TextLimit;
        if (excess > 0) {
            ConsoleText.remove(0, excess);
        }
        ConsoleText += text;
    }
    m_textAdded += text.size();
}

void ConsoleMonitor::clearText() {
    ConsoleText.clear();
    m_textAdded = 0;
    ++m_textClears;
}

qsizetype ConsoleMonitor::keptCharacters() const {
    return ConsoleText.size() + m_buffer.size() + m_reader.keptCharacters() + ConsoleCaptureText.size();
}

void ConsoleMonitor::showWaiting() {
    const qsizetype waiting = waitingCharacters();
    if (waiting != m_waitingShown) {
        m_waitingShown = waiting;
        StatusPanel[2] = QString::number(waiting);
        m_viewDirty = true;
    }
    if (m_dropped != m_droppedShown) {
        m_droppedShown = m_dropped;
        StatusTip[2] =
            WaitingTip +
            QStringLiteral("; %1 not read, as the console sent faster than they could be read").arg(m_dropped);
        m_viewDirty = true;
    }
}

void ConsoleMonitor::showSoon() {
    // The first change after a quiet interval is shown at once; the ones after it wait for the
    // interval's end.
    if (!m_viewDirty || m_viewTimer->isEnabled()) {
        return;
    }
    m_viewTimer->setEnabled(true);
    showNow();
}

void ConsoleMonitor::ViewTimer_Timer() {
    if (!m_viewDirty) {
        m_viewTimer->setEnabled(false);
        return;
    }
    showNow(); // and the timer runs on: the next changes wait another interval
}

void ConsoleMonitor::showNow() {
    m_viewDirty = false;
    Q_EMIT changed();
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
    showNow();
}

// ---------------------------------------------------------------------------------------------
// Clicks

void ConsoleMonitor::StatusBar_PanelClick(int panel) {
    if (panel != 3) {
        return;
    }
    CaptureVisible = !CaptureVisible;
    showNow();
}

void ConsoleMonitor::ConsoleCaptureText_DblClick() {
    ConsoleCaptureText.clear();
    m_reader.clearCurls();
    showNow();
}
