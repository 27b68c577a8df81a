#include "radio_link/RadioConnection.h"

#include "platform/ConnectFailure.h"
#include "platform/NumericText.h"
#include "platform/Platform.h"
#include "radio_link/AutomaticPoll.h"
#include "radio_link/LinkHooks.h"
#include "radio_link/RadioState.h"
#include "radio_link/ReplyDecoder.h"
#include "radio_link/ReplyHandshake.h"
#include "radio_link/Telnet.h"
#include "session/RadioView.h"
#include "settings/Timeouts.h"

#include <QAbstractSocket>

#include <algorithm>
#include <cmath>

RadioConnection::RadioConnection(Platform &platform, Telnet &telnet, AutomaticPoll &poll, RadioState &state,
                                 const Timeouts &timeouts, LinkSettings &settings, RadioView &view,
                                 const LinkHooks &hooks)
    : m_platform(platform)
    , m_telnet(telnet)
    , m_poll(poll)
    , m_state(state)
    , m_timeouts(timeouts)
    , m_settings(settings)
    , m_view(view)
    , m_hooks(hooks)
    , m_resetTimer(platform.createTimer())
    , m_remarkTimer(platform.createTimer())
    , m_checkTelnet(platform.createTimer())
    , m_offlineTimer(platform.createTimer()) {
    for (int i = 0; i < 2; ++i) {
        RadioChannel &channel = m_channels[size_t(i)];
        channel.setPort(platform.createSocket());
        TcpSocket *port = &channel.port();
        connect(port, &TcpSocket::ConnectEvent, this, [this, i] { onConnect(i); });
        connect(port, &TcpSocket::DataArrival, this, [this, i] { onDataArrival(i); });
        connect(port, &TcpSocket::CloseEvent, this, [this, i] { onClose(i); });
        connect(port, &TcpSocket::ErrorEvent, this, [this, i](int number, const QString &description) {
            RadioChannel &ch = m_channels[size_t(i)];
            ch.lastError = number;
            ch.lastErrorText = description;
            ch.errorSeen = true;
            onError(i);
        });
        connect(port, &TcpSocket::SendProgress, this, [this, i] { onSendProgress(i); });
        connect(port, &TcpSocket::SendComplete, this, [this, i] { onSendComplete(i); });
        channel.setAttempt(std::make_unique<ConnectAttempt>(platform, *port, ConnectExtra));
        connect(&channel.attempt(), &ConnectAttempt::finished, this, [this, i](bool connected, const QString &result) {
            openAttemptFinished(i, connected, result);
            m_view.flush();
        });
        channel.setDeliveryTimer(platform.createTimer());
        connect(&channel.deliveryTimer(), &Timer::timeout, this, [this, i] { deliveryTimedOut(i); });
    }
    m_resetTimer->setInterval(ResetInterval);
    m_remarkTimer->setInterval(RemarkInterval);
    m_checkTelnet->setInterval(Telnet::WakeInterval);
    connect(m_resetTimer.get(), &Timer::timeout, this, &RadioConnection::ResetTimer_Timer);
    connect(m_remarkTimer.get(), &Timer::timeout, this, &RadioConnection::RemarkTimer_Timer);
    connect(m_checkTelnet.get(), &Timer::timeout, this, &RadioConnection::Timer_CheckTelnet_Timer);
    connect(m_offlineTimer.get(), &Timer::timeout, this, &RadioConnection::OfflineTimer_Timer);
    connect(&m_telnet.CheckOutBuffer(), &Timer::timeout, this, &RadioConnection::CheckOutBuffer_Timer);
}

RadioConnection::~RadioConnection() = default;

void RadioConnection::start() {
    m_started = true;
    wakeReplyTick();
}

void RadioConnection::wakeReplyTick() {
    if (m_started && !m_checkTelnet->isEnabled()) {
        m_checkTelnet->setEnabled(true);
    }
}

// ---------------------------------------------------------------------------------------------
// Opening a connection

