#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

SingleInstance::SingleInstance(const QString &settingsFile)
    : m_settingsFile(QFileInfo(settingsFile).absoluteFilePath()) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::LockPathFor(const QString &settingsFile) {
    return QFileInfo(settingsFile).absoluteFilePath() + QStringLiteral(".lock");
}

QString SingleInstance::FallbackLockPathFor(const QString &settingsFile) {
    const QString absolute = QFileInfo(settingsFile).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("CVRemote-") + QString::fromLatin1(hash) + QStringLiteral(".lock"));
}

bool SingleInstance::TryAcquire() {
    if (m_held) {
        return true;
    }
    for (const QString &path : {LockPathFor(m_settingsFile), FallbackLockPathFor(m_settingsFile)}) {
        auto lock = std::make_unique<QLockFile>(path);
        // Age alone must never make a lock stale: the first copy may run for days. A lock is
        // stale only when the process that made it is gone.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            m_path = path;
            m_held = true;
            return true;
        }
        if (lock->error() == QLockFile::LockFailedError) {
            return false;
        }
        // The folder cannot take a lock file: try the next place.
    }
    // No lock can be made anywhere: run unguarded rather than not at all.
    m_held = true;
    return true;
}
