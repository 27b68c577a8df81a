#include "settings/INIFILES.h"

#include "platform/NumericText.h"
#include "settings/FirstPlacement.h"
#include "settings/SideBySide.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

    void parse(const QByteArray &bytes) {
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
                continue;
            }
            const QByteArray t = line.trimmed();
            if (t.startsWith('[')) {
                const qsizetype close = t.indexOf(']');
                if (close < 0) {
                    continue;
                }
                line = t.left(close + 1);
                inSection = true;
            } else if (!t.isEmpty() && !t.startsWith(';') && !t.startsWith('#') && (!inSection || !t.contains('='))) {
                continue;
            }
            clean += line;
            clean += '\n';
        }
        m_ini.LoadData(clean.constData(), size_t(clean.size()));
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

    QByteArray serialize() const {
        std::string text;
        m_ini.Save(text, false);
        QByteArray bytes = QByteArray::fromStdString(text);
        bytes.replace("\r", "");
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
        QFile file(path);
        // Only a regular file: a FIFO or a device of that name would hold the program.
        if (info.isFile() && file.open(QIODevice::ReadOnly)) {
            fresh->document.parse(file.readAll());
        }
        cached = fresh;
    }
    return cached->document;
}

QString INIFILES::ReadSettingFrom(const QString &section, const QString &key, const QString &defaultValue,
                                  const QString &path) const {
    QByteArray raw;
    QString value;
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
    // Start from what is on disk now, change one value, write it all back in one step.
    IniDocument document;
    QFile current(path);
    if (current.open(QIODevice::ReadOnly)) {
        document.parse(current.readAll());
        current.close();
    }
    document.setValue(nameBytes(section), nameBytes(key), storable(value));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = document.serialize();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        return false;
    }
    m_cache.remove(QFileInfo(path).absoluteFilePath());
    return true;
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

void INIFILES::ReadTimeouts(Timeouts &t) const {
    t = Timeouts{};
    const QString section = QStringLiteral("Timeouts");
    const double connect =
        NumericText::Val(ReadSetting(section, QStringLiteral("Connect"), NumericText::SingleText(t.Connect)));
    if (std::isfinite(float(connect))) {
        t.Connect = float(connect);
    }
    const double replyWaitMax =
        NumericText::Val(ReadSetting(section, QStringLiteral("ReplyWaitMax"), NumericText::SingleText(t.ReplyWaitMax)));
    if (std::isfinite(float(replyWaitMax))) {
        t.ReplyWaitMax = float(replyWaitMax);
    }
    // A key press kept longer than this is no longer what the user meant; below half a second
    // not even a healthy radio could take a burst of keys.
    const double keyTimeLimit =
        NumericText::Val(ReadSetting(section, QStringLiteral("KeyTimeLimit"), NumericText::SingleText(t.KeyTimeLimit)));
    if (std::isfinite(keyTimeLimit) && keyTimeLimit >= 0.5 && keyTimeLimit <= 600) {
        t.KeyTimeLimit = float(keyTimeLimit);
    }
    const auto readInt = [&](const char *key, qint16 &target) {
        NumericText::ValToInt16(ReadSetting(section, QString::fromLatin1(key), int(target)), target);
    };
    readInt("CheckAllOn", t.CheckAllOn);
    readInt("CheckAllOff", t.CheckAllOff);
    readInt("PollWhenOn", t.PollWhenOn);
    readInt("PollWhenOff", t.PollWhenOff);
    readInt("MacroStepInterval", t.MacroStepInterval);
    readInt("MacroStepTimeout", t.MacroStepTimeout);
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
    return p;
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

bool INIFILES::restorePlacement(const QString &section, PlacedWindow &window) const {
    const std::optional<Placement> saved = savedPlacement(section);
    if (!saved) {
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

bool INIFILES::RestoreWindowPlacement(PlacedWindow &window) const {
    return restorePlacement(window.placementName(), window);
}

void INIFILES::SaveWindowPlacement(PlacedWindow &window, bool hide) {
    savePlacement(window.placementName(), window);
    if (hide) {
        window.hideWindow();
    }
}

bool INIFILES::RestoreWindowTopLeft(PlacedWindow &window) const {
    QString value = ReadSetting(window.placementName(), QStringLiteral("TL"), QString());
    Placement p = window.currentPlacement();
    if (value.isEmpty()) {
        window.applyPlacement(p);
        return false;
    }
    p.top = NumericText::Val(TakeFirstField(value));
    p.left = NumericText::Val(TextBefore(QStringLiteral(","), value));
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

bool INIFILES::RestoreRemotePlacement(const QString &layoutName, PlacedWindow &remoteWindow) const {
    return restorePlacement(layoutName, remoteWindow);
}

void INIFILES::SaveRemotePlacement(const QString &layoutName, PlacedWindow &remoteWindow) {
    savePlacement(layoutName, remoteWindow);
}