void RadioConnection::DoOpenPort(int channel, std::function<void(bool)> done) {
    if (channel < 0 || channel > 1) {
        return;
    }
    RadioChannel &ch = m_channels[size_t(channel)];
    ConnectAttempt &attempt = ch.attempt();
    if (done) {
        ch.awaitOpen(std::move(done));
    }
    if (attempt.isActive()) {
        return; // joins the attempt running
    }
    // What no connection attempt can fix is said as such, at once, and the command stays queued
    // until the user corrects the address or the port in the main window.
    const double portNumber = NumericText::Val(m_settings.txtPort);
    QString problem;
    if (m_settings.txtUrl.trimmed().isEmpty()) {
        problem = QStringLiteral("No address: type the radio's address");
    } else if (portNumber < 1 || portNumber > 65535 || portNumber != std::floor(portNumber)) {
        problem = QStringLiteral("Invalid port %1: use 1 to 65535").arg(m_settings.txtPort);
    }
    if (!problem.isEmpty()) {
        dropConnection(channel);
        m_state.poll.PollCountdown = 0;
        m_view.StatusPanel[3] = problem;
        m_view.UrlToolTip = problem;
        m_view.touch();
        Q_EMIT m_view.connectFailed(triedAddress(), problem);
        ch.openFinished(false);
        return;
    }
    ch.lastError = 0;
    ch.lastErrorText.clear();
    ch.errorSeen = false;
    // The display's refresh would queue polls while we wait; hold it until the last attempt ends.
    if (m_attemptsRunning++ == 0) {
        m_poll.hold();
    }
    m_remarkTimer->setEnabled(false);

    if (RadioPort(channel).State() != TcpSocket::sckConnected) {
        dropConnection(channel); // a half-open or failed socket is reset before a new attempt
    }
    QString host = m_settings.txtUrl;
    for (size_t k = 1; k < ResolvedHosts.size(); ++k) {
        if (ResolvedHosts[k].HostName == m_settings.txtUrl) {
            host = ResolvedHosts[k].Address;
            break;
        }
    }
    requestBegins(channel);
    attempt.start(host, quint16(portNumber), m_timeouts.Connect);
}

void RadioConnection::openAttemptFinished(int channel, bool connected, const QString &result) {
    m_view.StatusPanel[3] = result;
    if (!connected) {
        const RadioChannel &failed = m_channels[size_t(channel)];
        radioFailed(channel,
                    ConnectFailureBrief(ConnectFailureOf(failed.errorSeen, failed.lastError, failed.lastErrorText)));
        if (++m_failedConnects >= FailuresBeforeLookup) {
            // Forget the address the name led to: the next attempt looks the name up again.
            m_failedConnects = 0;
            std::erase_if(ResolvedHosts, [this](const ResolvedHost &host) {
                return !host.HostName.isEmpty() && host.HostName == m_settings.txtUrl;
            });
        }
        m_state.poll.PollCountdown = 0;
        m_view.UrlToolTip = QStringLiteral("Could not open port");
        const RadioChannel &ch = m_channels[size_t(channel)];
        const ConnectFailureKind kind = ConnectFailureOf(ch.errorSeen, ch.lastError, ch.lastErrorText);
        if (kind == ConnectFailureKind::NameNotFound) {
            m_view.UrlToolTip = QStringLiteral("Unknown host");
        }
        const QString why = ConnectFailureWords(kind, ch.lastErrorText);
        const QString sentence = ConnectFailureSentence(triedAddress(), why);
        m_view.StatusPanel[3] = result + QStringLiteral(": ") + sentence;
        m_view.ConnectProblem = sentence;
        // The terminal hears of a reason when it changes, not at every poll that meets it.
        if (sentence != m_shownProblem) {
            m_shownProblem = sentence;
            m_view.appendTerminal(QStringLiteral("[%1]\r\n").arg(sentence));
        }
        Q_EMIT m_view.connectFailed(triedAddress(), m_view.StatusPanel[3]);
    } else {
        m_failedConnects = 0;
        m_shownProblem.clear();
        m_view.ConnectProblem.clear();
        const QString address = RadioPort(channel).RemoteHostIP();
        size_t k = 1;
        while (k < ResolvedHosts.size() && ResolvedHosts[k].HostName != m_settings.txtUrl) {
            ++k;
        }
        if (k < ResolvedHosts.size()) {
            ResolvedHosts[k].Address = address;
        } else {
            ResolvedHosts.push_back(ResolvedHost{address, m_settings.txtUrl});
            m_settings.txtUrl = ResolvedHosts[k].HostName;
        }
        m_view.UrlToolTip = ResolvedHosts[k].HostName + QStringLiteral(" Resolves to ") + ResolvedHosts[k].Address;
    }
    if (--m_attemptsRunning == 0) {
        m_poll.release();
    }
    m_view.touch();

    m_channels[size_t(channel)].openFinished(connected);
}

