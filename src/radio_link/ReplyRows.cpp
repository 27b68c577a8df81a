#include "radio_link/ReplyRows.h"

#include "radio_link/ReplyParser.h"

namespace {

// The 0-based list position becomes 1-based, with its place on a page of seven.
QString rewritePos(QStringView value) {
    const qint16 pos = ReplyParser::int16Of(value);
    return QString::number(int(pos) + 1) + QStringLiteral(" (") + QString::number(ReplyParser::placeOnPage(pos)) +
           QStringLiteral(")");
}

} // namespace

QString pairRow(QStringView key, QStringView value) {
    QString row;
    row.reserve(key.size() + 1 + value.size() + 8);
    row.append(key).append(u'=');
    if (key == u"pos") {
        row.append(rewritePos(value));
    } else {
        row.append(value);
    }
    return row;
}

QString headRow(QStringView head, const QString &updatedAt) {
    return head.toString() + QLatin1String(" - Updated ") + updatedAt;
}

QString RowValue(const QStringList &rows, QStringView key) {
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QString &row = rows[r];
        if (row.size() > key.size() && row.startsWith(key) && row[key.size()] == u'=') {
            return row.mid(key.size() + 1);
        }
    }
    return {};
}

QStringList CrazyLines(QStringView reply, const QString &updatedAt) {
    QStringList lines;
    lines.reserve(ReplyParser::rowCount(reply));
    lines << QString();
    const QStringView head =
        ReplyParser::cutPairs(reply, [&lines](QStringView key, QStringView value) { lines << pairRow(key, value); });
    lines.first() = headRow(head, updatedAt);
    return lines;
}

QString CrazyList(const QString &reply, const QString &updatedAt) {
    if (reply == QLatin1String("OK")) {
        return reply;
    }
    QString out;
    for (const QString &line : CrazyLines(reply, updatedAt)) {
        out += line + QStringLiteral("\r\n");
    }
    return out;
}
