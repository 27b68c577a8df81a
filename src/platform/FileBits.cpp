#include "platform/FileBits.h"

#include "platform/WholeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FileBits {

QString ReadWholeFile(const QString &path) {
    if (!QFileInfo(path).isFile()) {
        return QString();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromLatin1(file.readAll());
}

QStringList SplitLines(const QString &text) {
    QStringList lines = text.split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
    return lines;
}

bool WriteWholeFile(const QString &path, const QString &text) {
    // Every step checked, the flush included: a full disk must not replace the user's file with
    // a short one.
    return ::WriteWholeFile(path, text.toLatin1()).ok;
}

QString ChooseDataFile(const QString &folder, const QString &name) {
    const QDir dir(folder);
    const QString first = dir.filePath(name);
    if (QFileInfo::exists(first)) {
        return first;
    }
    return dir.filePath(QStringLiteral("qx_") + name);
}

QString FileInFolder(const QString &folder, const QString &name) {
    QString relative = name;
    relative.replace(u'\\', u'/');
    while (relative.startsWith(u'/')) {
        relative.remove(0, 1);
    }
    if (relative.isEmpty()) {
        return QString();
    }
    const QString path = QDir(folder).filePath(relative);
    const QFileInfo file(path);
    // isFile() holds for regular files only (through links); FIFOs, sockets and devices fail.
    if (!file.isFile()) {
        return QString();
    }
    const QString root = QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).canonicalFilePath();
    const QString real = file.canonicalFilePath();
    if (root.isEmpty() || !real.startsWith(root.endsWith(u'/') ? root : root + u'/')) {
        return QString();
    }
    return path;
}

} // namespace FileBits
