#include "app/RuntimeFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX

namespace {

// A real folder (not a link), this user's, that no one else can write into (and, for the
// folder made here, not even look into).
bool isPrivateFolder(const QByteArray &path, mode_t othersMayNot) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & othersMayNot) == 0;
}

} // namespace

QString PrivateRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(QFile::encodeName(runtime), S_IWGRP | S_IWOTH) &&
        ::access(QFile::encodeName(runtime).constData(), W_OK | X_OK) == 0) {
        return runtime;
    }
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("CVRemote-") + QString::number(::getuid()));
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        return QString();
    }
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        return QString();
    }
    if ((info.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0) {
        return QString();
    }
    return isPrivateFolder(path, 077) ? folder : QString();
}

bool OwnedByUser(const QString &path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return errno == ENOENT;
    }
    return info.st_uid == ::getuid();
}

#else

QString PrivateRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
}

bool OwnedByUser(const QString &) {
    return true;
}

#endif
