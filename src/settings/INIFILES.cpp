#include "settings/INIFILES.h"

#include "platform/NumericText.h"
#include "settings/FirstPlacement.h"
#include "settings/SideBySide.h"
#include "platform/WholeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

// Bytes stay bytes: the files are single-byte text, no UTF-8 conversion wanted.
#define SI_NO_CONVERSION
#include <algorithm>
#include <cmath>
#include <SimpleIni.h>
#include <string>

// One parsed INI file. Sections and keys ignore case; values are kept as raw bytes.
class IniDocument {
public:
    IniDocument()
        : m_ini(/*unicode*/ false, /*multiKey*/ false, /*multiLine*/ false) {
        m_ini.SetSpaces(false);
        m_ini.SetQuotes(false);
    }

    // Returns how many lines of text were passed over as not settings.
    int parse(const QByteArray &bytes) {
        // Damaged files are read line by line, as the desktop's own INI reader does: a header
        // without its "]" or a line that is neither a header, a comment nor key=value is
        // passed over, and cannot swallow the lines after it. A line holding control bytes
        // (other than TAB) is not text: binary junk, say a picture saved over the file, is
        // passed over too, and so is every key before the first section, which no reader of
        // INI files finds. Since a write starts from what was read, the next write leaves
        // only sections, comments and key=value lines in the file.
        QByteArray clean;
        clean.reserve(bytes.size() + 2);
        bool inSection = false;
        int passedOver = 0;
        qsizetype start = 0;
        while (start <= bytes.size()) {
            qsizetype end = bytes.indexOf('\n', start);
            if (end < 0) {
                end = bytes.size();
            }
            QByteArray line = bytes.mid(start, end - start);
            start = end + 1;
            if (line.endsWith('\r')) {
                line.chop(1);
            }
            if (!isText(line)) {
                ++passedOver;
                continue;
            }
            const QByteArray t = line.trimmed();
            if (t.startsWith('[')) {
                const qsizetype close = t.indexOf(']');
                if (close < 0) {
                    ++passedOver;
                    continue;
                }
                line = t.left(close + 1);
                inSection = true;
            } else if (!t.isEmpty() && !t.startsWith(';') && !t.startsWith('#') && (!inSection || !t.contains('='))) {
                ++passedOver;
                continue;
            }
            clean += line;
            clean += '\n';
        }
        m_ini.LoadData(clean.constData(), size_t(clean.size()));
        return passedOver;
    }

    bool value(const QByteArray &section, const QByteArray &key, QByteArray &out) const {
        const char *v = m_ini.GetValue(section.constData(), key.constData(), nullptr);
        if (!v) {
            return false;
        }
        out = QByteArray(v);
        return true;
    }

    void setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value) {
        m_ini.SetValue(section.constData(), key.constData(), value.constData());
    }

    void remove(const QByteArray &section, const QByteArray &key) {
        m_ini.Delete(section.constData(), key.constData(), /*removeEmpty*/ true);
    }

    QByteArray serialize() const {
        std::string text;
        m_ini.Save(text, false);
        QByteArray bytes = QByteArray::fromStdString(text);
        bytes.replace("\r", "");
        // No blank lines between sections: a file read back and written again never grows, so
        // a file small enough to be read stays so once the program has written it.
        while (bytes.contains("\n\n")) {
            bytes.replace("\n\n", "\n");
        }
        if (bytes.startsWith('\n')) {
            bytes.remove(0, 1);
        }
        bytes.replace("\n", "\r\n");
        return bytes;
    }

private:
    static bool isText(const QByteArray &line) {
        return std::none_of(line.cbegin(), line.cend(),
                            [](char c) { return (uchar(c) < 0x20 && c != '\t') || uchar(c) == 0x7f; });
    }

    CSimpleIniA m_ini; // sections and keys ignore case
};

struct INIFILES::CachedFile {
    qint64 size = -1;
    QDateTime modified;
    IniDocument document;
};

