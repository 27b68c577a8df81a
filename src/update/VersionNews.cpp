#include "update/VersionNews.h"

#include "update/UpdateHttp.h"

#include <algorithm>

namespace {

constexpr qsizetype MaxFieldDigits = 9; // fits an int

} // namespace

std::optional<QList<int>> ParseVersion(const QString &text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    QList<int> fields;
    for (const QString &field : text.split(u'.')) {
        if (field.isEmpty() || field.size() > MaxFieldDigits ||
            !std::all_of(field.begin(), field.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
            return std::nullopt;
        }
        fields << field.toInt();
    }
    return fields;
}

VersionNews JudgeVersionPage(const QStringList &pageLines, const QString &ownVersion) {
    for (const QString &line : pageLines) {
        const qsizetype at = line.indexOf(UpdateMarker, 0, Qt::CaseInsensitive);
        if (at < 0) {
            continue;
        }
        const QString rest = line.mid(at + UpdateMarker.size()).trimmed();
        VersionNews news;
        news.offered = rest.section(u' ', 0, 0, QString::SectionSkipEmpty);
        const std::optional<QList<int>> offered = ParseVersion(news.offered);
        const std::optional<QList<int>> own = ParseVersion(ownVersion);
        if (!offered || !own) {
            news.kind = VersionNews::Unreadable;
            return news;
        }
        const qsizetype fields = std::max(offered->size(), own->size());
        int order = 0;
        for (qsizetype i = 0; i < fields && order == 0; ++i) {
            const int x = i < offered->size() ? offered->at(i) : 0;
            const int y = i < own->size() ? own->at(i) : 0;
            order = x < y ? -1 : (x > y ? 1 : 0);
        }
        news.kind = order > 0 ? VersionNews::Newer : VersionNews::Latest;
        return news;
    }
    return VersionNews{};
}

QString VersionNewsLine(const VersionNews &news, const QString &ownVersion) {
    switch (news.kind) {
    case VersionNews::Newer:
        return QStringLiteral("A newer version, V.%1, is available.").arg(news.offered);
    case VersionNews::Latest:
        return QStringLiteral("You have the latest version.");
    case VersionNews::Unreadable:
        if (news.offered.isEmpty()) {
            return QStringLiteral(
                "Could not tell whether a newer version is available: the answer's version is blank.");
        }
        return QStringLiteral("Could not tell whether V.%1 is newer than this version (%2).")
            .arg(news.offered, ownVersion);
    case VersionNews::NoVersion:
        break;
    }
    return QStringLiteral("Could not tell whether a newer version is available: the answer names no version.");
}
