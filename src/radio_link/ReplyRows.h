#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The information panel's text of a reply line: its pairs one to a row, as the menu, meta and
// information lists show them.

// Expands a "Head key=value key=value" reply into lines: the head words with " - Updated " and
// the time, then one "key=value" line per pair (a value keeps all its words up to the next
// key). A "pos" value (0-based) is shown 1-based with its place on a page of seven: pos=9
// becomes pos=10 (3). A reply that is exactly "OK" comes back unchanged. Lines end in CR LF.
QString CrazyList(const QString &reply, const QString &updatedAt);

// The same expansion as separate rows, without line ends (what the lists hold).
QStringList CrazyLines(QStringView reply, const QString &updatedAt);

// One pair's row: key=value, a "pos" value rewritten.
QString pairRow(QStringView key, QStringView value);

// The head's row: the head words, " - Updated " and the time.
QString headRow(QStringView head, const QString &updatedAt);

// The value of the first "key=value" row after the head (as CrazyLines made them); "" when no
// row has that key.
QString RowValue(const QStringList &rows, QStringView key);
