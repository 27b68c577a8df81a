#pragma once

#include "platform/NumericText.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <QVarLengthArray>

#include <cstring>
#include <optional>

// Reading the radio's reply lines, and nothing else: a line comes in, a typed value comes out,
// nothing is looked up or changed on the way. The decoder applies the values to the device
// state (ReplyApplier); the fuzzers drive these functions directly.
//
// A reply line is either one value ("STATE=ON", "VER=1.2", "VOL=40") or a list of pairs behind
// head words ("Menu state=3 mp=1 ms=2", "Meta title=A B artist=C", "List pos=9 1=One 2=Two"):
// a value keeps all its words up to the next key, the key being the last word before an "=".
namespace ReplyParser {

enum class Kind : quint8 {
    Unknown, // of no kind the program knows: nothing to apply
    List,    // "List ...": the information list
    Menu,    // "Menu ...": the screen, page and item the radio shows
    Meta,    // "Meta ...": what is playing
    Stat,    // "STAT..." other than a state: known, carries nothing
    Power,   // "STATE=": the power state
    Version, // "VER="
    Volume,  // "VOL="
};

struct Line {
    Kind kind = Kind::Unknown;
    // Power, Version, Volume: the text after the "="; List, Menu, Meta: the whole line, whose
    // pairs are read by parseMenu, parseMeta and parseList (the decoder reads them only when the
    // line differs from the one before it: a radio repeats itself thousands of times).
    QStringView value;
};

// Which kind of line, and its value. An empty line is Unknown.
inline Line parseLine(QStringView line);

// The keys of a menu line that the program reads, in the order the line gives them (a later
// key overrides an earlier one, and a screen key is acted on where it stands).
struct MenuField {
    enum Key : quint8 {
        Screen, // "state": the screen number; empty when garbled (longer than 4 characters)
        Page,   // "mp"
        Item,   // "ms"
    };
    Key key;
    QStringView value;
};
using MenuReply = QVarLengthArray<MenuField, 6>;
MenuReply parseMenu(QStringView line);

struct MetaReply {
    qsizetype pairs = 0;
    // The fifth pair, where the radio puts its player status (the sixth row with the head's).
    QStringView statusKey;
    QStringView statusValue;
    bool hasStatus() const { return pairs >= 5; }
};
MetaReply parseMeta(QStringView line);

struct ListReply {
    QStringView head;
    // The place on a page of seven the pairs name last: "pos" holds the 0-based position (its
    // place is 1..7), other keys beginning with "pos" carry a number in brackets, taken as it
    // is. None when no pair names one.
    std::optional<qint16> place;
};
ListReply parseList(QStringView line);

// The row of a pair line's expansion (0 the head's, 1.. the pairs') that first begins with
// `first`, -1 when none does. An empty head reads as a blank, an empty key as its "=".
int firstRowStartingWith(QStringView line, QChar first);

// The head words of a pair line (the whole line when it holds no "=").
QStringView headOf(QStringView line);

// The number of rows of a line's expansion: the head's and one per pair.
inline qsizetype rowCount(QStringView line) {
    return line.count(u'=') + 1;
}

// Equal texts, compared without building anything: this runs for every line of a reply.
inline bool same(QStringView a, QStringView b);

// The usual numeric-prefix reading. What the radio sends, a number of a few digits maybe
// followed by other text ("3)"), is read without going through a double.
inline qint16 int16Of(QStringView text);

// The place of a 0-based list position on a page of seven, 1..7.
inline int placeOnPage(qint16 position) {
    return (int(position) % 7 + 7) % 7 + 1;
}

// Hands each key of a pair line and its value to visit, in order, and returns the head. Each
// piece between two "=" ends with the next key, after its last blank; what comes before that
// blank is the value of the key before. One pass over the characters: it runs for every line of
// a reply.
template <typename Visit>
QStringView cutPairs(QStringView line, Visit &&visit) {
    const char16_t *text = line.utf16();
    const qsizetype size = line.size();
    // The piece from `from` up to the next "=" (or the end); `blank`: its last blank, or -1.
    qsizetype at = 0;
    qsizetype blank = -1;
    const auto piece = [&](qsizetype from) {
        blank = -1;
        for (at = from; at < size && text[at] != u'='; ++at) {
            if (text[at] == u' ') {
                blank = at;
            }
        }
    };
    piece(0);
    if (at == size) {
        return line;
    }
    const QStringView head = blank < 0 ? QStringView() : QStringView(text, blank);
    QStringView key = blank < 0 ? QStringView(text, at) : QStringView(text + blank + 1, at - blank - 1);
    for (;;) {
        const qsizetype from = at + 1;
        piece(from);
        if (at == size) {
            visit(key, QStringView(text + from, size - from));
            return head;
        }
        const QStringView value = blank < 0 ? QStringView() : QStringView(text + from, blank - from);
        const QStringView nextKey =
            blank < 0 ? QStringView(text + from, at - from) : QStringView(text + blank + 1, at - blank - 1);
        visit(key, value);
        key = nextKey;
    }
}

// The functions that run for every line of a reply, inline.

inline bool same(QStringView a, QStringView b) {
    return a.size() == b.size() &&
           (a.isEmpty() || std::memcmp(a.utf16(), b.utf16(), size_t(a.size()) * sizeof(char16_t)) == 0);
}

inline qint16 int16Of(QStringView text) {
    int value = 0;
    qsizetype digits = 0;
    while (digits < text.size() && digits < 5 && text[digits] >= u'0' && text[digits] <= u'9') {
        value = value * 10 + (text[digits].unicode() - u'0');
        ++digits;
    }
    const bool plain = digits > 0 && digits < 5 && (digits == text.size() || text[digits] != u'.');
    return plain ? qint16(value) : NumericText::Int16Of(text.toString());
}

inline Line parseLine(QStringView line) {
    if (line.isEmpty()) {
        return {};
    }
    // Which kind of line, by its first letter before anything else.
    const char16_t first = line.front().unicode();
    if (first != u'L' && first != u'M' && first != u'S' && first != u'V') {
        return {};
    }
    if (line.startsWith(QLatin1String("List"))) {
        return {Kind::List, line};
    }
    if (line.startsWith(QLatin1String("Menu"))) {
        return {Kind::Menu, line};
    }
    if (line.startsWith(QLatin1String("Meta"))) {
        return {Kind::Meta, line};
    }
    if (line.startsWith(QLatin1String("STAT"))) {
        return line.startsWith(QLatin1String("STATE=")) ? Line{Kind::Power, line.mid(6)} : Line{Kind::Stat, {}};
    }
    if (line.startsWith(QLatin1String("VER="))) {
        return {Kind::Version, line.mid(4)};
    }
    if (line.startsWith(QLatin1String("VOL="))) {
        return {Kind::Volume, line.mid(4)};
    }
    return {};
}

} // namespace ReplyParser
