#include "app/SingleInstance.h"
#include "app/Version.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(Version, CaptionLeavesOutTheMinorNumber) {
    EXPECT_EQ(MainCaption(1, 35), QStringLiteral("CV Remote - v1.35"));
    EXPECT_EQ(VersionString(1, 2, 35), QStringLiteral("1.2.35"));
}

TEST(SingleInstance, SecondCopyIsRefusedUntilTheFirstEnds) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString settings = dir.filePath(QStringLiteral("CVRemote.ini"));
    {
        SingleInstance first(settings);
        ASSERT_TRUE(first.TryAcquire());
        SingleInstance second(settings);
        EXPECT_FALSE(second.TryAcquire());
        EXPECT_FALSE(second.held());
        // Another program folder is another program.
        SingleInstance elsewhere(dir.filePath(QStringLiteral("other/CVRemote.ini")));
        EXPECT_TRUE(elsewhere.TryAcquire());
    }
    SingleInstance after(settings);
    EXPECT_TRUE(after.TryAcquire());
}

TEST(SingleInstance, LockOfACrashedCopyDoesNotBlock) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString settings = dir.filePath(QStringLiteral("CVRemote.ini"));
    const QString lockPath = SingleInstance::LockPathFor(settings);
    QFile::remove(lockPath);

    // A child takes the lock and dies without releasing it.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance crashing(settings);
        const bool got = crashing.TryAcquire();
        _exit(got ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFile::exists(lockPath)) << "the dead copy's lock is left behind";

    SingleInstance next(settings);
    EXPECT_TRUE(next.TryAcquire());
}
