#include "cli/RadioAddress.h"

#include <algorithm>

namespace {

RadioAddress failed(const QString &why) {
    RadioAddress address;
    address.error = why;
    return address;
}

bool validHost(const QString &host) {
    if (host.isEmpty()) {
        return false;
    }
    // Whatever goes to the resolver is printable and has no blanks: a host name, an IPv4 or an
    // IPv6 address. The rest would only fail later with a less helpful message.
    for (const QChar c : host) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7f || c == u'/' || c == u'[' || c == u']') {
            return false;
        }
    }
    return true;
}

} // namespace

QString RadioAddress::text() const {
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(port);
}

RadioAddress ParseRadioAddress(const QString &text) {
    QString host = text.trimmed();
    QString portText;
    if (host.startsWith(u'[')) {
        const qsizetype close = host.indexOf(u']');
        if (close < 0) {
            return failed(QStringLiteral("\"%1\" opens a bracket it does not close: write [ADDRESS]:PORT").arg(text));
        }
        const QString rest = host.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':')) {
            return failed(QStringLiteral("\"%1\": only \":PORT\" may follow the bracketed address").arg(text));
        }
        portText = rest.isEmpty() ? QString() : rest.mid(1);
        host = host.mid(1, close - 1);
        if (!rest.isEmpty() && portText.isEmpty()) {
            return failed(QStringLiteral("\"%1\" has a colon but no port after it").arg(text));
        }
    } else if (host.count(u':') == 1) {
        // One colon separates the port; more are an IPv6 address without a port.
        const qsizetype colon = host.indexOf(u':');
        portText = host.mid(colon + 1);
        host = host.left(colon);
        if (portText.isEmpty()) {
            return failed(QStringLiteral("\"%1\" has a colon but no port after it").arg(text));
        }
    }
    if (!validHost(host)) {
        return failed(
            QStringLiteral("\"%1\" names no radio: write HOST or HOST:PORT, e.g. 192.168.1.20:8080").arg(text));
    }
    RadioAddress address;
    address.host = host;
    if (!portText.isEmpty()) {
        bool number = false;
        const uint port = portText.toUInt(&number, 10);
        const bool digitsOnly = std::all_of(portText.begin(), portText.end(), [](QChar c) { return c.isDigit(); });
        if (!number || !digitsOnly || port < 1 || port > 65535) {
            return failed(QStringLiteral("\"%1\" is no port: use a number from 1 to 65535").arg(portText));
        }
        address.port = quint16(port);
    }
    return address;
}