namespace {

QString trimmed(const QString &text) {
    return text.trimmed();
}

bool isControl(QChar c) {
    return (c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7f;
}

// A value must stay one line of text: line breaks would start new keys, and the reader passes
// over a line with control bytes in it.
QByteArray storable(const QString &text) {
    QString value = text;
    for (QChar &c : value) {
        if (isControl(c)) {
            c = u' ';
        }
    }
    return trimmed(value).toLatin1();
}

QByteArray nameBytes(const QString &name) {
    QString clean = name;
    clean.removeIf(isControl);
    return clean.toLatin1();
}

} // namespace

QString TextBefore(const QString &delimiter, const QString &text, bool keepBlanks) {
    const qsizetype at = text.indexOf(delimiter);
    const QString part = at < 0 ? text : text.left(at);
    return keepBlanks ? part : trimmed(part);
}

QString TextAfter(const QString &delimiter, const QString &text, bool keepBlanks) {
    const qsizetype at = text.indexOf(delimiter);
    const QString part = at < 0 ? text : text.mid(at + delimiter.size());
    return keepBlanks ? part : trimmed(part);
}

QStringView TrimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

QString TakeFirstField(QString &text) {
    const QString first = TextBefore(QStringLiteral(","), text);
    text = TextAfter(QStringLiteral(","), text);
    return first;
}

INIFILES::INIFILES() = default;
INIFILES::~INIFILES() = default;

void INIFILES::SetProgramPaths(const QString &executablePath) {
    const QFileInfo exe(executablePath);
    m_programFolder = QDir::cleanPath(exe.absolutePath());
    m_settingsFile = QDir(m_programFolder).filePath(exe.completeBaseName() + QStringLiteral(".ini"));
}

const IniDocument &INIFILES::load(const QString &path) const {
    const QFileInfo info(path);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    std::shared_ptr<CachedFile> &cached = m_cache[info.absoluteFilePath()];
    if (!cached || cached->size != size || cached->modified != modified) {
        auto fresh = std::make_shared<CachedFile>();
        fresh->size = size;
        fresh->modified = modified;
        // A file far larger than any settings file is not read: reading and parsing it would
        // hold the program for seconds and its memory for nothing.
        QFile file(path);
        // Only a regular file: a FIFO or a device of that name would hold the program.
        if (info.isFile() && size <= MaxFileBytes && file.open(QIODevice::ReadOnly)) {
            fresh->document.parse(file.read(MaxFileBytes + 1));
        }
        cached = fresh;
    }
    return cached->document;
}

QString INIFILES::ReadSettingFrom(const QString &section, const QString &key, const QString &defaultValue,
                                  const QString &path) const {
    QByteArray raw;
    QString value;
    if (path == m_settingsFile && !m_changes.isEmpty()) {
        const auto changed = m_changeIndex.constFind(changeKey(section, key));
        if (changed != m_changeIndex.constEnd()) {
            const std::optional<QString> &made = m_changes[*changed].value;
            return trimmed((made ? *made : defaultValue).left(MaxValueLength));
        }
    }
    if (!path.isEmpty() && load(path).value(nameBytes(section), nameBytes(key), raw)) {
        value = QString::fromLatin1(raw);
    } else {
        value = defaultValue;
    }
    return trimmed(value.left(MaxValueLength));
}

bool INIFILES::WriteSettingTo(const QString &section, const QString &key, const QString &value, const QString &path) {
    if (path.isEmpty() || section.isEmpty() || key.isEmpty()) {
        return false;
    }
    if (path == m_settingsFile) {
        change(section, key, value);
        return true;
    }
    // Start from what is on disk now, change one value, write it all back in one step.
    IniDocument document;
    QFile current(path);
    if (current.size() <= MaxFileBytes && current.open(QIODevice::ReadOnly)) {
        document.parse(current.readAll());
        current.close();
    }
    document.setValue(nameBytes(section), nameBytes(key), storable(value));
    const bool written = WriteWholeFile(path, document.serialize()).ok;
    m_cache.remove(QFileInfo(path).absoluteFilePath());
    return written;
}

QString INIFILES::changeKey(const QString &section, const QString &key) {
    // Sections and keys ignore case, as in the file.
    return QString::fromLatin1(nameBytes(section)).toLower() + u'\n' + QString::fromLatin1(nameBytes(key)).toLower();
}

void INIFILES::change(const QString &section, const QString &key, const std::optional<QString> &value) {
    if (section.isEmpty() || key.isEmpty() || m_settingsFile.isEmpty()) {
        return;
    }
    // A value as it will read back once saved, so that setting what is there changes nothing.
    const std::optional<QString> stored =
        value ? std::optional<QString>(QString::fromLatin1(storable(*value))) : std::nullopt;
    QByteArray onDisk;
    const bool onDiskNow = load(m_settingsFile).value(nameBytes(section), nameBytes(key), onDisk);
    const QString id = changeKey(section, key);
    const auto known = m_changeIndex.constFind(id);
    if (known == m_changeIndex.constEnd()) {
        const bool same = stored ? onDiskNow && QString::fromLatin1(onDisk).trimmed() == *stored : !onDiskNow;
        if (same) {
            return;
        }
        m_changeIndex.insert(id, m_changes.size());
        m_changes.append(Change{section, key, stored});
    } else {
        if (m_changes[*known].value == stored) {
            return;
        }
        m_changes[*known].value = stored;
    }
    if (m_changeListener) {
        m_changeListener();
    }
}

void INIFILES::RemoveSetting(const QString &section, const QString &key) {
    change(section, key, std::nullopt);
}

void INIFILES::ReplaceOutOfRange(const QString &section, const QString &key, const QString &found,
                                 const std::optional<QString> &defaultValue) {
    change(section, key, defaultValue);
    const QString shownValue = found.size() > 40 ? found.left(40) + QStringLiteral("...") : found;
    m_notices.append(
        defaultValue
            ? QStringLiteral("Settings: [%1] %2=%3 is out of range; the default %4 is used and saved.")
                  .arg(section, key, shownValue, defaultValue->isEmpty() ? QStringLiteral("(empty)") : *defaultValue)
            : QStringLiteral("Settings: [%1] %2=%3 is out of range; it is left out and removed.")
                  .arg(section, key, shownValue));
}

QStringList INIFILES::takeNotices() {
    return std::exchange(m_notices, {});
}

QString INIFILES::fileStamp() const {
    const QFileInfo info(m_settingsFile);
    return QString::number(info.size()) + u' ' + info.lastModified().toString(Qt::ISODateWithMs);
}

QString INIFILES::asideName() const {
    // The first free name beside the file; an older copy kept aside stays.
    QString aside = m_settingsFile + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(aside) && n < 100; ++n) {
        aside = m_settingsFile + QStringLiteral(".bad%1").arg(n);
    }
    return aside;
}

