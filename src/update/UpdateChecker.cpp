#include "update/UpdateChecker.h"

#include "platform/Platform.h"
#include "platform/WholeFileWriter.h"
#include "settings/INIFILES.h"
#include "update/VersionNews.h"

#include <QDir>
#include <QFile>

UpdateChecker::UpdateChecker(Platform &platform, QString programFolder, QString ownVersion)
    : OwnVersion(std::move(ownVersion))
    , m_platform(platform)
    , m_programFolder(std::move(programFolder))
    , m_socket(platform.createSocket())
    , m_timer1(platform.createTimer())
    , m_deadline(platform.createTimer()) {
    m_timer1->setInterval(Timer1Interval);
    m_deadline->setInterval(TimeLimit);
    connect(m_timer1.get(), &Timer::timeout, this, &UpdateChecker::Timer1_Timer);
    connect(m_deadline.get(), &Timer::timeout, this, &UpdateChecker::onDeadline);
    TcpSocket *socket = m_socket.get();
    connect(socket, &TcpSocket::ConnectEvent, this, &UpdateChecker::onConnect);
    connect(socket, &TcpSocket::DataArrival, this, &UpdateChecker::onDataArrival);
    connect(socket, &TcpSocket::CloseEvent, this, &UpdateChecker::onClose);
    connect(socket, &TcpSocket::ErrorEvent, this, [this](int, const QString &description) { onError(description); });
}

UpdateChecker::~UpdateChecker() = default;

void UpdateChecker::CheckForUpdates(const INIFILES &ini) {
    const QString url = ini.ReadSetting(QStringLiteral("General"), QStringLiteral("UpdateURL"), BuiltInUpdateUrl());
    if (url.isEmpty()) {
        explain(QStringLiteral("No update server is set, so there is nothing to ask."),
                QStringLiteral("CV Remote has no update server of its own. To check against one, name its address "
                               "in the settings file %1, in the section [General]:\r\n"
                               "UpdateURL=host[:port]/path\r\n"
                               "(close CV Remote before editing the file). A packager can build an address in with "
                               "the CMake option -DCV_UPDATE_URL=host[:port]/path.\r\n")
                    .arg(QDir::toNativeSeparators(ini.SettingsFile())));
        return;
    }
    OpenThisWebUrl(url);
}

void UpdateChecker::explain(const QString &news, const QString &text) {
    Form_Unload();
    m_response.clear();
    m_pageText.clear();
    m_note.clear();
    m_processed = true;
    Q_EMIT showRequested();
    NewsLine = news;
    RawTexta = text;
    Q_EMIT changed();
}

QString UpdateChecker::peerName() const {
    return m_requestProxy.active() ? QStringLiteral("the proxy %1").arg(m_requestProxy.server.trimmed())
                                   : m_address.host;
}

void UpdateChecker::OpenThisWebUrl(const QString &url) {
    if (url.isEmpty()) {
        return;
    }
    const UpdateAddress address = SplitUpdateUrl(url);
    QString problem = UpdateRequestProblem(address, m_proxy);
    for (const QString &host : {address.host, m_proxy.active() ? m_proxy.server.trimmed() : QString()}) {
        if (problem.isEmpty() && UpdateHostCannotExist(host)) {
            problem = QStringLiteral("%1 is a name that cannot exist (its ending is reserved for examples)").arg(host);
        }
    }
    if (!problem.isEmpty()) {
        explain(QStringLiteral("Could not ask the update server."),
                QStringLiteral("Nothing was asked: %1.\r\nThe address is UpdateURL in the section [General] of the "
                               "settings file; the proxy is set in the main window's Proxy fields.\r\n")
                    .arg(problem));
        return;
    }
    Q_EMIT showRequested();
    RawTexta.clear();
    NewsLine = QStringLiteral("Asking the update server...");
    m_address = address;
    m_requestProxy = m_proxy;
    // Whatever an earlier check received or still had to show is dropped with it.
    m_response.clear();
    m_pageText.clear();
    m_note.clear();
    m_processed = false;
    m_dataArriving = false;
    m_timer1->setEnabled(false);

    m_socket->Close();
    m_socket->setLocalPort(0);
    if (m_requestProxy.active()) {
        m_socket->Connect(m_requestProxy.server.trimmed(), m_requestProxy.port);
    } else {
        m_socket->Connect(m_address.host, m_address.port);
    }
    m_running = true;
    m_deadline->setEnabled(false);
    m_deadline->setEnabled(true);
    Q_EMIT changed();
}

void UpdateChecker::onConnect() {
    m_socket->SendData(QString::fromLatin1(BuildUpdateRequest(m_address, m_requestProxy)));
}

void UpdateChecker::onDataArrival() {
    const QByteArray bytes = m_socket->GetData().toLatin1();
    if (m_processed) {
        return;
    }
    m_dataArriving = true;
    const qsizetype room = ResponseCap - m_response.size();
    if (bytes.size() > room) {
        m_response += bytes.left(room);
        m_socket->Close();
        finishResponse(QStringLiteral("[The answer was cut after %1 bytes.]").arg(ResponseCap));
        return;
    }
    m_response += bytes;
}

