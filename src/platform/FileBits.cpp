#include "platform/FileBits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace FileBits {

QString ReadWholeFile(const QString &path) {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = text.toLatin1();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString ChooseDataFile(const QString &folder, const QString &name) {
    const QDir dir(folder);
    const QString first = dir.filePath(name);
    if (QFileInfo::exists(first)) {
        return first;
    }
    return dir.filePath(QStringLiteral("qx_") + name);
}

} // namespace FileBits
