#include "platform/ConnectFailure.h"

#include <QAbstractSocket>

ConnectFailureKind ConnectFailureOf(bool errorSeen, int socketError, const QString &errorText) {
    if (!errorSeen) {
        return ConnectFailureKind::TimedOut;
    }
    switch (QAbstractSocket::SocketError(socketError)) {
    case QAbstractSocket::ConnectionRefusedError:
        return ConnectFailureKind::Refused;
    case QAbstractSocket::HostNotFoundError:
        return ConnectFailureKind::NameNotFound;
    case QAbstractSocket::SocketTimeoutError:
        return ConnectFailureKind::TimedOut;
    case QAbstractSocket::RemoteHostClosedError:
        return ConnectFailureKind::Reset;
    case QAbstractSocket::NetworkError:
        // Qt reports ENETUNREACH, EHOSTUNREACH and ECONNRESET alike; only the text tells them apart.
        if (errorText.contains(QStringLiteral("unreachable"), Qt::CaseInsensitive)) {
            return ConnectFailureKind::NoRoute;
        }
        if (errorText.contains(QStringLiteral("reset"), Qt::CaseInsensitive)) {
            return ConnectFailureKind::Reset;
        }
        if (errorText.contains(QStringLiteral("timed out"), Qt::CaseInsensitive)) {
            return ConnectFailureKind::TimedOut;
        }
        return ConnectFailureKind::Other;
    default:
        return ConnectFailureKind::Other;
    }
}

QString ConnectFailureWords(ConnectFailureKind kind, const QString &errorText) {
    switch (kind) {
    case ConnectFailureKind::Refused:
        return QStringLiteral("connection refused (nothing listens on that port)");
    case ConnectFailureKind::NoRoute:
        return QStringLiteral("no route to the host (%1)").arg(errorText.trimmed().toLower());
    case ConnectFailureKind::TimedOut:
        return QStringLiteral("no answer in time (the host is off or away)");
    case ConnectFailureKind::NameNotFound:
        return QStringLiteral("name not found");
    case ConnectFailureKind::Reset:
        return QStringLiteral("connection reset by the host");
    case ConnectFailureKind::Other:
        break;
    }
    const QString text = errorText.trimmed();
    return text.isEmpty() ? QStringLiteral("the connection failed") : text;
}

QString ConnectFailureBrief(ConnectFailureKind kind) {
    switch (kind) {
    case ConnectFailureKind::Refused:
        return QStringLiteral("connection refused");
    case ConnectFailureKind::NoRoute:
        return QStringLiteral("no route to the host");
    case ConnectFailureKind::TimedOut:
        return QStringLiteral("no answer in time");
    case ConnectFailureKind::NameNotFound:
        return QStringLiteral("name not found");
    case ConnectFailureKind::Reset:
        return QStringLiteral("connection reset");
    case ConnectFailureKind::Other:
        break;
    }
    return QStringLiteral("connection failed");
}

QString ConnectFailureSentence(const QString &address, const QString &why) {
    return QStringLiteral("Cannot reach %1: %2. Change it in %3").arg(address, why, QLatin1String(RadioAddressPlace));
}