void UpdateChecker::onClose() {
    finishResponse(QString());
}

void UpdateChecker::onError(const QString &description) {
    // An answer cut short by the error is not shown, but an empty window would read as a
    // page without news: the window says that the server could not be asked.
    m_socket->Close();
    if (!m_running) {
        return;
    }
    m_running = false;
    m_deadline->setEnabled(false);
    m_response.clear();
    m_note = QStringLiteral("[No answer from %1: %2]").arg(peerName(), description);
    m_processed = true;
    m_dataArriving = false;
    m_timer1->setEnabled(true);
}

void UpdateChecker::onDeadline() {
    m_deadline->setEnabled(false);
    if (!m_running) {
        return;
    }
    m_socket->Close();
    finishResponse(QStringLiteral("[No complete answer from %1 within %2 seconds; gave up.]")
                       .arg(peerName())
                       .arg(TimeLimit / 1000));
}

void UpdateChecker::finishResponse(const QString &note) {
    if (m_processed) {
        return;
    }
    m_running = false;
    m_deadline->setEnabled(false);
    m_timer1->setEnabled(true);
    m_dataArriving = false;
    m_note = note;

    const UpdateResponse response = TakeUpdateResponseApart(m_response);
    m_response.clear();
    if (m_requestProxy.active() && response.headers.section(u' ', 1, 1) == QLatin1String("407")) {
        m_note = m_requestProxy.userName.isEmpty()
                     ? QStringLiteral("[The proxy wants a user name and password: set them in the main window's "
                                      "Proxy fields.]")
                     : QStringLiteral("[The proxy did not take the user name and password.]");
    }
    switch (response.kind) {
    case UpdateResponse::Image: {
        // Pictures are not shown; the file only ever lives for a moment.
        const QString path = QDir(m_programFolder).filePath(QStringLiteral("TempMap.tmp"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(response.body);
            file.close();
        }
        QFile::remove(path);
        break;
    }
    case UpdateResponse::Zip:
        saveZip(response.body);
        break;
    case UpdateResponse::OtherApplication:
        break;
    case UpdateResponse::Page:
        if (response.status == UpdateResponse::Unreadable) {
            m_note = QStringLiteral("[The answer came in chunks that could not be read; nothing of it is shown.]");
        }
        // Only what can be shown is kept (one byte more tells that the page went on).
        m_pageText = response.body.left(MaxPageBytes + 1);
        break;
    }
    m_socket->Close();
    m_processed = true;
}

void UpdateChecker::saveZip(const QByteArray &body) {
    // The name comes from the server's page: only a plain file name in the program folder.
    const QString name = SafeZipName(NewerVersion);
    if (name.isEmpty()) {
        return;
    }
    // Checked to the flush: a full disk must not leave a cut zip in place of a whole one.
    const WholeFileWrite written = WriteWholeFile(QDir(m_programFolder).filePath(name), body);
    if (!written.ok) {
        m_note = QStringLiteral("[The update was not saved: %1]").arg(written.error);
    }
}

void UpdateChecker::Timer1_Timer() {
    const qint16 s = m_socket->State();
    if (s == TcpSocket::sckListening || s == TcpSocket::sckClosing || s == TcpSocket::sckError) {
        m_socket->Close();
    }
    if (m_dataArriving) {
        return;
    }
    if (m_pageText.isEmpty() && m_note.isEmpty()) {
        if (m_processed) {
            m_timer1->setEnabled(false); // the answer had nothing to show
            NewsLine = VersionNewsLine(VersionNews{}, OwnVersion);
            Q_EMIT changed();
        }
        return;
    }
    bool cut = false;
    const QStringList lines = PageLines(m_pageText, &cut);
    m_pageText.clear();
    if (lines.isEmpty() && !m_note.isEmpty()) {
        NewsLine = QStringLiteral("Could not tell whether a newer version is available: no answer from the server.");
    } else {
        NewsLine = VersionNewsLine(JudgeVersionPage(lines, OwnVersion), OwnVersion);
    }
    for (const QString &line : lines) {
        FindTheUpdate(line, OwnVersion, NewerVersion);
        RawTexta += line + QStringLiteral("\r\n");
    }
    if (cut) {
        RawTexta += QStringLiteral("[The page was cut here: a version page is short, so only its first %1 lines "
                                   "or %2 KB are shown.]\r\n")
                        .arg(MaxPageLines)
                        .arg(MaxPageBytes / 1024);
    }
    if (!m_note.isEmpty()) {
        RawTexta += m_note + QStringLiteral("\r\n");
        m_note.clear();
    }
    m_timer1->setEnabled(false);
    Q_EMIT changed();
}

void UpdateChecker::Form_Unload() {
    m_socket->Close();
    m_running = false;
    m_deadline->setEnabled(false);
    m_timer1->setEnabled(false);
}

void UpdateChecker::RawTexta_DblClick() {
    RawTexta.clear();
    Q_EMIT changed();
}
