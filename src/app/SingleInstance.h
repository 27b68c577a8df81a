#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Keeps a second copy of the program from running beside the first. The lock is a file beside
// the settings file, in the program folder itself, so two copies that would fight over one
// settings file exclude each other whatever their environment says. When the program folder
// cannot be written the lock goes to the temporary folder instead, named after the settings
// file's path. A lock left behind by a copy that crashed is recognised by its dead process and
// taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString &settingsFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // The lock in the program folder: the settings file's name with ".lock" appended.
    static QString LockPathFor(const QString &settingsFile);
    // The lock used when the program folder cannot be written.
    static QString FallbackLockPathFor(const QString &settingsFile);

    // False when another running copy holds the lock. When no lock can be made at all (neither
    // folder writable) the program runs rather than refusing to start.
    bool TryAcquire();
    bool held() const { return m_held; }
    // The lock file in use once acquired ("" when running unguarded).
    const QString &lockPath() const { return m_path; }

private:
    QString m_settingsFile;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};
