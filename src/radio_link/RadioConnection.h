#pragma once

#include "platform/ConnectAttempt.h"
#include "platform/TcpSocket.h"
#include "platform/Timer.h"
#include "radio_link/RadioChannel.h"
#include "radio_link/ReplyWait.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class AutomaticPoll;
class RadioView;
class Platform;
class ReplyDecoder;
class Telnet;
class LinkHooks;
struct LinkSettings;
struct RadioState;
struct Timeouts;

// A host name as the user typed it and the address a connection to it reached.
struct ResolvedHost {
    QString Address;
    QString HostName;
};

// The command link to the radio: the two channels (RadioChannel; RadioPort 0 for commands, 1 for
// queries) and the rules between them: the connect procedure with its adaptive time-out and
// host cache, the reply time-out, the queue tick that sends one command at a time, and the
// reply tick that hands finished replies to the terminal view and the decoder.
//
// The radio answers each command on its own connection and closes it, so a connection is
// opened per command and carries exactly one: while a delivery is outstanding on a channel
// (from its SendData until its connection ends) the queue sends nothing more on that channel. Opening and sending are
// asynchronous: DoOpenPort finishes on a socket event or at its deadline. Neither tick runs on a beat: the events that
// may let a command go wake the queue tick (see Telnet), and a finished reply or a changed socket wakes the reply tick;
// a queue tick woken while a connect or a send is awaited does nothing, as if its handler had not returned yet.
class RadioConnection : public QObject {
    Q_OBJECT
public:
    static constexpr int ReceivedCap = 1 << 20; // characters kept of one reply
    static constexpr int ResetInterval = ReplyWait::FloorMs;
    static constexpr int RemarkInterval = 1750;
    // The radio closes as soon as it has answered. One that keeps the connection open after
    // sending something gets this much silence before the program closes it and takes what
    // came as the reply.
    static constexpr int CloseWaitInterval = 500;
    // A command the radio reset its connection over, unread, goes again at most this often; a
    // radio (or something on the way) that resets every time must not get the key press forever.
    static constexpr int MaxResends = 3;
    // Connections that fail in a row before a host name is looked up again: the radio may have
    // a new address (a new lease) and the one found before leads nowhere.
    static constexpr int FailuresBeforeLookup = 3;
    // A radio that has left the link's requests unanswered for this long is gone: the windows say
    // it is offline instead of showing the last values as live. The time counts from the start
    // of the first request that failed (the connect that was refused, reset or timed out, the
    // command that got no reply), whatever way it failed, so every kind of outage shows alike.
    static constexpr int OfflineAfterMs = 4000;
    // Why the radio is taken as gone when it opened the connection and then said nothing.
    static constexpr char NoReply[] = "no reply";

    RadioConnection(Platform &platform, Telnet &telnet, AutomaticPoll &poll, RadioState &state,
                    const Timeouts &timeouts, LinkSettings &settings, RadioView &view, const LinkHooks &hooks);
    ~RadioConnection() override;

    void setDecoder(ReplyDecoder *decoder) { m_decoder = decoder; }

    // HOST:PORT as the settings name the radio ([HOST]:PORT for an IPv6 address).
    static QString addressText(const QString &host, const QString &port);

    // Starts the reply tick: from now on it runs whenever a reply is complete or a socket
    // changed, and once now to look at the sockets.
    void start();

    // Opens channel's socket unless it is connected. Returns at once; done(connected) is called
    // when the attempt ends (at once when already connected). A second request for a channel
    // whose attempt is running joins that attempt.
    void DoOpenPort(int channel, std::function<void(bool)> done = {});

    void ConnectButton_Click();
    void DisconnectButton_Click();
    // Call after the main window changed LinkSettings::KeepAsConnected.
    void KeepAsConnected_Click();
    void RetryButton_Click();
    // A click on a status bar panel: both sockets closed, panel 2 shows "Canceled".
    void StatusBar_PanelClick();
    void WhatNetworkState(int channel);

    // Timer handlers, public so tests can drive them directly.
    void CheckOutBuffer_Timer();
    void Timer_CheckTelnet_Timer();
    void ResetTimer_Timer();
    void RemarkTimer_Timer();
    // The radio has been failing for OfflineAfterMs: the windows say it is offline now, without
    // waiting for the next request to fail.
    void OfflineTimer_Timer();

    // The reset after the radio acknowledged a command with "OK".
    void ResetOutboundBuffer();

