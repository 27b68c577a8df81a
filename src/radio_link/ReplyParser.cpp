#include "radio_link/ReplyParser.h"

namespace ReplyParser {

QStringView headOf(QStringView line) {
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) {
        return line;
    }
    const qsizetype blank = line.left(equals).lastIndexOf(u' ');
    return blank < 0 ? QStringView() : line.left(blank);
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
    const QStringView head = headOf(line);
    if ((head.isEmpty() ? QChar(u' ') : head.front()) == first) {
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
