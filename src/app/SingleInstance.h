#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Keeps a second copy of the program from running beside the first. The lock is a file named
// after the settings file the copy uses, so two copies that would fight over one settings file
// exclude each other. A lock left behind by a copy that crashed is recognised by its dead
// process and taken over.
class SingleInstance {
public:
    explicit SingleInstance(const QString &settingsFile);
    ~SingleInstance();
    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    static QString LockPathFor(const QString &settingsFile);

    // False when another running copy holds the lock. When the lock cannot be made at all
    // (no writable temporary folder) the program runs rather than refusing to start.
    bool TryAcquire();
    bool held() const { return m_held; }
    const QString &lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};
