#pragma once

#include <QString>
#include <QtGlobal>

// The radio named on the command line: HOST[:PORT], an IPv6 address in brackets when it comes
// with a port ("[fe80::1]:8080"), bare otherwise.
struct RadioAddress {
    static constexpr quint16 DefaultPort = 8080; // the radio's command port

    QString host;
    quint16 port = DefaultPort;
    QString error; // what is wrong with the text, for the user; empty when it was understood

    bool ok() const { return error.isEmpty(); }
    // host:port as a user would type it again.
    QString text() const;
};

RadioAddress ParseRadioAddress(const QString &text);
