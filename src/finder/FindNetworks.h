#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// The networks the radio finder may look in, and the addresses it asks there.
//
// The finder only ever asks private IPv4 addresses (10.0.0.0/8, 172.16.0.0/12, 192.168.0.0/16)
// and loopback (127.0.0.0/8, where tests and the simulated radio live): the networks of a
// home or an office, never anybody else's. A network is at most a /24 (254 addresses), so a
// search stays a few seconds long and never becomes a sweep of a whole private range.

struct Ipv4Network {
    quint32 base = 0; // the network's first address, host bits cleared
    int prefix = 32;

    quint32 mask() const { return prefix <= 0 ? 0u : prefix >= 32 ? ~quint32(0) : ~quint32(0) << (32 - prefix); }
    bool contains(quint32 address) const { return (address & mask()) == base; }
    // "192.168.1.0/24"
    QString text() const;
    // The addresses a host can have: without the network's own address and its broadcast
    // address, except in a /31 and a /32, which have none.
    QList<quint32> hosts() const;

    friend bool operator==(const Ipv4Network &, const Ipv4Network &) = default;
};

constexpr int WidestFindPrefix = 24;

// "192.168.1.7" and "1.2.3.4" as numbers and back: four decimal fields 0..255, nothing else
// (no short forms such as "10.1", no leading "+", no blanks).
bool ParseIpv4(const QString &text, quint32 &address);
QString Ipv4Text(quint32 address);

// 10/8, 172.16/12, 192.168/16 or 127/8.
bool IsFindableAddress(quint32 address);
bool IsLoopbackAddress(quint32 address);

// A network as the user names it: "A.B.C.D/N" (host bits are dropped: 192.168.1.7/24 is
// 192.168.1.0/24) or a single address "A.B.C.D" (a /32). Refused, with the reason in error:
// anything else, a network wider than a /24 (the user names the /24 they mean), and a network
// that is not wholly private or loopback.
struct FindNetworkChoice {
    Ipv4Network network;
    QString error; // empty when the network can be searched

    bool ok() const { return error.isEmpty(); }
};
FindNetworkChoice ParseFindNetwork(const QString &text);

// One IPv4 address of one of the machine's network interfaces.
struct InterfaceAddress {
    quint32 address = 0;
    int prefix = 32;
};

// The networks to search for a machine with these addresses: the private ones only (loopback
// and public addresses are left out), each cut to the /24 around the machine's own address
// when wider (a 10.1.2.3/8 gives 10.1.2.0/24), each once, in the order given.
QList<Ipv4Network> NetworksToSearch(const QList<InterfaceAddress> &addresses);

// The private IPv4 networks this machine is on now (interfaces that are up, not loopback),
// as NetworksToSearch makes them. The program's default; never for tests, which name a
// loopback network instead.
QList<Ipv4Network> LocalPrivateNetworks();