INIFILES::FileState INIFILES::OpenSettingsFile() {
    const QFileInfo info(m_settingsFile);
    if (!info.exists()) {
        return FileState::Missing;
    }
    const QString shown = QDir::toNativeSeparators(m_settingsFile);
    const QString aside = asideName();
    const QString shownAside = QDir::toNativeSeparators(aside);
    if (info.size() > MaxFileBytes) {
        // Moved, not copied: nothing of it is read, and the program starts from its defaults.
        if (QFile::exists(aside) || !QFile::rename(m_settingsFile, aside)) {
            m_notices.append(QStringLiteral("Settings: %1 is %2 bytes, far larger than any settings file; it is "
                                            "not read, and could not be moved aside (the defaults are used).")
                                 .arg(shown)
                                 .arg(info.size()));
            return FileState::NotKeptAside;
        }
        m_cache.remove(info.absoluteFilePath());
        m_notices.append(QStringLiteral("Settings: %1 is %2 bytes, far larger than any settings file; it is not "
                                        "read and was moved to %3. The defaults are used.")
                             .arg(shown)
                             .arg(info.size())
                             .arg(shownAside));
        return FileState::TooLargeKeptAside;
    }
    QFile file(m_settingsFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return FileState::Fine; // read as missing; a save replaces it
    }
    IniDocument probe;
    const int passedOver = probe.parse(file.readAll());
    file.close();
    if (passedOver == 0) {
        return FileState::Fine;
    }
    // The next save would leave those lines out: the user's own file is kept whole beside it.
    if (QFile::exists(aside) || !QFile::copy(m_settingsFile, aside)) {
        m_notices.append(QStringLiteral("Settings: %1 holds %2 lines that are not settings; they could not be "
                                        "copied aside and the next save leaves them out.")
                             .arg(shown)
                             .arg(passedOver));
        return FileState::NotKeptAside;
    }
    m_keptAside = fileStamp();
    m_notices.append(QStringLiteral("Settings: %1 holds %2 lines that are not settings (the rest is used); the "
                                    "file as it was is kept as %3.")
                         .arg(shown)
                         .arg(passedOver)
                         .arg(shownAside));
    return FileState::DamagedKeptAside;
}

