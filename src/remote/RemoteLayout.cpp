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

QString LayoutFile(const QString &baseName, const QString &extension) {
    const QString exact = baseName + extension;
    if (QFileInfo(exact).isFile()) {
        return exact;
    }
    // Cameras and some editors write ".JPG" or ".TXT"; the name before the extension still has
    // to match exactly. Listing the folder avoids reading the base name as a wildcard pattern.
    const QFileInfo wanted(exact);
    const QString stem = wanted.fileName().chopped(extension.size());
    if (stem.isEmpty()) {
        return QString();
    }
    const QDir folder = wanted.dir();
    const QStringList files = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &file : files) {
        if (file.size() == stem.size() + extension.size() && file.startsWith(stem) &&
            file.endsWith(extension, Qt::CaseInsensitive)) {
            return folder.filePath(file);
        }
    }
    return QString();
}

QString LayoutPicture(const QString &baseName) {
    for (const char *extension : {".jpg", ".bmp", ".png"}) {
        const QString path = LayoutFile(baseName, QLatin1String(extension));
        if (!path.isEmpty()) {
            return path;
        }
    }
    return QString();
}

bool IsLayoutName(const QString &baseName) {
    // "" or a bare folder would address "<folder>.txt" beside the folder, which is no layout.
    return !baseName.isEmpty() && !QFileInfo(baseName).fileName().isEmpty();
}

int FindButton(const std::vector<RemoteButton> &buttons, const QString &command) {
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].Function == command) {
            return int(i);
        }
    }
    return -1;
}

QString LayoutCommandProblem(const QString &command) {
    if (command.isEmpty()) {
        return QStringLiteral("Not set: select a command first");
    }
    if (command.contains(u',')) {
        return QStringLiteral("Not set: a layout cannot hold a command with \",\" (%1)").arg(command);
    }
    if (command.startsWith(u' ') || command.endsWith(u' ')) {
        return QStringLiteral("Not set: a layout cannot hold blanks at the ends of a command (\"%1\")").arg(command);
    }
    if (command.contains(u'\n')) {
        return QStringLiteral("Not set: a layout cannot hold a command that spans lines");
    }
    for (const QChar c : command) {
        if (c.unicode() > 0xFF) {
            return QStringLiteral("Not set: the layout file cannot hold the character %1").arg(c);
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
            if (!LayoutFile(dir.filePath(base), QLatin1String(extension)).isEmpty()) {
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
    if (!IsLayoutName(baseName)) {
        return QString();
    }
    // The old layout keeps the window where the user left it, before anything changes.
    if (remoteWindow != nullptr && !layout.CurrentRemote.isEmpty() && baseName != layout.CurrentRemote) {
        settings.SaveRemotePlacement(layout.CurrentRemote, *remoteWindow);
    }
    const QString path = layoutPath(settings, baseName);
    const QString textFile = LayoutFile(path, QStringLiteral(".txt"));
    layout.RemoteButtons = ParseLayoutText(textFile.isEmpty() ? QString() : FileBits::ReadWholeFile(textFile));
    layout.CurrentRemote = baseName;
    const QString picture = LayoutPicture(path);
    if (remoteWindow != nullptr) {
        settings.RestoreRemotePlacement(baseName, *remoteWindow);
    }
    return picture;
}

bool SaveLayout(RemoteLayout &layout, const QString &name, INIFILES &settings, PlacedWindow *remoteWindow) {
    const QString baseName = LayoutBaseName(name);
    if (!IsLayoutName(baseName)) {
        return false;
    }
    // A layout whose text file was found as "NAME.TXT" is written back to that file, so the
    // folder never ends up with two text files of one layout.
    const QString path = layoutPath(settings, baseName);
    const QString existing = LayoutFile(path, QStringLiteral(".txt"));
    const bool written = FileBits::WriteWholeFile(existing.isEmpty() ? path + QStringLiteral(".txt") : existing,
                                                  LayoutText(layout.RemoteButtons));
    layout.CurrentRemote = baseName;
    if (remoteWindow != nullptr) {
        settings.SaveRemotePlacement(baseName, *remoteWindow);
    }
    return written;
}