    // Sound by name ("ok", "fail"), from the program folder.
    void PlaySoundFile(const QString &name);

    // Extra seconds added to the connect time-out; grows on failures, shrinks on successes.
    // The console monitor's own connection shares it (see ConnectAttempt).
    ConnectExtraTime ConnectExtra;
    // Slot 0 is never used.
    std::vector<ResolvedHost> ResolvedHosts{ResolvedHost{}};

    // The wait for an answer, learnt from the radio's own pace.
    const ReplyWait &replyWait() const { return m_replyWait; }

    TcpSocket &RadioPort(int channel) { return m_channels[size_t(channel)].port(); }
    Timer &ResetTimer() { return *m_resetTimer; }
    Timer &RemarkTimer() { return *m_remarkTimer; }
    Timer &TimerCheckTelnet() { return *m_checkTelnet; }
    Timer &OfflineTimer() { return *m_offlineTimer; }

    // True while the queue tick waits for a connect or a send to finish.
    bool tickWaiting() const { return m_tick.phase != TickPhase::Idle; }
    // True from a command's send until the connection that carried it has ended.
    bool deliveryOutstanding(int channel) const { return m_channels[size_t(channel)].delivery.active; }
    // True while the channel's connect attempt runs.
    bool isOpening(int channel) const { return m_channels[size_t(channel)].opening(); }

private:
    enum class TickPhase { Idle, Connecting, Sending };
    struct TickWait {
        TickPhase phase = TickPhase::Idle;
        int channel = 0;
        int slot = 0;
        QString command;
        quint32 generation = 0;
        int resends = 0;      // times this command went again after a reset
        qint64 expiresMs = 0; // when the command was too late to go; 0 for never
    };
    void onConnect(int channel);
    void onDataArrival(int channel);
    void onClose(int channel);
    void onError(int channel);
    void onSendProgress(int channel);
    void onSendComplete(int channel);

    void openAttemptFinished(int channel, bool connected, const QString &result);
    void sendOnChannel(int channel, const QString &command);
    void afterConnect(bool connected);
    void checkTickWait();
    void finishTick();
    void markOnWire(int channel);
    void endDelivery(int channel);
    void completeReceived(int channel);
    void deliveryTimedOut(int channel);
    // The wait for the radio's answer on this channel ran out.
    void replyWaitRanOut(int channel);
    void wakeReplyTick();
    // What the link has heard from the radio lately, for the windows: answers, or offline.
    void radioAnswered();
    // HOST:PORT as the settings name the radio ([HOST]:PORT for an IPv6 address).
    QString triedAddress() const;
    // The request last begun on the channel (its connect, or its command's send) failed, for the
    // reason given in a few words.
    void radioFailed(int channel, const QString &why);
    void requestBegins(int channel);
    void showLinkHealth();
    // Closes the channel's socket from this side and settles what was on it.
    void dropConnection(int channel);
    void removeSlot(int channel, int slot, const QString &command, quint32 generation);
    void paintPointer(int colour);

    Platform &m_platform;
    Telnet &m_telnet;
    AutomaticPoll &m_poll;
    RadioState &m_state;
    const Timeouts &m_timeouts;
    LinkSettings &m_settings;
    RadioView &m_view;
    const LinkHooks &m_hooks;
    ReplyDecoder *m_decoder = nullptr;

    std::array<RadioChannel, 2> m_channels;
    std::unique_ptr<Timer> m_resetTimer;
    std::unique_ptr<Timer> m_remarkTimer;
    std::unique_ptr<Timer> m_checkTelnet;
    std::unique_ptr<Timer> m_offlineTimer;

    int m_attemptsRunning = 0;
    TickWait m_tick;
    ReplyWait m_replyWait;
    bool m_started = false;
    int m_failedConnects = 0;     // in a row, to the host the user typed
    QString m_shownProblem;       // the failure last told to the terminal
    qint64 m_failingSinceMs = -1; // first failure since the radio last answered; -1 none
    QDateTime m_failingSince;     // the same on the wall clock
    QDateTime m_lastAnswer;       // invalid until the radio has answered
    qint64 m_lastAnswerMs = -1;   // the same on the monotonic clock
    QString m_failure;            // why the last request failed, while failing
    // When each channel's last request (a connect, then its command's send) began.
    std::array<qint64, 2> m_requestMs{{0, 0}};
    std::array<QDateTime, 2> m_requestTime;
};
