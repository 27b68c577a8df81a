#include "update/UpdateHttp.h"

#include "platform/NumericText.h"

#include <algorithm>

namespace {

// Far below any file system's limit on a name.
constexpr qsizetype MaxZipNameLength = 100;

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

QByteArray BuildUpdateRequest(const UpdateAddress &address) {
    QString host = address.host;
    if (address.port != 80) {
        host += QLatin1Char(':') + QString::number(address.port);
    }
    const QString request = QStringLiteral("GET ") + address.path + QStringLiteral(" HTTP/1.1\r\n") +
                            QStringLiteral("Host: ") + host + QStringLiteral("\r\n") +
                            QStringLiteral("Connection: close\r\n") + QStringLiteral("Accept: */*\r\n") +
                            QStringLiteral("http_accept_encoding: gzip, deflate\r\n") + QStringLiteral("\r\n");
    return request.toLatin1();
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

QStringList PageLines(const QString &page) {
    QStringList shown;
    for (QString line : page.split(u'\n')) {
        line.remove(u'\r');
        line.replace(QLatin1String("<br/>"), QLatin1String(" "));
        if (!line.isEmpty() && line != QLatin1String(" ")) {
            shown << line;
        }
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