// ---------------------------------------------------------------------------------------------
// Buttons and state display

void RadioConnection::ConnectButton_Click() {
    DoOpenPort(0);
    wakeReplyTick();
    m_view.flush();
}

void RadioConnection::DisconnectButton_Click() {
    for (int i = 0; i < 2; ++i) {
        dropConnection(i);
        m_channels[size_t(i)].attempt().check();
    }
    checkTickWait();
    wakeReplyTick();
    m_view.flush();
}

void RadioConnection::KeepAsConnected_Click() {
    if (!m_settings.KeepAsConnected) {
        DisconnectButton_Click();
    } else {
        wakeReplyTick(); // a closed socket is opened as soon as it is seen
    }
}

void RadioConnection::RetryButton_Click() {
    // Tries the radio again at once, and stays there for the next try.
    m_view.RetryButtonVisible = true;
    m_view.HoldOnText = QStringLiteral("Testing the Water");
    m_view.HoldOnVisible = true;
    m_remarkTimer->setEnabled(false);
    m_failedConnects = 0;
    DoOpenPort(0);
    wakeReplyTick();
    m_telnet.WakeQueue();
    m_view.touch();
    m_view.flush();
}

void RadioConnection::StatusBar_PanelClick() {
    DisconnectButton_Click();
    m_view.StatusPanel[2] = QStringLiteral("Canceled");
    m_view.touch();
    m_view.flush();
}

void RadioConnection::WhatNetworkState(int channel) {
    TcpSocket &port = RadioPort(channel);
    const qint16 s = port.State();
    switch (s) {
    case TcpSocket::sckClosed:
        m_remarkTimer->setEnabled(true);
        if (m_settings.KeepAsConnected) {
            DoOpenPort(channel);
        }
        break;
    case TcpSocket::sckOpen:
        m_remarkTimer->setEnabled(false);
        m_view.HoldOnColour = LinkColour::Yellow;
        break;
    case TcpSocket::sckConnecting:
        m_view.HoldOnColour = LinkColour::Blue;
        break;
    case TcpSocket::sckConnected:
        m_view.HoldOnColour = LinkColour::Green;
        m_remarkTimer->setEnabled(false);
        break;
    case TcpSocket::sckClosing:
    case TcpSocket::sckError:
        dropConnection(channel);
        m_channels[size_t(channel)].attempt().check();
        checkTickWait();
        break;
    default:
        break;
    }
    // Every command has a connection of its own, so between commands the socket is closed: once
    // the radio has answered, whether it still does says more than the socket's state.
    const QString name = m_view.LinkHealth.isEmpty() ? TcpSocket::stateName(s) : m_view.LinkHealth;
    const QString channelText = QString::number(channel) + QStringLiteral(":0");
    if (m_view.StatusPanel[1] != name || m_view.StatusPanel[2] != channelText ||
        m_view.SocketState[size_t(channel)] != s) {
        m_view.StatusPanel[1] = name;
        m_view.StatusPanel[2] = channelText;
        m_view.SocketState[size_t(channel)] = s;
        m_view.touch();
    }
}

void RadioConnection::paintPointer(int colour) {
    m_view.PointerBorderColour = colour;
    m_view.touch();
}

// ---------------------------------------------------------------------------------------------
// Socket events

void RadioConnection::onConnect(int channel) {
    paintPointer(LinkColour::Yellow);
    m_channels[size_t(channel)].attempt().check();
    wakeReplyTick();
    m_view.flush();
}

void RadioConnection::onDataArrival(int channel) {
    TelnetChannel &ch = m_telnet.Channels[size_t(channel)];
    const QString data = RadioPort(channel).GetData();
    // A peer that streams without closing must not fill the memory: keep the first part.
    const qsizetype room = std::max<qsizetype>(0, ReceivedCap - ch.Received.size());
    if (data.size() > room) {
        ch.Received += data.left(room);
        ch.ReceivedCut = true;
    } else {
        ch.Received += data;
    }
    m_resetTimer->setEnabled(false);
    m_telnet.WakeQueue(); // the other channel may go while this reply comes in
    RadioChannel::Delivery &delivery = m_channels[size_t(channel)].delivery;
    if (!data.isEmpty()) {
        radioAnswered();
    }
    if (!data.isEmpty() && delivery.active) {
        markOnWire(channel); // an answer proves the command arrived, whatever the send reported
        const qint64 now = m_platform.clock().nowMs();
        if (!delivery.answered) {
            delivery.answered = true;
            m_replyWait.answered(now - delivery.sentAtMs);
        }
        // The close normally follows at once; a radio that keeps the connection open must not
        // keep its reply from the terminal and the decoder, nor hold up the queue. Nor may one
        // that trickles its reply a byte at a time: the wait never goes past the reply's
        // deadline, however often bytes arrive.
        m_channels[size_t(channel)].armDeliveryDeadline(
            int(std::clamp<qint64>(delivery.deadlineMs - now, 1, CloseWaitInterval)));
    }
    checkTickWait();
    m_view.flush();
}

