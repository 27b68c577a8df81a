#include "app/SingleInstance.h"
#include "app/Version.h"

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

// One copy per program folder, whatever the temporary folder; a stale lock does not block.
TEST(SingleInstance, OneCopyPerProgramFolder) {
    QTemporaryDir program, tmpA, tmpB;
    ASSERT_TRUE(program.isValid() && tmpA.isValid() && tmpB.isValid());
    const QString settings = program.filePath("CVRemote.ini");
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmpA.path().toLocal8Bit());
    {
        SingleInstance first(settings);
        ASSERT_TRUE(first.TryAcquire());
        EXPECT_EQ(first.lockPath(), program.filePath("CVRemote.ini.lock"));
        qputenv("TMPDIR", tmpB.path().toLocal8Bit());
        EXPECT_FALSE(SingleInstance(settings).TryAcquire());
        EXPECT_TRUE(SingleInstance(program.filePath("other/CVRemote.ini")).TryAcquire());
        // A program folder that cannot take a file (not even as root): the lock goes to the
        // temporary folder, and still lets one copy in.
        const QString readOnly = "/proc/cvremote-no-such-folder/CVRemote.ini";
        SingleInstance inProc(readOnly);
        ASSERT_TRUE(inProc.TryAcquire());
        EXPECT_EQ(QFileInfo(inProc.lockPath()).absolutePath(), QFileInfo(tmpB.path()).absoluteFilePath());
        EXPECT_FALSE(SingleInstance(readOnly).TryAcquire());
    }
    oldTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTmp);

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
