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
// with the adaptive wait shared with the command link, the 50 ms tick that runs the line
// rules, the status bar and the sends of typed characters. The window only renders the fields
// below (on changed()) and forwards clicks and keys.
//
// Nothing here waits in a nested event loop: the connect and a send in flight end on a socket
// event or at their deadline.
//
// A console may pour out far more than anyone can read (a stuck player logging without pause).
// Whatever arrives, what is kept stays bounded (KeptCharactersBound): the raw view keeps its
// last TextLimit characters, lines wait for the rules in a backlog of BacklogLimit characters
// whose oldest part is dropped when the rules fall behind, and the tick hands the rules at most
// ChunkLimit characters, so a flood costs a bounded share of the one thread and the remote's
// clicks and timers keep their pace. The window is told to redraw at most every ViewInterval ms
// while text streams in, and not at all while nothing changes.
class ConsoleMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int TextLimit = 20000;
    static constexpr int CheckInterval = 50;
    static constexpr int ViewInterval = 250;
    static constexpr qsizetype BacklogLimit = 512 * 1024;
    static constexpr qsizetype ChunkLimit = 256 * 1024;
    // Characters the console keeps at most: raw view, backlog, the waiting line, the summary
    // (eight fields of at most one line each, and the text made of them) and the fetch list.
    static constexpr qsizetype KeptCharactersBound = TextLimit + BacklogLimit + ConsoleLineReader::MaxLineLength +
                                                     2 * (8 * ConsoleLineReader::MaxLineLength + 200) +
                                                     ConsoleLineReader::MaxCurlCharacters;
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
    void Form_Load(INIFILES &ini);
    // The window closes: socket closed. The address and the port were saved as they were
    // typed, so an edit of the settings file made meanwhile is kept.
    void Form_Unload();
    // The address and port typed in the window: each valid one is taken and saved at once (a
    // host typed here is the console's own, no longer the radio's). False when either is not
    // valid; that one is neither taken nor saved.
    bool setAddress(INIFILES &ini, const QString &host, const QString &port);
    // The address and port were changed elsewhere (the first-run dialog, the radio's address
    // followed): read again from the settings.
    void takeAddress(INIFILES &ini);
    // What the black pane says while the console has written nothing: how to connect, that it
    // connects, or that it is connected and waits for the radio to write.
    QString paneNotice() const;

    // A double click on the console text: connects, or disconnects when connected.
    void ConsoleText_DblClick();
    // A double click on status panel 1 or 2: connects when closed, else closes.
    void StatusBar_PanelDblClick(int panel);
    // The window's Connect button does the same: connects when closed, else closes.
    void ConnectButton_Click();
    // Connected, or on the way: the button then offers to disconnect.
    bool connectionOpen() const;
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
    void ViewTimer_Timer();

    TcpSocket &ConsoleSocket() { return *m_socket; }
    Timer &CheckConsoleSocket() { return *m_checkTimer; }
    Timer &RefreshLabelTimer() { return *m_refreshTimer; }
    Timer &ViewTimer() { return *m_viewTimer; }

    QString ConsoleAddress = QStringLiteral("192.168.1.88");
    QString ConsolePort = QStringLiteral("8899");

    // What the window shows.
    QString ConsoleText; // the raw console, the last TextLimit characters
    // Characters ever added to ConsoleText since it was last emptied (a new connection), and
    // how often it was emptied: a view appends what is new instead of comparing whole texts.
    qint64 consoleTextAdded() const { return m_textAdded; }
    int consoleTextClears() const { return m_textClears; }
    QString ConsoleCaptureText;
    bool CaptureVisible = true;
    const QStringList &TheCurlList() const { return m_reader.curls(); }
    qint64 curlsAdded() const { return m_reader.curlsAdded(); }
    int TextColour = White;
    std::array<QString, 4> StatusPanel{}; // panels 1..3 (0 unused)
    std::array<QString, 4> StatusTip{};   // their tooltips
    qsizetype waitingCharacters() const { return m_buffer.size() + m_reader.pendingLength(); }
    const ConsoleSummary &summary() const { return m_reader.summary(); }
    // Characters that arrived but were dropped unread because the rules fell behind.
    qint64 droppedCharacters() const { return m_dropped; }
    qsizetype keptCharacters() const;

Q_SIGNALS:
    // The window has something new to show: at once after the user's actions and connection
    // events, at most once per ViewInterval while console text streams in.
    void changed();

private:
    void connectToConsole();
    void attemptFinished(const QString &result);
    void armTimer(Timer &timer, qint64 deadline);
    void checkSend();
    void finishSend();
    void showWaiting();
    void processBuffer();
    void addText(const QString &text);
    void clearText();
    // Shows what data or a tick changed (m_viewDirty), coalesced to one redraw per interval.
    void showSoon();
    // The user did something, or the connection changed: shown at once.
    void showNow();
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
    std::unique_ptr<Timer> m_viewTimer;
    std::unique_ptr<ConnectAttempt> m_attempt; // after the socket: it follows the socket's events

    ConsoleLineReader m_reader;
    QString m_buffer;             // received, not yet taken by the tick (at most BacklogLimit)
    qsizetype m_readThisTick = 0; // characters read since the last tick
    qint64 m_dropped = 0;
    qint64 m_droppedShown = 0;
    qint64 m_textAdded = 0;
    int m_textClears = 0;
    bool m_viewDirty = false;
    bool m_sending = false;
    bool m_sendComplete = false;
    bool m_socketError = false;
    qint64 m_sendDeadline = 0;
    int m_lastStateShown = -1;
    qsizetype m_waitingShown = -1;
};
