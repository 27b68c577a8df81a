#include "app/SingleInstance.h"
#include "app/Version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(Version, CaptionLeavesOutTheMinorNumber) {
    EXPECT_EQ(MainCaption(1, 35), QStringLiteral("CV Remote - v1.35"));
    EXPECT_EQ(VersionString(1, 2, 35), QStringLiteral("1.2.35"));
}

TEST(SingleInstance, OneCopyPerSettingsFileAndAStaleLockDoesNotBlock) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString settings = dir.filePath(QStringLiteral("CVRemote.ini"));
    {
        SingleInstance first(settings);
        ASSERT_TRUE(first.TryAcquire());
        EXPECT_FALSE(SingleInstance(settings).TryAcquire());
        // Another program folder is another program.
        EXPECT_TRUE(SingleInstance(dir.filePath(QStringLiteral("other/CVRemote.ini"))).TryAcquire());
    }
    // A child takes the lock and dies without releasing it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance crashing(settings);
        _exit(crashing.TryAcquire() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the first copy's lock went with it";
    ASSERT_TRUE(QFile::exists(SingleInstance::LockPathFor(settings))) << "the dead copy's lock is left behind";
    EXPECT_TRUE(SingleInstance(settings).TryAcquire());
}

TEST(SingleInstance, TheLockLivesInTheProgramFolderWhateverTheTemporaryFolder) {
    QTemporaryDir program;
    QTemporaryDir tmpA;
    QTemporaryDir tmpB;
    ASSERT_TRUE(program.isValid() && tmpA.isValid() && tmpB.isValid());
    const QString settings = program.filePath(QStringLiteral("CVRemote.ini"));
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmpA.path().toLocal8Bit());
    SingleInstance first(settings);
    ASSERT_TRUE(first.TryAcquire());
    EXPECT_EQ(first.lockPath(), program.filePath(QStringLiteral("CVRemote.ini.lock")));
    // Started again from the same folder with another temporary folder: still refused.
    qputenv("TMPDIR", tmpB.path().toLocal8Bit());
    EXPECT_FALSE(SingleInstance(settings).TryAcquire());

    // A program folder that cannot take a file (not even as root): the lock goes to the
    // temporary folder, and still lets one copy in.
    const QString readOnly = QStringLiteral("/proc/cvremote-no-such-folder/CVRemote.ini");
    SingleInstance inProc(readOnly);
    ASSERT_TRUE(inProc.TryAcquire());
    EXPECT_EQ(QFileInfo(inProc.lockPath()).absolutePath(), QFileInfo(tmpB.path()).absoluteFilePath());
    EXPECT_FALSE(SingleInstance(readOnly).TryAcquire());
    if (oldTmp.isNull()) {
        qunsetenv("TMPDIR");
    } else {
        qputenv("TMPDIR", oldTmp);
    }
}
