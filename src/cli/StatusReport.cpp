#include "cli/StatusReport.h"

#include "session/RadioStatus.h"

#include <QJsonValue>
#include <QList>
#include <QPair>

#include <algorithm>

namespace {

QJsonValue jsonOf(const std::optional<int> &value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue jsonOf(const QString &text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QString numbered(const std::optional<int> &number, const QString &name) {
    if (!number) {
        return name;
    }
    return name.isEmpty() ? QString::number(*number) : QString::number(*number) + u' ' + name;
}

} // namespace

StatusReport MakeStatusReport(const QString &radio, const RadioStatus &status) {
    StatusReport report;
    report.radio = radio;
    report.answers = status.answers();
    report.power = status.power;
    report.volume = status.volume;
    report.version = status.version;
    report.screen = status.screen;
    report.screenName = status.screenName;
    report.menuItem = status.menuItem;
    report.menuItemName = status.menuItemName;
    report.listPosition = status.listPosition;
    report.listEntry = status.listEntry;
    report.playing = {status.playing.title, status.playing.artist, status.playing.album, status.playing.url,
                      status.playing.status};
    return report;
}

QString StatusText(const StatusReport &report) {
    const auto known = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    QString playing = report.playing.artist;
    if (!report.playing.title.isEmpty()) {
        playing += (playing.isEmpty() ? QString() : QStringLiteral(" - ")) + report.playing.title;
    }
    QList<QPair<QString, QString>> lines{
        {QStringLiteral("Radio"),
         report.radio + (report.answers ? QStringLiteral(" (answers)") : QStringLiteral(" (does not answer)"))},
        {QStringLiteral("Power"), known(report.power)},
        {QStringLiteral("Volume"), known(report.volume ? QString::number(*report.volume) : QString())},
        {QStringLiteral("Screen"), known(numbered(report.screen, report.screenName))},
        {QStringLiteral("Menu item"), known(numbered(report.menuItem, report.menuItemName))},
    };
    if (report.listPosition || !report.listEntry.isEmpty()) {
        lines.append({QStringLiteral("List entry"), known(numbered(report.listPosition, report.listEntry))});
    }
    lines.append({QStringLiteral("Playing"), known(playing)});
    lines.append({QStringLiteral("Player"), known(report.playing.status)});
    if (!report.playing.album.isEmpty()) {
        lines.append({QStringLiteral("Album"), report.playing.album});
    }
    if (!report.playing.url.isEmpty()) {
        lines.append({QStringLiteral("Stream"), report.playing.url});
    }
    lines.append({QStringLiteral("Version"), known(report.version)});

    qsizetype width = 0;
    for (const auto &line : lines) {
        width = std::max(width, line.first.size());
    }
    QString text;
    for (const auto &line : lines) {
        text += QString(line.first + u':').leftJustified(width + 2) + line.second + u'\n';
    }
    return text;
}

QString StatusLine(const StatusReport &report) {
    QStringList parts;
    if (!report.answers) {
        parts << QStringLiteral("no answer from ") + report.radio;
    }
    const auto add = [&parts](const char *name, const QString &value) {
        if (!value.isEmpty()) {
            parts << QLatin1String(name) + u' ' + value;
        }
    };
    add("power", report.power);
    add("volume", report.volume ? QString::number(*report.volume) : QString());
    add("screen", numbered(report.screen, report.screenName));
    add("item", numbered(report.menuItem, report.menuItemName));
    add("list", numbered(report.listPosition, report.listEntry));
    QString playing = report.playing.artist;
    if (!report.playing.title.isEmpty()) {
        playing += (playing.isEmpty() ? QString() : QStringLiteral(" - ")) + report.playing.title;
    }
    if (!report.playing.status.isEmpty()) {
        playing += (playing.isEmpty() ? QString() : QStringLiteral(" ")) + u'(' + report.playing.status + u')';
    }
    add("playing", playing);
    return parts.join(QStringLiteral(", "));
}

QJsonObject StatusJson(const StatusReport &report) {
    return QJsonObject{
        {QStringLiteral("radio"), report.radio},
        {QStringLiteral("answers"), report.answers},
        {QStringLiteral("power"), jsonOf(report.power)},
        {QStringLiteral("volume"), jsonOf(report.volume)},
        {QStringLiteral("screen"), jsonOf(report.screen)},
        {QStringLiteral("screenName"), jsonOf(report.screenName)},
        {QStringLiteral("menuItem"), jsonOf(report.menuItem)},
        {QStringLiteral("menuItemName"), jsonOf(report.menuItemName)},
        {QStringLiteral("listPosition"), jsonOf(report.listPosition)},
        {QStringLiteral("listEntry"), jsonOf(report.listEntry)},
        {QStringLiteral("playing"), QJsonObject{{QStringLiteral("title"), jsonOf(report.playing.title)},
                                                {QStringLiteral("artist"), jsonOf(report.playing.artist)},
                                                {QStringLiteral("album"), jsonOf(report.playing.album)},
                                                {QStringLiteral("url"), jsonOf(report.playing.url)},
                                                {QStringLiteral("status"), jsonOf(report.playing.status)}}},
        {QStringLiteral("version"), jsonOf(report.version)},
    };
}
