#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The update check's HTTP, as pure functions: where to ask, the request bytes, and the answer
// taken apart once the server has closed. The socket side only buffers.

// Where the version page lives when the settings name no place ([General] UpdateURL): the
// address a packager built in (the CMake cache variable CV_UPDATE_URL), empty by default.
// CV Remote has no update server of its own.
QString BuiltInUpdateUrl();

struct UpdateAddress {
    QString host;
    quint16 port = 80;
    QString path; // starts with "/"
};

// "host[:port]/path", optionally after "http://". The host is the text before the first "/",
// the path the text from it on ("/" when there is none). A port that is not a number from 1
// to 65535 leaves the default 80.
UpdateAddress SplitUpdateUrl(const QString &url);

// A plain HTTP proxy for the update check, as the main window's proxy fields set it.
struct UpdateProxy {
    static constexpr quint16 DefaultPort = 8080;

    bool use = false;
    QString server;
    quint16 port = DefaultPort;
    QString userName; // none: no Proxy-Authorization is sent
    QString password;
    bool rememberPassword = false; // keep the password in the settings file

    // Ticked and named: the request goes to the proxy.
    bool active() const { return use && !server.trimmed().isEmpty(); }
    friend bool operator==(const UpdateProxy &, const UpdateProxy &) = default;
};

// The GET request, each line ended by CR LF, then an empty line. The encoding line is sent in
// this very spelling; answers are read as plain text whatever it asks for. The Host line names
// the port only when it is not 80. Through an active proxy the request line names the whole
// address ("GET http://host/path HTTP/1.1"), as a proxy wants it, and a user name adds
// Basic authentication for the proxy (user name and password as UTF-8).
QByteArray BuildUpdateRequest(const UpdateAddress &address, const UpdateProxy &proxy = UpdateProxy{});

// Why the request cannot be sent as the address and the proxy stand, for the user; empty
// when it can. A host or a path with blanks or control characters would break the request
// (or add lines of its own to it), a user name with ":" cannot be told from the password.
QString UpdateRequestProblem(const UpdateAddress &address, const UpdateProxy &proxy);

// A name under a top-level domain reserved never to exist (.example, .invalid): asking the
// name service for it could only fail, so it is never asked.
bool UpdateHostCannotExist(const QString &host);

// A chunked body (Transfer-Encoding: chunked) joined into its data. Truncated: the answer ended
// before the last chunk, and data holds every byte that did arrive. Malformed: a size line is
// no hexadecimal size (or longer than any real one); data holds the chunks before it.
enum class ChunkedBody { Complete, Truncated, Malformed };
ChunkedBody DecodeChunked(const QByteArray &body, QByteArray &data);

// A complete answer (the server closed the connection), taken apart.
struct UpdateResponse {
    // Incomplete: no empty line ended the headers. Unreadable: the body was sent in chunks
    // that cannot be read; it is left empty rather than shown with the chunk sizes as text.
    enum Status { Ok, Incomplete, Unreadable };
    enum Kind { Page, Image, Zip, OtherApplication };
    Status status = Incomplete;
    QString headers;     // up to the first empty line
    QByteArray body;     // everything after it, its chunks joined when it came in chunks
    QString contentType; // the Content-Type header's value
    Kind kind = Page;
};
UpdateResponse TakeUpdateResponseApart(const QByteArray &response);

// The page's lines as the update window shows them: split at LF, every CR removed, "<br/>"
// turned into a blank; empty lines and lines of a single blank left out.
//
// A version page is a few lines. Whatever a server sends, at most MaxPageBytes of the body are
// looked at and at most MaxPageLines lines are shown, so neither the list nor the window it
// fills can grow with the answer; cut tells that the page went on.
constexpr qsizetype MaxPageBytes = 64 * 1024;
constexpr qsizetype MaxPageLines = 400;
QStringList PageLines(const QByteArray &body, bool *cut = nullptr);

// The text that introduces the latest version on the page (matched ignoring case).
inline const QString UpdateMarker = QStringLiteral("Corvale Remote Software V.");

// Version texts compared field by field ("1.2.15" < "1.3.0" < "10.0"), each field by its
// leading number; missing fields count as 0. Negative, zero or positive like a <=> b.
int CompareVersions(const QString &a, const QString &b);

// Looks for the marker in one page line. A version newer than own is noted in noted, unless
// one is noted already; a noted version that is not newer than own is cleared. Returns the
// line's version when a version stays noted, else an empty text.
QString FindTheUpdate(const QString &line, const QString &ownVersion, QString &noted);

// The file name a zip answer may be saved under: the version text + ".zip" when that is a
// plain file name (letters, digits, ".", "-", "_", no leading "."), else empty: a name taken
// from a server's page never reaches another folder.
QString SafeZipName(const QString &version);