void RadioConnection::onClose(int channel) {
    RadioChannel &ch = m_channels[size_t(channel)];
    if (ch.attempt().isActive() && !ch.errorSeen) {
        // Closed by the host before the connection was ever open: it reset the attempt.
        ch.errorSeen = true;
        ch.lastError = int(QAbstractSocket::RemoteHostClosedError);
        ch.lastErrorText = QStringLiteral("The remote host closed the connection");
    }
    RadioPort(channel).Close();
    completeReceived(channel);
    m_resetTimer->setEnabled(false);
    endDelivery(channel);
    m_channels[size_t(channel)].attempt().check();
    checkTickWait();
    wakeReplyTick();
    m_telnet.WakeQueue();
    m_view.flush();
}

void RadioConnection::onError(int channel) {
    paintPointer(LinkColour::Blue);
    dropConnection(channel);
    m_channels[size_t(channel)].attempt().check();
    checkTickWait();
    wakeReplyTick();
    m_view.flush();
}

void RadioConnection::onSendProgress(int channel) {
    m_telnet.Channels[size_t(channel)].SendDone = false;
}

void RadioConnection::onSendComplete(int channel) {
    m_telnet.Channels[size_t(channel)].SendDone = true;
    markOnWire(channel);
    checkTickWait();
    m_view.flush();
}

// ---------------------------------------------------------------------------------------------
// The queue tick

void RadioConnection::CheckOutBuffer_Timer() {
    // The tick sleeps until an event that may let a command go wakes it (see Telnet).
    m_telnet.QueueTickBegins();
    if (m_tick.phase != TickPhase::Idle) {
        return; // still waiting for a connect or a send; its end wakes the tick
    }
    if (m_resetTimer->isEnabled()) {
        return; // a reply is still awaited; its arrival, the close or the time-out wakes the tick
    }
    m_telnet.CompactQueues();
    m_telnet.FeedIfIdle();
    for (int c = 0; c < 2; ++c) {
        TelnetChannel &ch = m_telnet.Channels[size_t(c)];
        const qsizetype j =
            std::find_if(ch.Outbound.begin(), ch.Outbound.end(), [](const QString &slot) { return !slot.isEmpty(); }) -
            ch.Outbound.begin();
        if (j >= ch.Outbound.size()) {
            continue;
        }
        if (m_channels[size_t(c)].delivery.active) {
            // The last command's connection is still open. Nothing more may go onto it, and a
            // new connection would let this channel's commands overtake each other; a command
            // waiting on channel 0 holds the queries back as well. The connection's end wakes
            // the tick.
            return;
        }
        const QString command = ch.Outbound[j];
        const int resends = m_channels[size_t(c)].resendsOf(command, ch.Generation);
        if (c == 0 && command == QLatin1String(Telnet::Delay)) {
            ch.Outbound[j].clear();
            m_telnet.HoldQueue(200);
            return;
        }
        m_tick = TickWait{TickPhase::Connecting, c, int(j), command, ch.Generation, resends, m_telnet.expiresAt(c, j)};
        sendOnChannel(c, command);
        m_view.flush();
        return;
    }
}

void RadioConnection::sendOnChannel(int channel, const QString &command) {
    Q_UNUSED(command);
    TelnetChannel &ch = m_telnet.Channels[size_t(channel)];
    ch.WaitAborted = false;
    ch.SendDone = false;
    if (RadioPort(channel).State() != TcpSocket::sckConnected) {
        DoOpenPort(channel, [this](bool connected) { afterConnect(connected); });
    } else {
        afterConnect(true);
    }
}

