#include "radio_link/ReplyParser.h"

#include "platform/NumericText.h"

#include <cstring>

namespace ReplyParser {

bool same(QStringView a, QStringView b) {
    return a.size() == b.size() &&
           (a.isEmpty() || std::memcmp(a.utf16(), b.utf16(), size_t(a.size()) * sizeof(char16_t)) == 0);
}

qint16 int16Of(QStringView text) {
    int value = 0;
    qsizetype digits = 0;
    while (digits < text.size() && digits < 5 && text[digits] >= u'0' && text[digits] <= u'9') {
        value = value * 10 + (text[digits].unicode() - u'0');
        ++digits;
    }
    const bool plain = digits > 0 && digits < 5 && (digits == text.size() || text[digits] != u'.');
    return plain ? qint16(value) : NumericText::Int16Of(text.toString());
}

QStringView headOf(QStringView line) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) {
        return line;
    }
    const qsizetype blank = line.left(equals).lastIndexOf(u' ');
    return blank < 0 ? QStringView() : line.left(blank);
}

Line parseLine(QStringView line) {
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

MenuReply parseMenu(QStringView line) {
    MenuReply fields;
    cutPairs(line, [&fields](QStringView key, QStringView value) {
        if (same(key, u"state")) {
            fields.append({MenuField::Screen, value.size() > 4 ? QStringView() : value});
        } else if (same(key, u"mp")) {
            fields.append({MenuField::Page, value});
        } else if (same(key, u"ms")) {
            fields.append({MenuField::Item, value});
        }
    });
    return fields;
}

MetaReply parseMeta(QStringView line) {
    MetaReply meta;
    cutPairs(line, [&meta](QStringView key, QStringView value) {
        if (++meta.pairs == 5) {
            meta.statusKey = key;
            meta.statusValue = value;
        }
    });
    return meta;
}

ListReply parseList(QStringView line) {
    ListReply list;
    list.head = cutPairs(line, [&list](QStringView key, QStringView value) {
        if (key == u"pos") {
            list.place = qint16(placeOnPage(int16Of(value)));
        } else if (key.startsWith(QLatin1String("pos"))) {
            // The number after the first bracket of the row "key=value", if there is one.
            const QString row = key.toString() + u'=' + value;
            const qsizetype open = row.indexOf(u'(');
            if (open >= 0) {
                list.place = int16Of(QStringView(row).mid(open + 1));
            }
        }
    });
    return list;
}

int firstRowStartingWith(QStringView line, QChar first) {
    if ((headOf(line).isEmpty() ? QChar(u' ') : headOf(line).front()) == first) {
        return 0;
    }
    int row = 0;
    int found = -1;
    cutPairs(line, [&](QStringView key, QStringView) {
        ++row;
        if (found < 0 && (key.isEmpty() ? QChar(u'=') : key.front()) == first) {
            found = row;
        }
    });
    return found;
}

} // namespace ReplyParser
