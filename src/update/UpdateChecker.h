#pragma once

#include "update/UpdateHttp.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class INIFILES;
class Platform;
class TcpSocket;
class Timer;

// The update window's behaviour: one GET for the version page on a socket of its own, the
// answer collected until the server closes, taken apart, and its lines shown with the newer
// version noted. The window renders RawTexta and forwards the double click.
//
// A server that never closes or sends without end cannot hold the check: the answer is cut at
// ResponseCap bytes and the check gives up after TimeLimit ms, showing what arrived. Of a page
// only its start is shown (PageLines), so what a check keeps stays near ResponseCap whatever
// the server sends.
class UpdateChecker : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype ResponseCap = 1 << 20;
    static constexpr int TimeLimit = 15000;
    static constexpr int Timer1Interval = 250;

    // programFolder receives a zip answer; ownVersion is the running program's major.minor.revision.
    UpdateChecker(Platform &platform, QString programFolder, QString ownVersion);
    ~UpdateChecker() override;

    // The main window's "Check for Updates": asks the address of the settings key UpdateURL
    // (General section), else the built-in one. With neither, nothing is asked and the window
    // says how to set one.
    void CheckForUpdates(const INIFILES &ini);
    // Starts a request, through the proxy when one is set; an empty url does nothing. A request
    // still running is dropped with whatever it had received. An address that cannot be asked
    // (a name that cannot exist, a request it would break) is not: the window says why.
    void OpenThisWebUrl(const QString &url);
    // The proxy's fields; a request on its way keeps the proxy it started with.
    void setProxy(const UpdateProxy &proxy) { m_proxy = proxy; }
    const UpdateProxy &proxy() const { return m_proxy; }
    // The window closes.
    void Form_Unload();
    void RawTexta_DblClick();

    // The 250 ms tick that shows a page once it is complete; public so tests can drive it.
    void Timer1_Timer();

    QString RawTexta;     // the page lines shown, each ended by CR LF
    QString NewsLine;     // one plain line over the page: is there a newer version?
    QString NewerVersion; // the version noted as newer than the own one, kept for the run
    const QString OwnVersion;

    Timer &Timer1() { return *m_timer1; }
    const UpdateAddress &address() const { return m_address; }

Q_SIGNALS:
    void changed();
    // The update window should be shown (a request starts).
    void showRequested();

private:
    void onConnect();
    void onDataArrival();
    void onClose();
    void onError(const QString &description);
    void onDeadline();
    // The answer is over: taken apart once, by its content type.
    void finishResponse(const QString &note);
    void saveZip(const QByteArray &body);
    // Shows a message instead of an answer: nothing is asked.
    void explain(const QString &news, const QString &text);
    // The host the request goes to: the proxy's or the server's.
    QString peerName() const;

    Platform &m_platform;
    const QString m_programFolder;
    std::unique_ptr<TcpSocket> m_socket;
    std::unique_ptr<Timer> m_timer1;
    std::unique_ptr<Timer> m_deadline;

    UpdateAddress m_address;
    UpdateProxy m_proxy;
    UpdateProxy m_requestProxy; // the proxy of the request on its way
    QByteArray m_response;
    QByteArray m_pageText; // the body of a page answer, as much of it as can be shown
    QString m_note;        // shown after the page: why the answer is incomplete
    bool m_processed = false;
    bool m_dataArriving = false;
    bool m_running = false;
};