void RadioConnection::afterConnect(bool connected) {
    if (m_tick.phase != TickPhase::Connecting) {
        return;
    }
    const int channel = m_tick.channel;
    TcpSocket &port = RadioPort(channel);
    if (!connected || port.State() != TcpSocket::sckConnected) {
        finishTick(); // nothing sent: the command stays at the head and is tried again shortly
        m_telnet.HoldQueue(Telnet::RetryInterval);
        return;
    }
    if (!m_telnet.slotHolds(channel, m_tick.slot, m_tick.command, m_tick.generation)) {
        // Its time ran out (or the queue was emptied) while the connection was being opened:
        // a key press that late is not what the user meant any more.
        m_tick = TickWait{};
        m_telnet.WakeQueue();
        return;
    }
    endDelivery(channel);
    m_replyWait.setCeilingSeconds(m_timeouts.ReplyWaitMax);
    const int wait = m_replyWait.ms();
    if (!m_resetTimer->isEnabled()) {
        m_resetTimer->setInterval(wait);
    }
    m_resetTimer->setEnabled(true);
    paintPointer(LinkColour::Yellow);
    const qint64 now = m_platform.clock().nowMs();
    requestBegins(channel);
    RadioChannel &sending = m_channels[size_t(channel)];
    sending.delivery =
        RadioChannel::Delivery{true,           false, false,      m_tick.slot,     m_tick.command, m_tick.generation,
                               m_tick.resends, now,   now + wait, m_tick.expiresMs};
    sending.setResent({});
    sending.armDeliveryDeadline(wait);
    m_telnet.setExpiry(channel, m_tick.slot, 0);
    m_tick.phase = TickPhase::Sending;
    port.SendData(m_tick.command);
    checkTickWait();
}

void RadioConnection::checkTickWait() {
    if (m_tick.phase != TickPhase::Sending) {
        return;
    }
    const TelnetChannel &ch = m_telnet.Channels[size_t(m_tick.channel)];
    if (ch.SendDone || ch.WaitAborted || !m_resetTimer->isEnabled() ||
        !m_channels[size_t(m_tick.channel)].delivery.active) {
        finishTick();
    }
}

void RadioConnection::finishTick() {
    const QString command = m_tick.command;
    m_tick = TickWait{};
    m_telnet.WakeQueue();
    Q_EMIT m_view.macroTrace(QStringLiteral("\r\n\t>") + command + QStringLiteral("\r\n"));
}

void RadioConnection::markOnWire(int channel) {
    RadioChannel::Delivery &delivery = m_channels[size_t(channel)].delivery;
    if (delivery.active && !delivery.onWire) {
        delivery.onWire = true;
        removeSlot(channel, delivery.slot, delivery.command, delivery.generation);
        Q_EMIT m_view.commandSent(channel, delivery.command);
    }
}

void RadioConnection::endDelivery(int channel) {
    RadioChannel &ch = m_channels[size_t(channel)];
    RadioChannel::Delivery &delivery = ch.delivery;
    if (!delivery.active) {
        return;
    }
    const RadioChannel::Delivery ended = delivery;
    delivery = RadioChannel::Delivery{};
    ch.deliveryTimer().setEnabled(false);
    m_telnet.WakeQueue(); // the channel is free for its next command
    if (!ended.onWire && m_telnet.slotHolds(channel, ended.slot, ended.command, ended.generation)) {
        m_telnet.setExpiry(channel, ended.slot, ended.expiresMs);
    }
    // A command that never got onto the wire is still at the head of its queue and goes again
    // on the next tick. One the radio received but did not answer is not sent again: it may
    // well have acted on it. A reset, though, says the radio closed without reading it (a
    // radio that read its command closes in order), so that one goes again, first in line.
    if (ended.onWire && !ended.answered) {
        const bool reset =
            RadioPort(channel).PeerReset() && m_telnet.Channels[size_t(channel)].Generation == ended.generation;
        if (reset) {
            radioFailed(channel, ConnectFailureBrief(ConnectFailureKind::Reset));
        }
        if (reset && ended.resends < MaxResends) {
            m_telnet.RequeueFirst(channel, ended.command, ended.expiresMs);
            ch.setResent({ended.command, m_telnet.Channels[size_t(channel)].Generation, ended.resends + 1});
            m_view.appendTerminal(QStringLiteral("[%1 not read by the radio; sent again]\r\n").arg(ended.command));
        } else if (reset) {
            const QString why = QStringLiteral("the radio reset the connection %1 times").arg(ended.resends + 1);
            m_view.appendTerminal(QStringLiteral("[no reply to %1: %2]\r\n").arg(ended.command, why));
            Q_EMIT m_view.commandUnanswered(ended.command, why);
        } else {
            m_view.appendTerminal(QStringLiteral("[no reply to %1]\r\n").arg(ended.command));
            Q_EMIT m_view.commandUnanswered(ended.command, QStringLiteral("the radio did not answer"));
        }
    }
}

