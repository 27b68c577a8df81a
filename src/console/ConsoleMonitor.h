#pragma once

#include "console/ConsoleLines.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>

class ConnectAttempt;
class INIFILES;
class Platform;
class TcpSocket;
class Timer;
struct ConnectExtraTime;
struct Timeouts;

// The console window's behaviour: its own socket to the radio's debug console, the connect
// with the adaptive wait shared with the command link, the 50 ms tick that shows the raw text
// and runs the line rules, the status bar and the sends of typed characters. The window only
// renders the fields below (on changed()) and forwards clicks and keys.
//
// Nothing here waits in a nested event loop: the connect and a send in flight end on a socket
// event or at their deadline.
class ConsoleMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int TextLimit = 20000;
    static constexpr int CheckInterval = 50;
    static constexpr int RefreshLabelInterval = 1500;
    // How long a send may stay unconfirmed before the next one is let through.
    static constexpr int SendTimeLimit = 2000;

    // Text colours of the raw console (24-bit values, red in the low byte).
    static constexpr int White = 0xFFFFFF;
    static constexpr int Red = 0x0000FF;
    static constexpr int Yellow = 0x00FFFF;

    // connectExtra is the command link's adaptive extra wait: both connections adjust it.
    ConsoleMonitor(Platform &platform, const Timeouts &timeouts, ConnectExtraTime &connectExtra);
    ~ConsoleMonitor() override;

    // The window opens: address and port from the settings, summary box cleared. It does not
    // connect by itself.
    void Form_Load(const INIFILES &ini);
    // The window closes: address and port written back, socket closed.
    void Form_Unload(INIFILES &ini);

    // A double click on the console text: connects, or disconnects when connected.
    void ConsoleText_DblClick();
    // A double click on status panel 1 or 2: connects when closed, else closes.
    void StatusBar_PanelDblClick(int panel);
    // A click on status panel 3: the summary beside the console text is shown or hidden.
    void StatusBar_PanelClick(int panel);
    // A double click on the summary: it and the fetch list are emptied.
    void ConsoleCaptureText_DblClick();
    // Characters typed into the console text go to the radio at once.
    void ConsoleText_KeyPress(const QString &text);

    // Sends text to the console. False, and nothing sent, while an earlier send still waits
    // for its completion (at most SendTimeLimit ms) or when the socket is not connected.
    bool SendToConsole(const QString &text);
    bool sending() const { return m_sending; }
    bool connecting() const;

    // Timer handlers, public so tests can drive them directly.
    void CheckConsoleSocket_Timer();
    void RefreshLabelTimer_Timer();

    TcpSocket &ConsoleSocket() { return *m_socket; }
    Timer &CheckConsoleSocket() { return *m_checkTimer; }
    Timer &RefreshLabelTimer() { return *m_refreshTimer; }

    QString ConsoleAddress = QStringLiteral("192.168.1.88");
    QString ConsolePort = QStringLiteral("8899");

    // What the window shows.
    QString ConsoleText; // the raw console, the last TextLimit characters
    QString ConsoleCaptureText;
    bool CaptureVisible = true;
    const QStringList &TheCurlList() const { return m_reader.curls(); }
    int TextColour = White;
    std::array<QString, 4> StatusPanel{}; // panels 1..3 (0 unused)
    std::array<QString, 4> StatusTip{};   // their tooltips
    qsizetype waitingCharacters() const { return m_buffer.size() + m_reader.pendingLength(); }
    const ConsoleSummary &summary() const { return m_reader.summary(); }

Q_SIGNALS:
    void changed();

private:
    void connectToConsole();
    void attemptFinished(const QString &result);
    void armTimer(Timer &timer, qint64 deadline);
    void checkSend();
    void finishSend();
    void showWaiting();
    void processBuffer();
    void onConnect();
    void onDataArrival();
    void onClose();
    void onError(const QString &description);
    void restartRefreshLabel();

    Platform &m_platform;
    const Timeouts &m_timeouts;
    std::unique_ptr<TcpSocket> m_socket;
    std::unique_ptr<Timer> m_checkTimer;
    std::unique_ptr<Timer> m_refreshTimer;
    std::unique_ptr<Timer> m_sendTimer;
    std::unique_ptr<ConnectAttempt> m_attempt; // after the socket: it follows the socket's events

    ConsoleLineReader m_reader;
    QString m_buffer; // received, not yet taken by the tick
    bool m_sending = false;
    bool m_sendComplete = false;
    bool m_socketError = false;
    qint64 m_sendDeadline = 0;
    int m_lastStateShown = -1;
    qsizetype m_waitingShown = -1;
};
