#include "cli/StatusReport.h"

#include "display/Skin.h"
#include "radio_link/LinkView.h"
#include "radio_link/RadioState.h"
#include "radio_link/ReplyRows.h"
#include "radio_link/SkinTables.h"

#include <QJsonValue>
#include <QList>
#include <QPair>

#include <algorithm>

namespace {

// A whole number as the radio sends it; nothing for an empty or garbled text.
std::optional<int> numberOf(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

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

StatusReport MakeStatusReport(const QString &radio, const RadioState &state, const LinkView &view,
                              const SkinTables &skin) {
    StatusReport report;
    report.radio = radio;
    report.answers = !view.LinkHealth.isEmpty() && !view.RadioOffline;
    report.power = state.PowerState.trimmed().toLower();
    report.volume = numberOf(state.VolumeText);
    report.version = state.VersionText.trimmed();

    report.screen = numberOf(state.MenuState);
    if (report.screen) {
        if (const StateTableEntry *entry = StateEntryAt(skin, *report.screen)) {
            report.screenName = entry->Name;
        }
    }
    report.menuItem = numberOf(state.SelectedMenuItem);
    if (report.menuItem) {
        if (const MenuTableEntry *entry = MenuEntryAt(skin, *report.menuItem)) {
            report.menuItemName = entry->Name;
        }
    }

    // The list rows: the head, "pos=N (k)" (N 1-based, k its place on the page of seven), then
    // "1=entry" ... "7=entry". They describe the screen only while it shows a list.
    if (view.InfoListEnabled && view.InfoList.size() > 1) {
        report.listPosition = numberOf(RowValue(view.InfoList, u"pos").section(u' ', 0, 0));
        if (!state.SelectedListItem.isEmpty()) {
            report.listEntry = RowValue(view.InfoList, state.SelectedListItem);
        }
    }

    const QStringList &meta = view.MetaList;
    report.playing.title = RowValue(meta, u"title");
    report.playing.artist = RowValue(meta, u"artist");
    report.playing.album = RowValue(meta, u"album");
    report.playing.url = RowValue(meta, u"url");
    report.playing.status = RowValue(meta, u"status");
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