INIFILES::SaveResult INIFILES::Save() {
    SaveFileLayer layer;
    return Save(layer);
}

INIFILES::SaveResult INIFILES::Save(FileLayer &layer) {
    if (m_changes.isEmpty()) {
        return {};
    }
    // On top of what the file holds now, so keys the program does not know, or that were
    // edited by hand since the start, stay as they are.
    IniDocument document;
    QFile current(m_settingsFile);
    if (current.size() > MaxFileBytes) {
        // Put there since the start: it is not read, and not written over either.
        OpenSettingsFile();
    } else if (current.open(QIODevice::ReadOnly)) {
        const int passedOver = document.parse(current.readAll());
        current.close();
        if (passedOver > 0 && fileStamp() != m_keptAside) {
            // Damaged since the start (edited by hand, say): the lines this save leaves out are
            // kept in a copy first.
            OpenSettingsFile();
        }
    }
    for (const Change &c : std::as_const(m_changes)) {
        if (c.value) {
            document.setValue(nameBytes(c.section), nameBytes(c.key), c.value->toLatin1());
        } else {
            document.remove(nameBytes(c.section), nameBytes(c.key));
        }
    }
    const QByteArray bytes = document.serialize();
    WholeFileWrite written;
    if (bytes.size() > MaxFileBytes) {
        // What the program writes it must be able to read again.
        written.error = QStringLiteral("the settings would take %1 bytes, more than the %2 a settings file may hold")
                            .arg(bytes.size())
                            .arg(MaxFileBytes);
    } else {
        written = WriteWholeFile(m_settingsFile, bytes, layer);
    }
    m_cache.remove(QFileInfo(m_settingsFile).absoluteFilePath());
    if (!written.ok) {
        QStringList what;
        for (const Change &c : std::as_const(m_changes)) {
            what.append(QStringLiteral("[%1] %2").arg(c.section, c.key));
        }
        return SaveResult{false, QStringLiteral("Settings not saved: %1. The file keeps what it held before; not "
                                                "saved: %2.")
                                     .arg(written.error, what.join(QStringLiteral(", ")))};
    }
    m_changes.clear();
    m_changeIndex.clear();
    return {};
}

QString INIFILES::ReadSetting(const QString &section, const QString &key, const QString &defaultValue) const {
    return ReadSettingFrom(section, key, defaultValue, m_settingsFile);
}

QString INIFILES::ReadSetting(const QString &section, const QString &key, int defaultValue) const {
    return ReadSetting(section, key, QString::number(defaultValue));
}

void INIFILES::WriteSetting(const QString &section, const QString &key, const QString &value) {
    WriteSettingTo(section, key, value, m_settingsFile);
}

bool INIFILES::ReadNumber(const QString &section, const QString &key, double min, double max, double defaultValue,
                          double &value, bool whole) {
    const QString text = ReadSetting(section, key, QString());
    if (text.isEmpty()) {
        value = defaultValue;
        return true;
    }
    double read = NumericText::Val(text);
    if (whole) {
        read = std::nearbyint(read); // halves to the even neighbour
    }
    if (!std::isfinite(read) || read < min || read > max) {
        ReplaceOutOfRange(section, key, text, NumericText::SingleText(float(defaultValue)));
        value = defaultValue;
        return false;
    }
    value = read;
    return true;
}

QString INIFILES::ReadValid(const QString &section, const QString &key, const QString &defaultValue,
                            bool (*valid)(const QString &)) {
    const QString text = ReadSetting(section, key, QString());
    if (text.isEmpty()) {
        return ReadSetting(section, key, defaultValue);
    }
    if (!valid(text)) {
        ReplaceOutOfRange(section, key, text, defaultValue);
        return defaultValue;
    }
    return text;
}

