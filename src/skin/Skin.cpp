#include "skin/Skin.h"

#include "platform/FileBits.h"
#include "settings/INIFILES.h"

#include <QStringTokenizer>
#include <QStringView>

#include <algorithm>
#include <array>

namespace {

// The first `count` comma-separated fields of a line, as if ",,,,," had been appended: fields
// that the line lacks are empty. Later fields are not looked at, so a megabyte of commas costs
// no more than scanning it once.
template <std::size_t count>
std::array<QStringView, count> leadingFields(QStringView line) {
    std::array<QStringView, count> fields{};
    qsizetype start = 0;
    for (std::size_t i = 0; i < count && start <= line.size(); ++i) {
        qsizetype comma = line.indexOf(u',', start);
        if (comma < 0) {
            comma = line.size();
        }
        fields[i] = line.sliced(start, comma - start);
        start = comma + 1;
    }
    return fields;
}

ScreenItem itemFromFields(const std::array<QStringView, 5> &fields) {
    ScreenItem item;
    item.Left = fields[0].sliced(2).toString();
    item.Top = fields[1].toString();
    item.Picture = fields[2].toString();
    item.Caption = fields[3].toString();
    item.Command = fields[4].toString();
    return item;
}

// Stores an "O=" or "L=" item at position count and counts it. A definition already holding
// the most items a 16-bit index can reach keeps what it has.
void storeItem(std::vector<ScreenItem> &items, int &count, ScreenItem item) {
    if (count >= Skin::MaxItems) {
        return;
    }
    items.resize(std::size_t(count) + 1);
    items[std::size_t(count)] = std::move(item);
    ++count;
}

// A header line starts a definition; returns false when the table is full and the definition
// (with all its lines) must be skipped.
bool startDefinition(std::vector<ScreenDef> &records, QStringView header) {
    const bool reuseFirst = records.size() == 1 && records.front().Name.isEmpty();
    if (!reuseFirst) {
        if (records.size() >= std::size_t(Skin::MaxDefinitions)) {
            return false;
        }
        records.emplace_back();
    }
    ScreenDef &record = records.back();
    // Lines before the first header may have filled the first items of record 0; the header
    // drops them so that they cannot leak into the first screen.
    record.Overlays.assign(1, ScreenItem{});
    record.Labels.assign(1, ScreenItem{});
    record.StatusSet.clear();
    // The brackets are not checked: the first and the last character go, whatever they are.
    record.Name = header.size() >= 2 ? header.sliced(1, header.size() - 2).toString() : QString();
    return true;
}

// Skin names ignore case: both sides lower-cased, as the skin's authors expect.
bool sameName(const QString &name, const QString &lowerWanted) {
    return name.toLower() == lowerWanted;
}

} // namespace

QString Skin::ScreenFilePath(const QString &programFolder) {
    return FileBits::ChooseDataFile(programFolder, QStringLiteral("menus.txt"));
}

QString Skin::IndexFilePath(const QString &programFolder) {
    return FileBits::ChooseDataFile(programFolder, QStringLiteral("indexes.txt"));
}

QString Skin::PictureFile(const QString &folder, const QString &name) {
    if (name.isEmpty()) {
        return {};
    }
    for (const char *extension : {"", ".png", ".bmp", ".jpg"}) {
        if (QString path = FileBits::FileInFolder(folder, name + QLatin1String(extension)); !path.isEmpty()) {
            return path;
        }
    }
    return {};
}

void GetTheMenuArray(SkinTables &skin, const QString &programFolder) {
    ParseScreenFile(skin, FileBits::ReadWholeFile(Skin::ScreenFilePath(programFolder)));
}

