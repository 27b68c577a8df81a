#include "update/UpdateHttp.h"

#include "platform/NumericText.h"
#include "update/UpdateBuildDefaults.h"

#include <algorithm>

namespace {

// Far below any file system's limit on a name.
constexpr qsizetype MaxZipNameLength = 100;
// A size line is a few hex digits, perhaps with an extension; anything longer is no size line.
constexpr qsizetype MaxChunkLine = 1024;

bool isTokenIn(const QString &headers, QLatin1String name, QLatin1String token) {
    const QString withEnd = QStringLiteral("\r\n") + headers + QStringLiteral("\r\n");
    const QString key = QStringLiteral("\r\n") + name + u':';
    for (qsizetype at = withEnd.indexOf(key, 0, Qt::CaseInsensitive); at >= 0;
         at = withEnd.indexOf(key, at + 1, Qt::CaseInsensitive)) {
        const qsizetype from = at + key.size();
        const QString value = withEnd.mid(from, withEnd.indexOf(QLatin1String("\r\n"), from) - from);
        for (const QString &part : value.split(u',')) {
            if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

UpdateAddress SplitUpdateUrl(const QString &url) {
    QString rest = url.trimmed();
    if (rest.startsWith(QLatin1String("http://"))) {
        rest.remove(0, 7);
    }
    UpdateAddress address;
    const qsizetype slash = rest.indexOf(u'/');
    QString host = slash < 0 ? rest : rest.left(slash);
    address.path = slash < 0 ? QStringLiteral("/") : rest.mid(slash);
    if (const qsizetype colon = host.lastIndexOf(u':'); colon >= 0) {
        bool ok = false;
        const uint port = host.mid(colon + 1).toUInt(&ok);
        if (ok && port >= 1 && port <= 65535) {
            address.port = quint16(port);
        }
        host.truncate(colon);
    }
    address.host = host;
    return address;
}

QString BuiltInUpdateUrl() {
    return QStringLiteral(CV_UPDATE_URL);
}

QByteArray BuildUpdateRequest(const UpdateAddress &address, const UpdateProxy &proxy) {
    QString host = address.host;
    if (address.port != 80) {
        host += QLatin1Char(':') + QString::number(address.port);
    }
    const QString target = proxy.active() ? QStringLiteral("http://") + host + address.path : address.path;
    QString request = QStringLiteral("GET ") + target + QStringLiteral(" HTTP/1.1\r\n") + QStringLiteral("Host: ") +
                      host + QStringLiteral("\r\n");
    if (proxy.active() && !proxy.userName.isEmpty()) {
        const QByteArray credentials = (proxy.userName + u':' + proxy.password).toUtf8().toBase64();
        request +=
            QStringLiteral("Proxy-Authorization: Basic ") + QString::fromLatin1(credentials) + QStringLiteral("\r\n");
    }
    request += QStringLiteral("Connection: close\r\n") + QStringLiteral("Accept: */*\r\n") +
               QStringLiteral("http_accept_encoding: gzip, deflate\r\n") + QStringLiteral("\r\n");
    return request.toLatin1();
}

QString UpdateRequestProblem(const UpdateAddress &address, const UpdateProxy &proxy) {
    const auto plain = [](const QString &text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; });
    };
    if (address.host.isEmpty() || !plain(address.host)) {
        return QStringLiteral("the update address names no usable host: \"%1\"").arg(address.host);
    }
    if (!plain(address.path)) {
        return QStringLiteral("the update address's path holds blanks or other characters a request cannot carry "
                              "(write a blank as %20): \"%1\"")
            .arg(address.path);
    }
    if (!proxy.active()) {
        return QString();
    }
    if (!plain(proxy.server.trimmed())) {
        return QStringLiteral("the proxy server's name holds blanks or other characters no host name has: \"%1\"")
            .arg(proxy.server);
    }
    if (proxy.port == 0) {
        return QStringLiteral("the proxy's port must be from 1 to 65535");
    }
    const auto control = [](const QString &text) {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    };
    if (proxy.userName.contains(u':') || control(proxy.userName)) {
        return QStringLiteral("the proxy's user name may not hold \":\" or control characters");
    }
    if (control(proxy.password)) {
        return QStringLiteral("the proxy's password may not hold control characters");
    }
    return QString();
}

bool UpdateHostCannotExist(const QString &host) {
    QString name = host.trimmed().toLower();
    while (name.endsWith(u'.')) {
        name.chop(1);
    }
    const QString top = name.section(u'.', -1);
    return top == QLatin1String("example") || top == QLatin1String("invalid");
}

ChunkedBody DecodeChunked(const QByteArray &body, QByteArray &data) {
    data.clear();
    qsizetype at = 0;
    while (true) {
        const qsizetype lineEnd = body.indexOf("\r\n", at);
        if (lineEnd < 0) {
            return body.size() - at > MaxChunkLine ? ChunkedBody::Malformed : ChunkedBody::Truncated;
        }
        if (lineEnd - at > MaxChunkLine) {
            return ChunkedBody::Malformed;
        }
        QByteArray sizeText = body.mid(at, lineEnd - at);
        if (const qsizetype extension = sizeText.indexOf(';'); extension >= 0) {
            sizeText.truncate(extension);
        }
        sizeText = sizeText.trimmed();
        bool ok = false;
        const qlonglong size = sizeText.toLongLong(&ok, 16);
        if (!ok || size < 0 || sizeText.startsWith('+') || sizeText.startsWith('-')) {
            return ChunkedBody::Malformed;
        }
        if (size == 0) {
            return ChunkedBody::Complete; // trailers, if any, say nothing a page needs
        }
        at = lineEnd + 2;
        if (size > body.size() - at) {
            data += body.mid(at);
            return ChunkedBody::Truncated;
        }
        data += body.mid(at, qsizetype(size));
        at += qsizetype(size);
        if (body.size() - at < 2) {
            return ChunkedBody::Truncated;
        }
        if (body.mid(at, 2) != "\r\n") {
            return ChunkedBody::Malformed;
        }
        at += 2;
    }
}

UpdateResponse TakeUpdateResponseApart(const QByteArray &response) {
    UpdateResponse out;
    const qsizetype end = response.indexOf("\r\n\r\n");
    if (end < 0) {
        out.headers = QString::fromLatin1(response);
        return out;
    }
    out.status = UpdateResponse::Ok;
    out.headers = QString::fromLatin1(response.left(end));
    out.body = response.mid(end + 4);
    if (isTokenIn(out.headers, QLatin1String("Transfer-Encoding"), QLatin1String("chunked"))) {
        QByteArray data;
        if (DecodeChunked(out.body, data) == ChunkedBody::Malformed) {
            out.status = UpdateResponse::Unreadable;
            data.clear();
        }
        out.body = data;
    }

    // The header must start a line: a value elsewhere that merely mentions the name does not
    // count. Header names are matched ignoring case, as HTTP has them.
    const QString withEnd = out.headers + QStringLiteral("\r\n");
    const QLatin1String name("\r\nContent-Type: ");
    if (const qsizetype at = withEnd.indexOf(name, 0, Qt::CaseInsensitive); at >= 0) {
        const qsizetype from = at + name.size();
        out.contentType = withEnd.mid(from, withEnd.indexOf(QLatin1String("\r\n"), from) - from);
    }
    if (out.contentType.startsWith(QLatin1String("image/"))) {
        out.kind = UpdateResponse::Image;
    } else if (out.contentType.startsWith(QLatin1String("applic"))) {
        out.kind = out.contentType == QLatin1String("application/zip") ? UpdateResponse::Zip
                                                                       : UpdateResponse::OtherApplication;
    }
    return out;
}

QStringList PageLines(const QByteArray &body, bool *cut) {
    const QString page = QString::fromLatin1(body.left(MaxPageBytes));
    bool more = body.size() > MaxPageBytes;
    QStringList shown;
    qsizetype from = 0;
    while (from <= page.size()) {
        qsizetype end = page.indexOf(u'\n', from);
        if (end < 0) {
            end = page.size();
        }
        QString line = page.mid(from, end - from);
        from = end + 1;
        line.remove(u'\r');
        line.replace(QLatin1String("<br/>"), QLatin1String(" "));
        if (line.isEmpty() || line == QLatin1String(" ")) {
            continue;
        }
        if (shown.size() == MaxPageLines) {
            more = true;
            break;
        }
        shown << line;
    }
    if (cut != nullptr) {
        *cut = more;
    }
    return shown;
}

int CompareVersions(const QString &a, const QString &b) {
    const QStringList left = a.split(u'.');
    const QStringList right = b.split(u'.');
    const qsizetype fields = std::max(left.size(), right.size());
    for (qsizetype i = 0; i < fields; ++i) {
        const double x = i < left.size() ? NumericText::Val(left.at(i)) : 0.0;
        const double y = i < right.size() ? NumericText::Val(right.at(i)) : 0.0;
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

QString FindTheUpdate(const QString &line, const QString &ownVersion, QString &noted) {
    const qsizetype at = line.indexOf(UpdateMarker, 0, Qt::CaseInsensitive);
    if (at < 0) {
        return QString();
    }
    const QString version = line.mid(at + UpdateMarker.size()).trimmed();
    if (noted.isEmpty()) {
        noted = version;
    }
    if (CompareVersions(noted, ownVersion) <= 0) {
        noted.clear();
    }
    return noted.isEmpty() ? QString() : version;
}

QString SafeZipName(const QString &version) {
    if (version.isEmpty() || version.startsWith(u'.') || version.size() > MaxZipNameLength) {
        return QString();
    }
    for (const QChar c : version) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
                           c == u'.' || c == u'-' || c == u'_';
        if (!plain) {
            return QString();
        }
    }
    return version + QStringLiteral(".zip");
}
