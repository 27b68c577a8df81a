#pragma once

#include "app/InstanceChannel.h"

#include <QString>

#include <memory>

class QLockFile;

// Keeps a second copy of the program from running beside the first. The lock is a file beside
// the settings file, in the program folder itself, so two copies that would fight over one
// settings file exclude each other whatever their environment says. When the program folder
// cannot be written the lock goes to a folder of the user's own instead (PrivateRuntimeFolder),
// named after the settings file's path. A lock left behind by a copy that crashed is recognised by its dead process and
// taken over.
//
// The holder of the lock listens on a channel (InstanceChannel) on which a second copy, refused,
// asks it to show its window: starting the program again brings the running copy to the front.
class SingleInstance {
public:
    explicit SingleInstance(const QString &settingsFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // The lock in the program folder: the settings file's name with ".lock" appended.
    static QString LockPathFor(const QString &settingsFile);
    // The lock used when the program folder cannot be written ("" when the user has no private
    // folder).
    static QString FallbackLockPathFor(const QString &settingsFile);

    // False when another running copy holds the lock. When no lock can be made at all (neither
    // folder writable) the program runs rather than refusing to start. Once the lock is taken
    // the channel listens.
    bool TryAcquire();
    bool held() const { return m_held; }
    // The lock file in use once acquired ("" when running unguarded).
    const QString &lockPath() const { return m_path; }
    // Whether the lock taken was one a copy that crashed left behind.
    bool tookOverLeftLock() const { return m_tookOver; }

    // Refused: asks the copy holding the lock to show its window. True when it answered; false
    // when nobody listens (a copy from before the channel, or one that could not open it) or
    // the copy did not answer (hung); Notice() tells which.
    bool AskRunningCopyToShow();

    // What the start tells the user on the terminal, "" when nothing: after a refusal whether
    // the running copy took the request to show itself, and when a crashed copy's lock was
    // taken over.
    QString Notice() const;

    // The holder's channel: its showRequested signal is a second copy's request.
    InstanceChannel &channel() { return m_channel; }

private:
    QString m_settingsFile;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    InstanceChannel m_channel;
    bool m_held = false;
    bool m_tookOver = false;
    // After a refusal: the holder's process (0 when unknown) and whether it took the request.
    qint64 m_holderPid = 0;
    enum class Request { NotAsked, Taken, NotTaken, NoAnswer } m_request = Request::NotAsked;
};