void RadioConnection::deliveryTimedOut(int channel) {
    m_channels[size_t(channel)].deliveryTimer().setEnabled(false);
    if (!m_channels[size_t(channel)].delivery.active) {
        return;
    }
    replyWaitRanOut(channel);
    dropConnection(channel);
    m_channels[size_t(channel)].attempt().check();
    checkTickWait();
    m_view.flush();
}

void RadioConnection::replyWaitRanOut(int channel) {
    const RadioChannel::Delivery &delivery = m_channels[size_t(channel)].delivery;
    if (delivery.active && !delivery.answered) {
        m_replyWait.unanswered();
        radioFailed(channel, QString::fromLatin1(NoReply));
    }
}

QString RadioConnection::addressText(const QString &host, const QString &port) {
    const QString name = host.trimmed();
    return (name.contains(u':') ? u'[' + name + u']' : name) + u':' + port.trimmed();
}

QString RadioConnection::triedAddress() const {
    return addressText(m_settings.txtUrl, m_settings.txtPort);
}

void RadioConnection::radioAnswered() {
    m_failingSinceMs = -1;
    m_failure.clear();
    m_offlineTimer->setEnabled(false);
    m_lastAnswer = m_platform.wallClock().now();
    m_lastAnswerMs = m_platform.clock().nowMs();
    showLinkHealth();
}

void RadioConnection::requestBegins(int channel) {
    m_requestMs[size_t(channel)] = m_platform.clock().nowMs();
    m_requestTime[size_t(channel)] = m_platform.wallClock().now();
}

void RadioConnection::radioFailed(int channel, const QString &why) {
    m_failure = why;
    if (m_failingSinceMs < 0) {
        // Silent since the failed request began, or since the radio's last answer if that came later.
        const qint64 now = m_platform.clock().nowMs();
        const bool answeredSince = m_lastAnswerMs > m_requestMs[size_t(channel)];
        m_failingSinceMs = answeredSince ? m_lastAnswerMs : m_requestMs[size_t(channel)];
        m_failingSince = answeredSince ? m_lastAnswer : m_requestTime[size_t(channel)];
        // Offline comes on time even when no later request fails to say so (a black hole, where
        // every connect waits for its deadline, or a radio whose reply wait has grown long).
        m_offlineTimer->setInterval(int(std::max<qint64>(1, m_failingSinceMs + OfflineAfterMs - now)));
        m_offlineTimer->setEnabled(true);
    }
    showLinkHealth();
}

void RadioConnection::OfflineTimer_Timer() {
    m_offlineTimer->setEnabled(false);
    showLinkHealth();
    m_view.flush();
}

void RadioConnection::showLinkHealth() {
    const bool offline = m_failingSinceMs >= 0 && m_platform.clock().nowMs() - m_failingSinceMs >= OfflineAfterMs;
    const QString since = offline ? m_failingSince.toString(QStringLiteral("HH:mm:ss")) : QString();
    const QString reason = offline ? m_failure : QString();
    QString health;
    if (offline) {
        health = QStringLiteral("Radio offline since ") + since;
    } else if (m_lastAnswer.isValid()) {
        health = QStringLiteral("Radio answers (last reply ") + m_lastAnswer.toString(QStringLiteral("HH:mm:ss")) +
                 QLatin1Char(')');
    }
    if (offline != m_view.RadioOffline || since != m_view.OfflineSince || health != m_view.LinkHealth ||
        reason != m_view.OfflineReason) {
        m_view.RadioOffline = offline;
        m_view.OfflineSince = since;
        m_view.OfflineReason = reason;
        m_view.LinkHealth = health;
        // The status bar follows at once, not at the next socket event, which a radio that is
        // gone may never bring.
        if (!health.isEmpty()) {
            m_view.StatusPanel[1] = health;
        }
        m_view.touch();
    }
}

