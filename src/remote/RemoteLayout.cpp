#include "remote/RemoteLayout.h"

#include "platform/FileBits.h"
#include "platform/NumericText.h"
#include "settings/INIFILES.h"
#include "settings/PlacedWindow.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int NumberFields = 4;

// A layout name without a folder addresses the program folder, whatever the working directory.
QString layoutPath(const INIFILES &settings, const QString &baseName) {
    if (settings.ProgramFolder().isEmpty()) {
        return baseName;
    }
    return QDir(settings.ProgramFolder()).filePath(baseName);
}

RemoteButton parseButton(QStringView line) {
    RemoteButton button;
    qint16 *const numbers[NumberFields] = {&button.Top, &button.Bottom, &button.Left, &button.Right};
    qsizetype from = 0;
    for (int field = 0; field <= NumberFields && from >= 0; ++field) {
        const qsizetype comma = line.indexOf(u',', from);
        const QStringView text = TrimBlanks(comma < 0 ? line.mid(from) : line.mid(from, comma - from));
        if (field < NumberFields) {
            // Outside the 16-bit range the field stays 0 and the record still counts.
            *numbers[field] = NumericText::Int16Of(text.toString(), 0);
        } else {
            button.Function = text.toString();
        }
        from = comma < 0 ? -1 : comma + 1;
    }
    return button;
}

} // namespace

QString LayoutBaseName(const QString &name) {
    static const QStringList extensions{QStringLiteral(".txt"), QStringLiteral(".bmp"), QStringLiteral(".jpg"),
                                        QStringLiteral(".png")};
    if (name.size() >= 4 && extensions.contains(name.right(4).toLower())) {
        return name.chopped(4);
    }
    return name;
}

std::vector<RemoteButton> ParseLayoutText(const QString &text) {
    std::vector<RemoteButton> buttons;
    for (const QString &line : FileBits::SplitLines(text)) {
        if (TrimBlanks(line).startsWith(u'#') || !line.contains(u',')) {
            continue;
        }
        buttons.push_back(parseButton(line));
    }
    if (buttons.empty()) {
        buttons.emplace_back();
    }
    return buttons;
}

QString LayoutNumber(qint16 value) {
    const int magnitude = value < 0 ? -int(value) : int(value);
    return (value < 0 ? QStringLiteral("-") : QString()) + QStringLiteral("%1").arg(magnitude, 2, 10, QLatin1Char('0'));
}

QString LayoutText(const std::vector<RemoteButton> &buttons) {
    QString text = QStringLiteral("# Top,Bottom,Left,Right,Function\r\n\r\n");
    for (const RemoteButton &b : buttons) {
        for (const qint16 number : {b.Top, b.Bottom, b.Left, b.Right}) {
            text += LayoutNumber(number) + QStringLiteral(", ");
        }
        text += b.Function + QStringLiteral("\r\n");
    }
    return text;
}

QString LayoutPicture(const QString &baseName) {
    for (const char *extension : {".jpg", ".bmp", ".png"}) {
        const QString path = baseName + QLatin1String(extension);
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return QString();
}

QStringList LayoutNamesIn(const QString &folder) {
    const QDir dir(folder);
    QStringList names;
    const QStringList textFiles =
        dir.entryList({QStringLiteral("*.txt")}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QString &file : textFiles) {
        const QString base = file.chopped(4);
        if (names.contains(base)) {
            continue;
        }
        for (const char *extension : {".bmp", ".jpg", ".png"}) {
            if (QFileInfo(dir.filePath(base + QLatin1String(extension))).isFile()) {
                names.append(base);
                break;
            }
        }
    }
    return names;
}

qsizetype LayoutListSelection(const QStringList &names, const QString &currentRemote) {
    return names.indexOf(currentRemote);
}

QString LoadLayout(RemoteLayout &layout, const QString &name, INIFILES &settings, PlacedWindow *remoteWindow) {
    const QString baseName = LayoutBaseName(name);
    // The old layout keeps the window where the user left it, before anything changes.
    if (remoteWindow != nullptr && !layout.CurrentRemote.isEmpty() && baseName != layout.CurrentRemote) {
        settings.SaveRemotePlacement(layout.CurrentRemote, *remoteWindow);
    }
    const QString path = layoutPath(settings, baseName);
    layout.RemoteButtons = ParseLayoutText(FileBits::ReadWholeFile(path + QStringLiteral(".txt")));
    layout.CurrentRemote = baseName;
    const QString picture = LayoutPicture(path);
    if (remoteWindow != nullptr) {
        settings.RestoreRemotePlacement(baseName, *remoteWindow);
    }
    return picture;
}

bool SaveLayout(RemoteLayout &layout, const QString &name, INIFILES &settings, PlacedWindow *remoteWindow) {
    const QString baseName = LayoutBaseName(name);
    const bool written = FileBits::WriteWholeFile(layoutPath(settings, baseName) + QStringLiteral(".txt"),
                                                  LayoutText(layout.RemoteButtons));
    layout.CurrentRemote = baseName;
    if (remoteWindow != nullptr) {
        settings.SaveRemotePlacement(baseName, *remoteWindow);
    }
    return written;
}