void ParseScreenFile(SkinTables &skin, const QString &text) {
    std::vector<ScreenDef> records(1);
    int overlayCount = 0;
    int labelCount = 0;
    bool skipping = false;

    // Lines end at CR LF, or at a bare LF when the file was saved by an editor of this
    // platform; walking the text instead of splitting it keeps a large file from being held
    // twice.
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (line.isEmpty()) {
            continue;
        }
        if (line.front() == u'[') {
            skipping = !startDefinition(records, line);
            overlayCount = 0;
            labelCount = 0;
            continue;
        }
        if (skipping) {
            continue;
        }
        const auto fields = leadingFields<5>(line);
        const QStringView key = fields[0].first(std::min<qsizetype>(2, fields[0].size()));
        ScreenDef &record = records.back();
        if (key == u"R=") {
            record.Redirect = fields[0].sliced(2).toString();
        } else if (key == u"B=") {
            record.Background = fields[2].toString();
            record.BackgroundTarget = fields[3].toString();
            record.BackgroundCommand = fields[4].toString();
        } else if (key == u"O=") {
            storeItem(record.Overlays, overlayCount, itemFromFields(fields));
        } else if (key == u"L=") {
            storeItem(record.Labels, labelCount, itemFromFields(fields));
        } else if (key == u"I=") {
            record.LabelSet = fields[0].sliced(2).toString();
        } else if (key == u"S=") {
            record.StatusSet = fields[0].sliced(2).toString();
        }
        // Anything else is a comment or a key of a later skin version.
    }
    skin.MenuArray = std::move(records);
}

void GetTheIndexs(SkinTables &skin, const INIFILES &ini, const QString &programFolder) {
    ReadIndexFile(skin, ini, Skin::IndexFilePath(programFolder));
}

void ReadIndexFile(SkinTables &skin, const INIFILES &ini, const QString &path) {
    skin.MenuTable.fill(MenuTableEntry{});
    skin.StateTable.fill(StateTableEntry{});
    const QString menuSection = QStringLiteral("Menu");
    const QString stateSection = QStringLiteral("State");

    for (int n = 0; n < SkinTables::TableSize; ++n) {
        const QString value = ini.ReadSettingFrom(menuSection, QString::number(n), QString(), path);
        const auto fields = leadingFields<3>(value);
        MenuTableEntry &entry = skin.MenuTable[std::size_t(n)];
        entry.Picture = fields[0].toString();
        entry.Name = fields[1].toString();
        entry.Extra = fields[2].toString();
    }
    for (int n = 0; n < SkinTables::TableSize; ++n) {
        const QString value = ini.ReadSettingFrom(stateSection, QString::number(n), QString(), path);
        const auto fields = leadingFields<4>(value);
        StateTableEntry &entry = skin.StateTable[std::size_t(n)];
        entry.Code = fields[0].toString();
        entry.Name = fields[1].toString();
        entry.Picture = fields[2].toString();
        entry.PollLetters = fields[3].toString();
    }

    // List position = menu number, so gaps between named menus stay; only the empty tail goes.
    skin.MainMenuList.clear();
    for (const MenuTableEntry &entry : skin.MenuTable) {
        skin.MainMenuList.append(entry.Name);
    }
    while (!skin.MainMenuList.isEmpty() && skin.MainMenuList.last().isEmpty()) {
        skin.MainMenuList.removeLast();
    }
}

int FindDefinition(const SkinTables &skin, const QString &name) {
    const QString wanted = name.toLower();
    for (std::size_t i = 0; i < skin.MenuArray.size(); ++i) {
        if (sameName(skin.MenuArray[i].Name, wanted)) {
            return int(i);
        }
    }
    return -1;
}

int FindScreen(const SkinTables &skin, const QString &name) {
    const int found = FindDefinition(skin, name);
    if (found < 0) {
        return -1;
    }
    const QString &redirect = skin.MenuArray[std::size_t(found)].Redirect;
    return redirect.isEmpty() ? found : FindDefinition(skin, redirect);
}

int FindStatus(SkinTables &skin, const QString &setName) {
    const int found = FindScreen(skin, QStringLiteral("StatusBar_") + setName);
    if (found >= 0) {
        skin.CurrentStatusSet = qint16(found);
    }
    return found;
}

int FindLabels(SkinTables &skin, const QString &setName) {
    const int found = FindScreen(skin, QStringLiteral("Labels_") + setName);
    if (found >= 0) {
        skin.CurrentLabelSet = qint16(found);
    }
    return found;
}

const MenuTableEntry *MenuEntryAt(const SkinTables &skin, int number) {
    return number >= 0 && number < SkinTables::TableSize ? &skin.MenuTable[std::size_t(number)] : nullptr;
}

const StateTableEntry *StateEntryAt(const SkinTables &skin, int number) {
    return number >= 0 && number < SkinTables::TableSize ? &skin.StateTable[std::size_t(number)] : nullptr;
}
