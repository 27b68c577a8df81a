#include "finder/FindNetworks.h"

#include <QHostAddress>
#include <QNetworkInterface>

#include <algorithm>

namespace {

struct Range {
    quint32 base;
    int prefix;
};

// RFC 1918's private ranges, and loopback.
constexpr Range PrivateRanges[] = {{0x0A000000u, 8}, {0xAC100000u, 12}, {0xC0A80000u, 16}};
constexpr Range Loopback{0x7F000000u, 8};

bool inRange(quint32 address, const Range &range) {
    return Ipv4Network{range.base, range.prefix}.contains(address);
}

Ipv4Network networkOf(quint32 address, int prefix) {
    Ipv4Network network{0, prefix};
    network.base = address & network.mask();
    return network;
}

} // namespace

QString Ipv4Network::text() const {
    return Ipv4Text(base) + u'/' + QString::number(prefix);
}

QList<quint32> Ipv4Network::hosts() const {
    QList<quint32> list;
    // Nothing wider than a /24 is ever searched; a wider network here gives no addresses
    // rather than millions.
    if (prefix < WidestFindPrefix || prefix > 32) {
        return list;
    }
    const quint32 size = quint32(1) << (32 - prefix);
    const quint32 first = base & mask();
    const quint32 skip = prefix >= 31 ? 0 : 1; // the network's own address and its broadcast address
    for (quint32 i = skip; i < size - skip; ++i) {
        list << first + i;
    }
    return list;
}

bool ParseIpv4(const QString &text, quint32 &address) {
    const QStringList fields = text.split(u'.');
    if (fields.size() != 4) {
        return false;
    }
    quint32 value = 0;
    for (const QString &field : fields) {
        if (field.isEmpty() || field.size() > 3) {
            return false;
        }
        uint number = 0;
        for (const QChar c : field) {
            if (c < u'0' || c > u'9') {
                return false;
            }
            number = number * 10 + uint(c.unicode() - u'0');
        }
        if (number > 255) {
            return false;
        }
        value = (value << 8) | number;
    }
    address = value;
    return true;
}

QString Ipv4Text(quint32 address) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg((address >> 24) & 0xFF)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

bool IsLoopbackAddress(quint32 address) {
    return inRange(address, Loopback);
}

bool IsFindableAddress(quint32 address) {
    for (const Range &range : PrivateRanges) {
        if (inRange(address, range)) {
            return true;
        }
    }
    return IsLoopbackAddress(address);
}

FindNetworkChoice ParseFindNetwork(const QString &text) {
    FindNetworkChoice choice;
    const QString trimmed = text.trimmed();
    const qsizetype slash = trimmed.indexOf(u'/');
    const QString addressText = slash < 0 ? trimmed : trimmed.left(slash);
    quint32 address = 0;
    if (!ParseIpv4(addressText, address)) {
        choice.error =
            QStringLiteral("\"%1\" is no IPv4 network: write it as A.B.C.D/N, e.g. 192.168.1.0/24").arg(text);
        return choice;
    }
    int prefix = 32;
    if (slash >= 0) {
        const QString prefixText = trimmed.mid(slash + 1);
        bool ok = !prefixText.isEmpty() && prefixText.size() <= 2 &&
                  std::all_of(prefixText.begin(), prefixText.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        prefix = ok ? prefixText.toInt() : -1;
        if (prefix < 0 || prefix > 32) {
            choice.error =
                QStringLiteral("\"%1\": the part after \"/\" must be a prefix length from 24 to 32").arg(text);
            return choice;
        }
    }
    choice.network = networkOf(address, prefix);
    const quint32 last = choice.network.base | ~choice.network.mask();
    // Checked on the whole network, its first and its last address: a network that reaches
    // out of the private ranges is not searched even in part.
    if (!IsFindableAddress(choice.network.base) || !IsFindableAddress(last)) {
        choice.error = QStringLiteral("%1 is not a private network: radios are looked for only in 10.0.0.0/8, "
                                      "172.16.0.0/12, 192.168.0.0/16 and on loopback (127.0.0.0/8)")
                           .arg(choice.network.text());
        return choice;
    }
    if (prefix < WidestFindPrefix) {
        choice.error = QStringLiteral("%1 is wider than a /24 (%2 addresses): name the /24 the radio is on, e.g. %3")
                           .arg(choice.network.text())
                           .arg(qulonglong(1) << (32 - prefix))
                           .arg(networkOf(address, WidestFindPrefix).text());
        return choice;
    }
    return choice;
}

QList<Ipv4Network> NetworksToSearch(const QList<InterfaceAddress> &addresses) {
    QList<Ipv4Network> networks;
    for (const InterfaceAddress &entry : addresses) {
        if (IsLoopbackAddress(entry.address) || !IsFindableAddress(entry.address) || entry.prefix < 0 ||
            entry.prefix > 32) {
            continue;
        }
        // Every private range is wider than a /24, so the /24 around a private address (the cut
        // a 10.1.2.3/8 or a misconfigured 172.16.0.1/8 gets) lies wholly inside its range.
        const Ipv4Network network = networkOf(entry.address, std::max(entry.prefix, WidestFindPrefix));
        if (!networks.contains(network)) {
            networks << network;
        }
    }
    return networks;
}

QList<Ipv4Network> LocalPrivateNetworks() {
    QList<InterfaceAddress> addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning) ||
            flags.testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) {
                continue;
            }
            addresses.append({entry.ip().toIPv4Address(), entry.prefixLength()});
        }
    }
    return NetworksToSearch(addresses);
}
