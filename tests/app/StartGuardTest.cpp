#include "app/RuntimeFolder.h"
#include "app/SingleInstance.h"
#include "app/Version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <future>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// One copy per program folder, and what a second start does: the running copy is asked to show
// itself over a local channel, or the user is told why not.
class StartGuardTest : public QObject {
    Q_OBJECT

    static constexpr int Patience = 5000;

    // A copy that takes the folder's lock (and its channel) and dies without giving them back.
    static bool crashWithTheLock(const QString &settings) {
        const pid_t child = fork();
        if (child == 0) {
            SingleInstance crashing(settings);
            _exit(crashing.TryAcquire() && crashing.channel().listening() ? 0 : 1);
        }
        int status = 0;
        return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // The second copy asks from a thread of its own while this thread's event loop lets the
    // first copy answer, as two processes would.
    template <class Ask>
    static auto askedFromAnotherThread(Ask ask) {
        auto asked = std::async(std::launch::async, ask);
        (void)QTest::qWaitFor([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                              3 * Patience);
        return asked.get();
    }

private Q_SLOTS:
    void captionLeavesOutTheMinorNumber() {
        QCOMPARE(MainCaption(1, 35), QStringLiteral("CV Remote - v1.35"));
        QCOMPARE(VersionString(1, 2, 35), QStringLiteral("1.2.35"));
    }

    // One copy per program folder, whatever the temporary folder; a stale lock does not block.
    void oneCopyPerProgramFolder() {
        QTemporaryDir program, tmpA, tmpB;
        QVERIFY(program.isValid() && tmpA.isValid() && tmpB.isValid());
        const QString settings = program.filePath("CVRemote.ini");
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmpA.path().toLocal8Bit());
        {
            SingleInstance first(settings);
            QVERIFY(first.TryAcquire());
            QCOMPARE(first.lockPath(), program.filePath("CVRemote.ini.lock"));
            qputenv("TMPDIR", tmpB.path().toLocal8Bit());
            QVERIFY(!SingleInstance(settings).TryAcquire());
            QVERIFY(SingleInstance(program.filePath("other/CVRemote.ini")).TryAcquire());
            // A program folder that cannot take a file (not even as root): the lock goes to the
            // temporary folder, and still lets one copy in.
            const QString readOnly = "/proc/cvremote-no-such-folder/CVRemote.ini";
            SingleInstance inProc(readOnly);
            QVERIFY(inProc.TryAcquire());
            QCOMPARE(QFileInfo(inProc.lockPath()).absolutePath(),
                     QFileInfo(tmpB.path()).absoluteFilePath() + "/CVRemote-" + QString::number(getuid()));
            QVERIFY(!SingleInstance(readOnly).TryAcquire());
        }
        oldTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTmp);

        QVERIFY2(crashWithTheLock(settings), "the first copy's lock went with it");
        QVERIFY2(QFile::exists(SingleInstance::LockPathFor(settings)), "the dead copy's lock is left behind");
        QVERIFY(SingleInstance(settings).TryAcquire());
    }