void INIFILES::ReadTimeouts(Timeouts &t) {
    t = Timeouts{};
    const QString section = QStringLiteral("Timeouts");
    double v = 0;
    ReadNumber(section, QStringLiteral("Connect"), SettingRange::ConnectMin, SettingRange::ConnectMax, t.Connect, v,
               false);
    t.Connect = float(v);
    ReadNumber(section, QStringLiteral("ReplyWaitMax"), SettingRange::ReplyWaitMaxMin, SettingRange::ReplyWaitMaxMax,
               t.ReplyWaitMax, v, false);
    t.ReplyWaitMax = float(v);
    // A key press kept longer than this is no longer what the user meant; below half a second
    // not even a healthy radio could take a burst of keys.
    ReadNumber(section, QStringLiteral("KeyTimeLimit"), SettingRange::KeyTimeLimitMin, SettingRange::KeyTimeLimitMax,
               t.KeyTimeLimit, v, false);
    t.KeyTimeLimit = float(v);
    const auto readInt = [&](const char *key, qint16 &target, int min, int max) {
        double value = 0;
        ReadNumber(section, QString::fromLatin1(key), min, max, target, value, true);
        target = qint16(value);
    };
    readInt("CheckAllOn", t.CheckAllOn, 1, SettingRange::CheckAllMax);
    readInt("CheckAllOff", t.CheckAllOff, 1, SettingRange::CheckAllMax);
    readInt("PollWhenOn", t.PollWhenOn, 1, SettingRange::PollWhenOnMax);
    readInt("PollWhenOff", t.PollWhenOff, 1, SettingRange::PollWhenOffMax);
    readInt("MacroStepInterval", t.MacroStepInterval, 1, SettingRange::MacroStepIntervalMax);
    readInt("MacroStepTimeout", t.MacroStepTimeout, SettingRange::MacroStepTimeoutMin,
            SettingRange::MacroStepTimeoutMax);
}

std::optional<Placement> INIFILES::savedPlacement(const QString &section) const {
    QString value = ReadSetting(section, QStringLiteral("FC"), QString());
    if (value.isEmpty()) {
        return std::nullopt;
    }
    // Fewer than four fields repeat the last one: TextAfter gives the whole rest when no comma
    // is left.
    Placement p;
    p.top = NumericText::Val(TakeFirstField(value));
    p.left = NumericText::Val(TakeFirstField(value));
    p.width = NumericText::Val(TakeFirstField(value));
    p.height = NumericText::Val(TextBefore(QStringLiteral(","), value));
    if (!PlacementInRange(p, {})) {
        return std::nullopt;
    }
    return p;
}

bool PlacementInRange(const Placement &p, const QList<QRect> &screenAreas) {
    using namespace SettingRange;
    const auto within = [](double v, double min, double max) { return std::isfinite(v) && v >= min && v <= max; };
    if (!within(p.top, -CoordinateMax, CoordinateMax) || !within(p.left, -CoordinateMax, CoordinateMax) ||
        !within(p.width, WindowMinSide, WindowMaxSide) || !within(p.height, WindowMinSide, WindowMaxSide)) {
        return false;
    }
    if (screenAreas.isEmpty()) {
        return true;
    }
    // A window somewhat larger than a small screen is the program's own doing (its main window
    // is wider than some laptops' screens); one more than twice the size of every screen is
    // damage, not a choice: no window can be used so.
    return std::any_of(screenAreas.cbegin(), screenAreas.cend(),
                       [&](const QRect &a) { return p.width <= 2.0 * a.width() && p.height <= 2.0 * a.height(); });
}

namespace {

int pixels(double v) {
    return int(std::lround(std::clamp(v, -100000.0, 100000.0)));
}

QRect frameOf(const Placement &p, QSize extra) {
    return QRect(QPoint(pixels(p.left), pixels(p.top)), QSize(pixels(p.width), pixels(p.height)) + extra);
}

// Applies the saved placement when its title bar can be taken on a connected screen. Else the
// window keeps the spot the program gave it, on the screen that spot is on, with the saved
// size cut to that screen's available area.
bool applyWhereReachable(Placement saved, PlacedWindow &window) {
    const QList<QRect> areas = window.screenAreas();
    const QSize extra = window.frameExtra();
    if (areas.isEmpty() || TitleBarReachable(frameOf(saved, extra), areas)) {
        window.applyPlacement(saved);
        return true;
    }
    const Placement now = window.currentPlacement();
    const QPoint spot(pixels(now.left), pixels(now.top));
    QRect area = areas.first();
    for (const QRect &a : areas) {
        if (a.contains(spot)) {
            area = a;
            break;
        }
    }
    const QSize size =
        QSize(pixels(saved.width), pixels(saved.height)).boundedTo(area.size() - extra).expandedTo(QSize(1, 1));
    const QRect frame = MovedInto(area, QRect(spot, size + extra));
    window.applyPlacement(
        Placement{double(frame.top()), double(frame.left()), double(size.width()), double(size.height())});
    return false;
}

} // namespace