void RadioConnection::completeReceived(int channel) {
    TelnetChannel &ch = m_telnet.Channels[size_t(channel)];
    if (ch.Received.isEmpty()) {
        return;
    }
    ch.Completed += ch.Received + QStringLiteral("\r\n");
    if (ch.ReceivedCut) {
        ch.Completed += QStringLiteral("[reply cut after %1 characters]\r\n").arg(ReceivedCap);
    }
    ch.Received.clear();
    ch.ReceivedCut = false;
    wakeReplyTick(); // shown and decoded at the next turn of the event loop
}

void RadioConnection::dropConnection(int channel) {
    RadioPort(channel).Close();
    // What the radio sent on this connection is its reply, even though it never closed: it
    // must not wait for, and be glued to, the reply of some later command.
    completeReceived(channel);
    endDelivery(channel);
}

void RadioConnection::removeSlot(int channel, int slot, const QString &command, quint32 generation) {
    // Only when the slot still holds this very command: the queue may have been emptied and
    // refilled while it was on its way.
    if (m_telnet.slotHolds(channel, slot, command, generation)) {
        m_telnet.Channels[size_t(channel)].Outbound[slot].clear();
    }
}

// ---------------------------------------------------------------------------------------------
// Timers

void RadioConnection::ResetTimer_Timer() {
    for (int i = 0; i < 2; ++i) {
        m_telnet.Channels[size_t(i)].WaitAborted = true;
        replyWaitRanOut(i);
    }
    for (int i = 0; i < 2; ++i) {
        dropConnection(i);
        m_channels[size_t(i)].attempt().check();
    }
    m_resetTimer->setEnabled(false);
    m_telnet.WakeQueue();
    if (m_settings.KeepAsConnected) {
        ConnectButton_Click();
    }
    checkTickWait();
    m_view.flush();
}

void RadioConnection::RemarkTimer_Timer() {
    m_view.HoldOnText.clear();
    m_remarkTimer->setEnabled(false);
    m_view.StatusPanel[3].clear();
    m_view.touch();
    m_view.flush();
}

void RadioConnection::Timer_CheckTelnet_Timer() {
    // One-shot: woken when a reply is complete or a socket changed (see wakeReplyTick).
    m_checkTelnet->setEnabled(false);
    for (int i = 0; i < 2; ++i) {
        TelnetChannel &ch = m_telnet.Channels[size_t(i)];
        ch.LastReply = ch.Completed;
        ch.Completed.clear();
        if (!ch.LastReply.isEmpty()) {
            QString shown = ch.LastReply;
            shown.replace(QStringLiteral("\r\n\r\n"), QStringLiteral("\r\n"));
            if (shown.startsWith(QLatin1String("OK"))) {
                ReplyHandshake::acknowledged(m_state);
                if (m_decoder) {
                    m_decoder->chooseScreen();
                }
                ResetOutboundBuffer();
                m_state.poll.FullRefreshCountdown = m_timeouts.CheckAllOn;
                if (!m_hooks.macroRunning()) {
                    m_poll.pollNow();
                    PlaySoundFile(QStringLiteral("ok"));
                    m_poll.askFor(AutomaticPoll::Query::State | AutomaticPoll::Query::Volume);
                    m_state.poll.ExpectVolume = true;
                    m_state.poll.ExpectState = true;
                } else if (m_decoder) {
                    m_decoder->chooseScreen();
                }
            }
            m_view.appendTerminal(shown);
            Q_EMIT m_view.macroTrace(QStringLiteral("\r\n\t<") + shown);
            Q_EMIT m_view.replyReceived(i, ch.LastReply);
        }
        WhatNetworkState(i);
    }
    if (m_decoder) {
        m_decoder->DecodeReturn();
    }
    checkTickWait();
    m_telnet.WakeQueue(); // the decoder may have queued, or ended the wait for a reply
    m_view.flush();
}

void RadioConnection::ResetOutboundBuffer() {
    m_resetTimer->setEnabled(false);
    m_telnet.WakeQueue();
    paintPointer(LinkColour::Green);
    m_poll.kickUnlessKicked();
    m_telnet.ClearChannel(1);
    m_state.poll.PollCountdown = m_state.poll.RadioStandby ? m_timeouts.PollWhenOff : qint16(3);
    m_poll.askFor(AutomaticPoll::Query::Menu | AutomaticPoll::Query::List | AutomaticPoll::Query::Meta |
                  AutomaticPoll::Query::Volume);
    m_poll.dropFullRefresh();
}

void RadioConnection::PlaySoundFile(const QString &name) {
    ::PlaySoundFile(m_platform.sound(), m_settings.ProgramFolder, name);
}