    // Without a runtime folder the socket and the fallback lock go to a folder of the user's own
    // in the temporary folder, never to a name there that another user made first.
    void theFallbackPlaceIsTheUsersOwn() {
        QTemporaryDir tmp, runtime;
        QVERIFY(tmp.isValid() && runtime.isValid());
        const QByteArray oldTmp = qgetenv("TMPDIR");
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        const auto restore = qScopeGuard([&] {
            oldTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", oldTmp);
            oldRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", oldRuntime);
        });
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
        const QString own = QFileInfo(tmp.path()).absoluteFilePath() + "/CVRemote-" + QString::number(getuid());
        const QString settings = "/proc/cvremote-no-such-folder/CVRemote.ini"; // no lock beside it
        const auto mode = [](const QString &path) {
            struct stat info {};
            return lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
        };

        // A runtime folder others may write to is not one; the user's own is.
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::permissions(runtime.path()) | QFile::WriteOther));
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        QCOMPARE(PrivateRuntimeFolder(), own);
        QCOMPARE(mode(own), 0700);
        QVERIFY(QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QCOMPARE(PrivateRuntimeFolder(), runtime.path());
        qunsetenv("XDG_RUNTIME_DIR");

        // The user's folder left open is closed again; the lock and socket go inside it.
        QVERIFY(QFile::setPermissions(own, QFile::permissions(own) | QFile::ReadOther | QFile::ExeOther));
        {
            SingleInstance guard(settings);
            QVERIFY(guard.TryAcquire());
            QCOMPARE(QFileInfo(guard.lockPath()).absolutePath(), own);
            QCOMPARE(QFileInfo(guard.channel().name()).absolutePath(), own);
            QVERIFY(guard.channel().listening());
            QCOMPARE(mode(own), 0700);
        }

        // Another's link, file or folder at that name: no socket, no lock there; the copy runs
        // unguarded, as it does when no folder can take a lock.
        QDir(own).removeRecursively();
        QVERIFY(QFile::link(runtime.path(), own));
        QCOMPARE(PrivateRuntimeFolder(), QString());
        SingleInstance linked(settings);
        QVERIFY(linked.TryAcquire());
        QCOMPARE(linked.lockPath(), QString());
        QVERIFY(!linked.channel().listening());
        QVERIFY(QFile::remove(own));
        QVERIFY(QFile(own).open(QIODevice::WriteOnly));
        QCOMPARE(PrivateRuntimeFolder(), QString());
        QVERIFY(QFile::remove(own));
        if (geteuid() != 0) {
            return; // only root can make a folder and a lock that belong to someone else
        }
        QVERIFY(QDir().mkdir(own));
        const QString lock = SingleInstance::FallbackLockPathFor(settings);
        QVERIFY(QFile(lock).open(QIODevice::WriteOnly));
        QCOMPARE(chown(QFile::encodeName(lock).constData(), 4242, 4242), 0);
        SingleInstance refused(settings);
        QVERIFY(refused.TryAcquire());
        QCOMPARE(refused.lockPath(), QString()); // not taken over as a crashed copy's lock
        QCOMPARE(chown(QFile::encodeName(own).constData(), 4242, 4242), 0);
        QCOMPARE(PrivateRuntimeFolder(), QString());
    }

    // A second copy hands its request to the first over the channel; the first hears it, and the
    // second says so. Other program folders have channels of their own.
    void aSecondCopyAsksTheFirstToShowItself() {
        QTemporaryDir program, other;
        QVERIFY(program.isValid() && other.isValid());
        const QString settings = program.filePath("CVRemote.ini");
        SingleInstance first(settings);
        QVERIFY(first.TryAcquire());
        QVERIFY(first.channel().listening());
        QCOMPARE(first.Notice(), QString());
        QSignalSpy shown(&first.channel(), &InstanceChannel::showRequested);
        QVERIFY(InstanceChannel::NameFor(settings) != InstanceChannel::NameFor(other.filePath("CVRemote.ini")));
        // Only the user may connect.
        QVERIFY(!(QFile::permissions(first.channel().name()) & (QFile::WriteGroup | QFile::WriteOther)));

        SingleInstance second(settings);
        QVERIFY(!second.TryAcquire());
        QVERIFY(!second.channel().listening());
        QVERIFY(askedFromAnotherThread([&] { return second.AskRunningCopyToShow(); }));
        QCOMPARE(shown.count(), 1);
        QCOMPARE(second.Notice(),
                 QStringLiteral("CV Remote is already running (program folder %1); it brought its window to the front.")
                     .arg(QDir::toNativeSeparators(program.path())));

        // What is not the request is not taken for it; a line too long ends the connection.
        QLocalSocket stranger;
        stranger.connectToServer(first.channel().name());
        QVERIFY(stranger.waitForConnected(Patience));
        stranger.write("hello\nshow please\n" + QByteArray(100, 'x'));
        QTRY_COMPARE_WITH_TIMEOUT(stranger.state(), QLocalSocket::UnconnectedState, Patience);
        QCOMPARE(askedFromAnotherThread([&] { return InstanceChannel(settings).askToShow(); }),
                 InstanceChannel::Asked::Answered);
        QCOMPARE(shown.count(), 2);
        QTest::qWait(50);
        QCOMPARE(shown.count(), 2);

        // A copy on another folder runs beside the first and hears nothing of it.
        SingleInstance beside(other.filePath("CVRemote.ini"));
        QVERIFY(beside.TryAcquire());
        QSignalSpy besideShown(&beside.channel(), &InstanceChannel::showRequested);
        QVERIFY(askedFromAnotherThread([&] { return SingleInstance(settings).AskRunningCopyToShow(); }));
        QCOMPARE(shown.count(), 3);
        QCOMPARE(besideShown.count(), 0);
    }

    // The holder of the lock cannot be reached: a crashed copy's lock and channel are taken over
    // (and the user told); a live holder that does not listen refuses the start as before.
    void anUnreachableFirstCopy() {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString settings = program.filePath("CVRemote.ini");
        const QString folder = QDir::toNativeSeparators(program.path());
        QVERIFY(crashWithTheLock(settings));
        QVERIFY(QFileInfo::exists(InstanceChannel::NameFor(settings))); // its socket is left behind
        QCOMPARE(InstanceChannel(settings).askToShow(1000, 0), InstanceChannel::Asked::NotReached);
        {
            SingleInstance next(settings);
            QVERIFY(next.TryAcquire());
            QVERIFY(next.tookOverLeftLock());
            QCOMPARE(next.Notice(), QStringLiteral("CV Remote: the copy that last ran from program folder %1 did not "
                                                   "close properly (it left its lock behind); this copy takes over.")
                                        .arg(folder));
            QVERIFY(next.channel().listening());
            QSignalSpy shown(&next.channel(), &InstanceChannel::showRequested);
            QVERIFY(askedFromAnotherThread([&] { return SingleInstance(settings).AskRunningCopyToShow(); }));
            QCOMPARE(shown.count(), 1);
        }
        // Closed properly, the next start is an ordinary one.
        SingleInstance again(settings);
        QVERIFY(again.TryAcquire());
        QVERIFY(!again.tookOverLeftLock());
        QCOMPARE(again.Notice(), QString());

        // The lock held by a live process that does not listen (a copy that hangs, or one from
        // before the channel).
        QTemporaryDir hung;
        QVERIFY(hung.isValid());
        const QString hungSettings = hung.filePath("CVRemote.ini");
        QLockFile held(SingleInstance::LockPathFor(hungSettings));
        QVERIFY(held.tryLock(0));
        SingleInstance refused(hungSettings);
        QVERIFY(!refused.TryAcquire());
        QVERIFY(!refused.AskRunningCopyToShow());
        QCOMPARE(refused.Notice(),
                 QStringLiteral("CV Remote is already running (program folder %1, process %2), but it could not be "
                                "reached to bring its window to the front; this copy ends. If that copy no longer "
                                "responds, end it and start again.")
                     .arg(QDir::toNativeSeparators(hung.path()))
                     .arg(QCoreApplication::applicationPid()));
    }

    // Starts at the same instant: the second finds the lock taken before the first listens, and
    // asks again until it does. A first copy that takes the request but never answers (hung,
    // stopped) is reported as such, not as having been asked.
    void aSecondStartWaitsForAFirstThatIsStartingAndTellsAHungOne() {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString settings = program.filePath("CVRemote.ini");
        const QString folder = QDir::toNativeSeparators(program.path());
        QLockFile firstLock(SingleInstance::LockPathFor(settings));
        QVERIFY(firstLock.tryLock(0)); // the first copy, between its lock and its channel
        InstanceChannel first(settings);
        QSignalSpy shown(&first, &InstanceChannel::showRequested);
        InstanceChannel second(settings);
        std::atomic<bool> triedOnce = false;
        second.setRetryObserver([&] { triedOnce = true; });
        auto asked = std::async(std::launch::async, [&] { return second.askToShow(Patience, 3 * Patience); });
        QVERIFY(QTest::qWaitFor([&] { return triedOnce.load(); }, Patience));
        QVERIFY(first.listen());
        QVERIFY(QTest::qWaitFor([&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                                3 * Patience));
        QCOMPARE(asked.get(), InstanceChannel::Asked::Answered);
        QCOMPARE(shown.count(), 1);

        // This thread now stands still, as a stopped copy does: its socket takes the request
        // but nothing reads it.
        SingleInstance refused(settings);
        QVERIFY(!refused.TryAcquire());
        QVERIFY(!std::async(std::launch::async, [&] { return refused.AskRunningCopyToShow(); }).get());
        QCOMPARE(refused.Notice(),
                 QStringLiteral("CV Remote is already running (program folder %1, process %2), but it did not answer "
                                "the request to bring its window to the front: it may be hung. This copy ends. If "
                                "that copy no longer responds, end it and start again.")
                     .arg(folder)
                     .arg(QCoreApplication::applicationPid()));
    }
};

QTEST_GUILESS_MAIN(StartGuardTest)
#include "StartGuardTest.moc"