bool INIFILES::restorePlacement(const QString &section, PlacedWindow &window) {
    const QString text = ReadSetting(section, QStringLiteral("FC"), QString());
    std::optional<Placement> saved = savedPlacement(section);
    if (saved && !PlacementInRange(*saved, window.screenAreas())) {
        saved.reset();
    }
    if (!saved) {
        if (!text.isEmpty()) {
            ReplaceOutOfRange(section, QStringLiteral("FC"), text, std::nullopt);
        }
        window.applyPlacement(window.currentPlacement());
        return false;
    }
    return applyWhereReachable(*saved, window);
}

void INIFILES::savePlacement(const QString &section, PlacedWindow &window) {
    if (section.isEmpty() || !window.isNormalState()) {
        return;
    }
    const Placement p = window.currentPlacement();
    QString value;
    for (double v : {p.top, p.left, p.width, p.height}) {
        value += NumericText::SingleText(float(v)) + u',';
    }
    WriteSetting(section, QStringLiteral("FC"), value);
}

bool INIFILES::hasSavedPlace(const QString &section) const {
    return !ReadSetting(section, QStringLiteral("FC"), QString()).isEmpty();
}

bool INIFILES::hasSavedPlace(const QString &section, const QList<QRect> &screenAreas) const {
    const std::optional<Placement> saved = savedPlacement(section);
    return saved && TitleBarReachable(frameOf(*saved, QSize()), screenAreas);
}

bool INIFILES::RestoreWindowPlacement(PlacedWindow &window) {
    return restorePlacement(window.placementName(), window);
}

void INIFILES::SaveWindowPlacement(PlacedWindow &window, bool hide) {
    savePlacement(window.placementName(), window);
    if (hide) {
        window.hideWindow();
    }
}

bool INIFILES::RestoreWindowTopLeft(PlacedWindow &window) {
    const QString text = ReadSetting(window.placementName(), QStringLiteral("TL"), QString());
    QString value = text;
    Placement p = window.currentPlacement();
    if (value.isEmpty()) {
        window.applyPlacement(p);
        return false;
    }
    p.top = NumericText::Val(TakeFirstField(value));
    p.left = NumericText::Val(TextBefore(QStringLiteral(","), value));
    const auto within = [](double v) { return std::isfinite(v) && std::abs(v) <= SettingRange::CoordinateMax; };
    if (!within(p.top) || !within(p.left)) {
        ReplaceOutOfRange(window.placementName(), QStringLiteral("TL"), text, std::nullopt);
        window.applyPlacement(window.currentPlacement());
        return false;
    }
    return applyWhereReachable(p, window);
}

void INIFILES::SaveWindowTopLeft(PlacedWindow &window, bool hide) {
    if (window.isNormalState()) {
        const Placement p = window.currentPlacement();
        WriteSetting(window.placementName(), QStringLiteral("TL"),
                     NumericText::SingleText(float(p.top)) + u',' + NumericText::SingleText(float(p.left)) + u',');
    }
    if (hide) {
        window.hideWindow();
    }
}

bool INIFILES::RestoreRemotePlacement(const QString &layoutName, PlacedWindow &remoteWindow) {
    return restorePlacement(layoutName, remoteWindow);
}

void INIFILES::SaveRemotePlacement(const QString &layoutName, PlacedWindow &remoteWindow) {
    savePlacement(layoutName, remoteWindow);
}

namespace SettingRange {

bool IsHostText(const QString &text) {
    if (text.isEmpty() || text.size() > HostMaxLength) {
        return false;
    }
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' ||
               c == u'-' || c == u'_' || c == u':' || c == u'[' || c == u']';
    });
}

bool IsPortText(const QString &text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok && text.size() <= 5 && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); }) &&
           port >= PortMin && port <= PortMax;
}

bool IsLayoutName(const QString &text) {
    return !text.isEmpty() && text.size() <= NameMaxLength && !text.startsWith(u'.') && !text.contains(u'/') &&
           !text.contains(u'\\');
}

} // namespace SettingRange
