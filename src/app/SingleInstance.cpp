#include "app/SingleInstance.h"

#include "app/RuntimeFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

SingleInstance::SingleInstance(const QString &settingsFile)
    : m_settingsFile(QFileInfo(settingsFile).absoluteFilePath())
    , m_channel(m_settingsFile) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::LockPathFor(const QString &settingsFile) {
    return QFileInfo(settingsFile).absoluteFilePath() + QStringLiteral(".lock");
}

QString SingleInstance::FallbackLockPathFor(const QString &settingsFile) {
    const QString absolute = QFileInfo(settingsFile).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    // In a folder of the user's own: a lock of a predictable name in the shared temporary folder
    // could be made first by another user, and would keep this user's copy out (or let two in).
    const QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty()) {
        return QString();
    }
    return QDir(folder).filePath(QStringLiteral("CVRemote-") + QString::fromLatin1(hash) + QStringLiteral(".lock"));
}

bool SingleInstance::TryAcquire() {
    if (m_held) {
        return true;
    }
    const QString fallback = FallbackLockPathFor(m_settingsFile);
    for (const QString &path : {LockPathFor(m_settingsFile), fallback}) {
        // The fallback is refused when there is no private folder, or when its lock belongs to
        // another user (who could only have put it there with more rights than this user has).
        if (path.isEmpty() || (path == fallback && !OwnedByUser(path))) {
            continue;
        }
        auto lock = std::make_unique<QLockFile>(path);
        // Age alone must never make a lock stale: the first copy may run for days. A lock is
        // stale only when the process that made it is gone.
        lock->setStaleLockTime(0);
        const bool leftBehind = QFileInfo::exists(path);
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            m_path = path;
            m_held = true;
            m_tookOver = leftBehind;
            // Without the channel the copy still runs; a second start is then refused unheard.
            m_channel.listen();
            return true;
        }
        if (lock->error() == QLockFile::LockFailedError) {
            QString host, application;
            if (!lock->getLockInfo(&m_holderPid, &host, &application)) {
                m_holderPid = 0;
            }
            return false;
        }
        // The folder cannot take a lock file: try the next place.
    }
    // No lock can be made anywhere: run unguarded rather than not at all (and without the
    // channel, whose name another unguarded copy may hold).
    m_held = true;
    return true;
}

bool SingleInstance::AskRunningCopyToShow() {
    const InstanceChannel::Asked asked = m_held ? InstanceChannel::Asked::NotReached : m_channel.askToShow();
    m_request = asked == InstanceChannel::Asked::Answered   ? Request::Taken
                : asked == InstanceChannel::Asked::NoAnswer ? Request::NoAnswer
                                                            : Request::NotTaken;
    return asked == InstanceChannel::Asked::Answered;
}

QString SingleInstance::Notice() const {
    const QString folder = QDir::toNativeSeparators(QFileInfo(m_settingsFile).absolutePath());
    switch (m_request) {
    case Request::Taken:
        return QStringLiteral("CV Remote is already running (program folder %1); it brought its window to the "
                              "front.")
            .arg(folder);
    case Request::NoAnswer:
    case Request::NotTaken: {
        const QString process = m_holderPid > 0 ? QStringLiteral(", process %1").arg(m_holderPid) : QString();
        const QString what = m_request == Request::NoAnswer
                                 ? QStringLiteral("did not answer the request to bring its window to the front: it "
                                                  "may be hung. This copy ends.")
                                 : QStringLiteral("could not be reached to bring its window to the front; this copy "
                                                  "ends.");
        return QStringLiteral("CV Remote is already running (program folder %1%2), but it %3 If that copy no longer "
                              "responds, end it and start again.")
            .arg(folder, process, what);
    }
    case Request::NotAsked:
        break;
    }
    if (m_tookOver) {
        return QStringLiteral("CV Remote: the copy that last ran from program folder %1 did not close properly "
                              "(it left its lock behind); this copy takes over.")
            .arg(folder);
    }
    return {};
}
