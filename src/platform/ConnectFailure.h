#pragma once

#include <QString>

// Why a connection could not be opened, in the words of the system's error, for people: the
// link's status bar and offline line, the first-run dialog's Test and the console say it the
// same way, together with the address tried and where to change it.
enum class ConnectFailureKind { Refused, NoRoute, TimedOut, NameNotFound, Reset, Other };

// The kind of a socket's error (a QAbstractSocket::SocketError number and its text). An
// attempt that ended at its deadline without any error is TimedOut.
ConnectFailureKind ConnectFailureOf(bool errorSeen, int socketError, const QString &errorText);

// "connection refused", "no route to the host", "no answer in time", "name not found",
// "connection reset"; Other gives the system's own text.
QString ConnectFailureWords(ConnectFailureKind kind, const QString &errorText);

// The same in two or three words, for a status line: "connection refused", "no answer in time",
// "connection reset"; Other gives "connection failed".
QString ConnectFailureBrief(ConnectFailureKind kind);

// Where the user changes the radio's address.
inline constexpr char RadioAddressPlace[] = "Radio > Radio Address...";

// "Cannot reach 127.0.0.1:8080: connection refused (...). Change it in Radio > Radio Address..."
QString ConnectFailureSentence(const QString &address, const QString &why);
