#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

SingleInstance::SingleInstance(const QString &settingsFile)
    : m_path(LockPathFor(settingsFile)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::LockPathFor(const QString &settingsFile) {
    const QString absolute = QFileInfo(settingsFile).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("CVRemote-") + QString::fromLatin1(hash) + QStringLiteral(".lock"));
}

bool SingleInstance::TryAcquire() {
    if (m_held) {
        return true;
    }
    m_lock = std::make_unique<QLockFile>(m_path);
    // Age alone must never make a lock stale: the first copy may run for days. A lock is
    // stale only when the process that made it is gone.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        m_held = true;
        return true;
    }
    if (m_lock->error() == QLockFile::LockFailedError) {
        m_lock.reset();
        return false;
    }
    // Permission or other trouble with the lock file: run unguarded rather than not at all.
    m_lock.reset();
    m_held = true;
    return true;
}
