#include "platform/WholeFileWriter.h"
#include "settings/GeneralSettings.h"
#include "settings/INIFILES.h"
#include "settings/SettingsSaver.h"
#include "support/FakeTimer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool putFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList filesIn(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// What a user's file holds: the program's keys, a section and a key it does not know, a comment.
const QByteArray UsersFile = "; my radio\r\n[General]\r\nRaidoURL=10.0.0.7\r\nRaidoPORT=8080\r\nMyOwnKey=keep me\r\n"
                             "[ConfigForm]\r\nFC=100,100,800,600,\r\n[Plugins]\r\nLyrics=on\r\n";

// The real file layer, made to fail at one step as a full disk or a vanished folder would.
class FailingLayer final : public FileLayer {
public:
    enum class Step { None, Open, Write, Flush, Commit };
    explicit FailingLayer(Step step)
        : m_failAt(step) {}

    bool open(const QString &path) override {
        ++opens;
        return m_failAt != Step::Open && m_real.open(path);
    }
    bool write(const QByteArray &bytes) override {
        ++writes;
        if (m_failAt == Step::Write) {
            m_real.write(bytes.left(bytes.size() / 2)); // a short write: half of it went
            return false;
        }
        return m_real.write(bytes);
    }
    bool flush() override { return m_failAt != Step::Flush && m_real.flush(); }
    bool commit() override { return m_failAt != Step::Commit && m_real.commit(); }
    void cancel() override { m_real.cancel(); }
    QString errorString() const override {
        return m_failAt == Step::None ? m_real.errorString() : QStringLiteral("No space left on device");
    }

    int opens = 0;
    int writes = 0;

private:
    Step m_failAt;
    SaveFileLayer m_real;
};

class SettingsSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ini.SetProgramPaths(dir.filePath("CVRemote"));
    }
    QString file() const { return ini.SettingsFile(); }

    QTemporaryDir dir;
    INIFILES ini;
};

// Stands in for a window on a 1920 by 1040 screen.
struct FakeWindow : PlacedWindow {
    QString name = "RemoteForm";
    Placement placement{10, 20, 280, 700};
    QString placementName() const override { return name; }
    Placement currentPlacement() const override { return placement; }
    bool isNormalState() const override { return true; }
    void applyPlacement(const Placement &p) override { placement = p; }
    void hideWindow() override {}
    QList<QRect> screenAreas() const override { return {QRect(0, 0, 1920, 1040)}; }
    QSize frameExtra() const override { return {8, 38}; }
};

} // namespace

// Whatever step of the write fails, the old file stays byte for byte, no temporary file is left,
// the user learns what was not saved and why, and the changes go with the next save that works,
// beside the keys the program does not know. A save is one open and one write however many keys
// changed.
TEST_F(SettingsSaveTest, AFailureAtAnyStepLeavesTheOldFileAndTheChangesForLater) {
    using Step = FailingLayer::Step;
    ASSERT_TRUE(putFile(file(), UsersFile));
    for (Step step : {Step::Open, Step::Write, Step::Flush, Step::Commit}) {
        SCOPED_TRACE(int(step));
        ini.WriteSetting("General", "RaidoURL", "192.168.5.5");
        ini.WriteSetting("ConfigForm", "FC", "1,2,300,400,");
        FailingLayer layer(step);
        const INIFILES::SaveResult result = ini.Save(layer);
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.contains("No space left on device")) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains("[General] RaidoURL, [ConfigForm] FC")) << result.error.toStdString();
        EXPECT_EQ(readFile(file()), UsersFile);
        EXPECT_EQ(filesIn(dir.path()), QStringList{"CVRemote.ini"});
        EXPECT_TRUE(ini.hasUnsavedChanges());
        EXPECT_EQ(ini.ReadSetting("General", "RaidoURL", ""), "192.168.5.5"); // the session goes on with it
    }

    for (int i = 0; i < 500; ++i) {
        ini.WriteSetting(QString("Layout%1").arg(i), "FC", "1,2,300,400,");
    }
    FailingLayer working(Step::None);
    ASSERT_TRUE(ini.Save(working).ok);
    EXPECT_EQ(working.opens, 1);
    EXPECT_EQ(working.writes, 1);
    EXPECT_FALSE(ini.hasUnsavedChanges());
    const QByteArray saved = readFile(file());
    for (const char *line : {"RaidoURL=192.168.5.5\r\n", "MyOwnKey=keep me\r\n", "[Plugins]\r\nLyrics=on\r\n",
                             "; my radio\r\n", "[Layout499]\r\nFC=1,2,300,400,\r\n"}) {
        EXPECT_TRUE(saved.contains(line)) << line;
    }
    // Nothing changed since: no write at all.
    FailingLayer idle(Step::Open);
    EXPECT_TRUE(ini.Save(idle).ok);
    EXPECT_EQ(idle.opens, 0);
}

// A key edited by hand while the program runs stays: a save lays only the program's own changes
// over what the file holds at that moment, and keeps a copy of a file damaged meanwhile.
TEST_F(SettingsSaveTest, ASaveKeepsWhatWasEditedByHandMeanwhile) {
    ASSERT_TRUE(putFile(file(), UsersFile));
    ini.WriteSetting("General", "RaidoPORT", "9090");
    const QByteArray edited = QByteArray(UsersFile).replace("keep me", "edited") + "a line of no meaning\r\n";
    ASSERT_TRUE(putFile(file(), edited));
    ASSERT_TRUE(ini.Save().ok);
    const QByteArray saved = readFile(file());
    EXPECT_TRUE(saved.contains("MyOwnKey=edited\r\n"));
    EXPECT_TRUE(saved.contains("RaidoPORT=9090\r\n"));
    // The line the save leaves out is in the copy kept aside.
    EXPECT_EQ(readFile(file() + ".bad"), edited);
    EXPECT_EQ(ini.takeNotices().size(), 1);
}

// The debounce: the first change arms the timer, later ones ride along, one save when it runs
// out. A failing save is told once, not every few seconds, and its changes go with the next
// save that works.
TEST_F(SettingsSaveTest, ChangesAreSavedAFewSecondsLaterAndFailuresToldOnce) {
    FakeClock clock;
    INIFILES later;
    const QString folder = dir.filePath("not-yet");
    later.SetProgramPaths(folder + "/CVRemote");
    SettingsSaver saver(later, std::make_unique<FakeTimer>(clock));
    QStringList failures;
    int recovered = 0;
    QObject::connect(&saver, &SettingsSaver::saveFailed, [&](const QString &m) { failures << m; });
    QObject::connect(&saver, &SettingsSaver::savedAgain, [&] { ++recovered; });

    EXPECT_FALSE(saver.pending());
    later.WriteSetting("General", "RaidoURL", "10.0.0.8");
    EXPECT_TRUE(saver.pending());
    clock.advance(2000);
    later.WriteSetting("General", "RaidoPORT", "81");
    clock.advance(1000); // three seconds after the first change, not the last
    EXPECT_FALSE(saver.pending());
    ASSERT_EQ(failures.size(), 1); // the folder is missing
    EXPECT_TRUE(failures[0].contains("[General] RaidoURL, [General] RaidoPORT")) << failures[0].toStdString();
    later.WriteSetting("General", "AutoRefresh", "0");
    clock.advance(3000);
    EXPECT_EQ(failures.size(), 1); // the same failure is not told again

    ASSERT_TRUE(QDir().mkpath(folder));
    later.WriteSetting("General", "Auto21Exit", "0");
    clock.advance(3000);
    EXPECT_EQ(recovered, 1);
    const QByteArray saved = readFile(later.SettingsFile());
    for (const char *line : {"RaidoURL=10.0.0.8", "RaidoPORT=81", "AutoRefresh=0", "Auto21Exit=0"}) {
        EXPECT_TRUE(saved.contains(line)) << line;
    }
    // Writing what is already there is no change and arms nothing.
    later.WriteSetting("General", "RaidoPORT", " 81 ");
    EXPECT_FALSE(saver.pending());
}

// Each value read is held to its range: one outside it gives the default, is named once in a
// notice, and the next save writes the default (a window place is removed instead).
TEST_F(SettingsSaveTest, DamagedValuesAreReplacedByTheirDefaultsOnce) {
    ASSERT_TRUE(putFile(
        file(), "[General]\r\nLastRemote=../../etc/passwd\r\nRaidoURL=my radio\r\nRaidoPORT=80800\r\n"
                "KeepConnected=5\r\nAutoRefresh=yes\r\nAuto21Exit=0\r\nUnLock=-3\r\n"
                "ConsolePort=0\r\n"
                "[Timeouts]\r\nConnect=0\r\nReplyWaitMax=1e9\r\nKeyTimeLimit=0\r\nPollWhenOn=0\r\nPollWhenOff=2.5\r\n"
                "CheckAllOn=40000\r\nCheckAllOff=-1\r\nMacroStepInterval=x\r\nMacroStepTimeout=5\r\n"
                "[ConfigForm]\r\nFC=0,0,800,5000,\r\n[RemoteForm]\r\nFC=10,10,94,146,\r\n"
                "[InfoForm]\r\nFC=-99999,0,500,500,\r\n[MacroForm]\r\nFC=30,40,500,400,\r\n"
                "[UpdateForm]\r\nTL=99999,5,\r\n"));
    GeneralSettings general;
    ReadGeneralSettings(ini, general);
    EXPECT_EQ(general.LastRemote, "remote1");
    EXPECT_EQ(general.RaidoURL, "192.168.1.119");
    EXPECT_EQ(general.RaidoPORT, "8080");
    EXPECT_FALSE(general.KeepConnected);
    EXPECT_TRUE(general.AutoRefresh);
    EXPECT_FALSE(general.Auto21Exit); // in range: taken
    EXPECT_FALSE(general.UnLock);
    EXPECT_EQ(ini.ReadValid("General", "ConsolePort", "8899", SettingRange::IsPortText), "8899");
    Timeouts t;
    ini.ReadTimeouts(t);
    EXPECT_EQ(t.Connect, 0.5f);
    EXPECT_EQ(t.ReplyWaitMax, 10.0f);
    EXPECT_EQ(t.KeyTimeLimit, 5.0f);
    EXPECT_EQ(t.PollWhenOn, 10);
    EXPECT_EQ(t.PollWhenOff, 2); // in range after rounding halves to even
    EXPECT_EQ(t.CheckAllOn, 10);
    EXPECT_EQ(t.CheckAllOff, 60);
    EXPECT_EQ(t.MacroStepInterval, 5);
    EXPECT_EQ(t.MacroStepTimeout, 1000);
    for (const char *name : {"ConfigForm", "RemoteForm", "InfoForm"}) {
        FakeWindow w;
        w.name = name;
        EXPECT_FALSE(ini.RestoreWindowPlacement(w)) << name;
        EXPECT_EQ(w.placement.height, 700) << name; // stays where the program put it
    }
    FakeWindow macro;
    macro.name = "MacroForm";
    EXPECT_TRUE(ini.RestoreWindowPlacement(macro));
    EXPECT_EQ(macro.placement.width, 500);
    FakeWindow update;
    update.name = "UpdateForm";
    EXPECT_FALSE(ini.RestoreWindowTopLeft(update));

    const QStringList notices = ini.takeNotices();
    const QStringList damaged = {"[General] LastRemote=",
                                 "[General] RaidoURL=",
                                 "[General] RaidoPORT=",
                                 "[General] KeepConnected=",
                                 "[General] AutoRefresh=",
                                 "[General] UnLock=",
                                 "[General] ConsolePort=",
                                 "[Timeouts] Connect=",
                                 "[Timeouts] ReplyWaitMax=",
                                 "[Timeouts] KeyTimeLimit=",
                                 "[Timeouts] PollWhenOn=",
                                 "[Timeouts] CheckAllOn=",
                                 "[Timeouts] CheckAllOff=",
                                 "[Timeouts] MacroStepInterval=",
                                 "[Timeouts] MacroStepTimeout=",
                                 "[ConfigForm] FC=",
                                 "[RemoteForm] FC=",
                                 "[InfoForm] FC=",
                                 "[UpdateForm] TL="};
    EXPECT_EQ(notices.size(), damaged.size()) << notices.join('\n').toStdString();
    for (const QString &key : damaged) {
        EXPECT_EQ(notices.filter(key).size(), 1) << key.toStdString();
    }

    // Read again (the Reload action): nothing more to say.
    ReadGeneralSettings(ini, general);
    ini.ReadTimeouts(t);
    EXPECT_TRUE(ini.takeNotices().isEmpty());
    ASSERT_TRUE(ini.Save().ok);
    const QByteArray saved = readFile(file());
    for (const char *line : {"RaidoPORT=8080\r\n", "KeepConnected=0\r\n", "PollWhenOn=10\r\n", "Connect=0.5\r\n",
                             "PollWhenOff=2.5\r\n", "[MacroForm]\r\nFC=30,40,500,400,\r\n"}) {
        EXPECT_TRUE(saved.contains(line)) << line;
    }
    EXPECT_FALSE(saved.contains("[ConfigForm]"));
    EXPECT_FALSE(saved.contains("94,146"));
}

// A file that is not (only) settings is copied aside before anything is written over it; one far
// larger than any settings file is moved aside unread. Neither costs the user a byte.
TEST_F(SettingsSaveTest, UnreadableAndHugeFilesAreKeptAside) {
    const QByteArray garbage =
        "RaidoURL=10.1.1.1\r\nno header above\r\n\x01\x02\x03 binary\r\n[General]\r\nRaidoPORT=81\r\n";
    ASSERT_TRUE(putFile(file(), garbage));
    EXPECT_EQ(ini.OpenSettingsFile(), INIFILES::FileState::DamagedKeptAside);
    EXPECT_EQ(readFile(file() + ".bad"), garbage);
    QStringList notices = ini.takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains("CVRemote.ini.bad")) << notices[0].toStdString();
    EXPECT_EQ(ini.ReadSetting("General", "RaidoPORT", ""), "81");
    ini.WriteSetting("General", "KeepConnected", "1");
    ASSERT_TRUE(ini.Save().ok);
    EXPECT_EQ(readFile(file() + ".bad"), garbage);
    // Clean now: the next start has nothing to keep aside, and an older copy is never replaced.
    INIFILES next;
    next.SetProgramPaths(dir.filePath("CVRemote"));
    EXPECT_EQ(next.OpenSettingsFile(), INIFILES::FileState::Fine);

    QByteArray huge = "[General]\r\nRaidoURL=10.2.2.2\r\n";
    huge += QByteArray(INIFILES::MaxFileBytes, 'x');
    ASSERT_TRUE(putFile(file(), huge));
    INIFILES third;
    third.SetProgramPaths(dir.filePath("CVRemote"));
    EXPECT_EQ(third.ReadSetting("General", "RaidoURL", "default"), "default"); // refused unread
    EXPECT_EQ(third.OpenSettingsFile(), INIFILES::FileState::TooLargeKeptAside);
    EXPECT_FALSE(QFileInfo::exists(file()));
    EXPECT_EQ(readFile(file() + ".bad2"), huge);
    notices = third.takeNotices();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains("CVRemote.ini.bad2")) << notices[0].toStdString();
}

// A file just under the size limit, read and saved again, is still read whole at the next start;
// a save that would take it past the limit is refused and the old file stays.
TEST_F(SettingsSaveTest, ASaveNeverMakesAFileTooLargeToReadBack) {
    QByteArray big = "[General]\r\nRaidoURL=10.3.3.3\r\n";
    for (int i = 0; big.size() < INIFILES::MaxFileBytes - 64; ++i) {
        big += "[layout" + QByteArray::number(i) + "]\r\nFC=120,93.33334,400,250,\r\n";
    }
    ASSERT_TRUE(putFile(file(), big));
    ini.WriteSetting("General", "RaidoPORT", "81");
    ASSERT_TRUE(ini.Save().ok);
    EXPECT_LE(QFileInfo(file()).size(), INIFILES::MaxFileBytes);
    INIFILES next;
    next.SetProgramPaths(dir.filePath("CVRemote"));
    EXPECT_EQ(next.OpenSettingsFile(), INIFILES::FileState::Fine);
    EXPECT_EQ(next.ReadSetting("General", "RaidoURL", ""), "10.3.3.3");
    EXPECT_EQ(next.ReadSetting("layout0", "FC", ""), "120,93.33334,400,250,");

    const QByteArray before = readFile(file());
    for (int i = 0; i < 4; ++i) {
        ini.WriteSetting("General", QString("Long%1").arg(i), QString(300, u'x'));
    }
    const INIFILES::SaveResult refused = ini.Save();
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.contains("[General] Long3")) << refused.error.toStdString();
    EXPECT_EQ(readFile(file()), before);
}

// kill -9 at any moment of a debounced save leaves the old file or the new one, never a mix: the
// child saves version after version of a file of a thousand keys and is killed at once after
// the n-th save has begun.
TEST_F(SettingsSaveTest, KilledDuringASaveLeavesTheOldOrTheNewFile) {
    constexpr int Keys = 1000;
    for (int round = 0; round < 12; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            FakeClock clock;
            SettingsSaver saver(ini, std::make_unique<FakeTimer>(clock));
            for (int version = 1;; ++version) {
                for (int k = 0; k < Keys; ++k) {
                    ini.WriteSetting(QString("S%1").arg(k % 10), QString("K%1").arg(k), QString::number(version));
                }
                const char tick = 'v';
                if (write(ready[1], &tick, 1) != 1) {
                    _exit(1);
                }
                clock.advance(SettingsSaver::DelayMs); // the save runs
            }
        }
        close(ready[1]);
        char tick = 0;
        for (int n = 0; n <= round % 4 + 1; ++n) {
            ASSERT_EQ(read(ready[0], &tick, 1), 1);
        }
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(ready[0]);

        const QByteArray saved = readFile(file());
        if (saved.isEmpty()) {
            ASSERT_FALSE(QFileInfo::exists(file())); // killed before the first save: nothing, not an empty file
            continue;
        }
        INIFILES check;
        check.SetProgramPaths(dir.filePath("CVRemote"));
        const QString first = check.ReadSetting("S0", "K0", "");
        ASSERT_FALSE(first.isEmpty());
        for (int k = 0; k < Keys; ++k) {
            ASSERT_EQ(check.ReadSetting(QString("S%1").arg(k % 10), QString("K%1").arg(k), ""), first)
                << "round " << round << " key " << k;
        }
    }
}

// A real full disk: a small tmpfs in a mount namespace of the test's own, filled to the last
// byte. The save fails at the flush, which a buffered write alone would have missed, and the
// file the user had stays whole.
TEST(SettingsOnAFullDisk, TheOldFileSurvivesAndTheUserIsTold) {
    const QString mounted = qEnvironmentVariable("CV_FULL_DISK_DIR");
    if (mounted.isEmpty()) {
        QTemporaryDir mountPoint;
        ASSERT_TRUE(mountPoint.isValid());
        const QString self = QFileInfo("/proc/self/exe").symLinkTarget();
        QProcess run;
        run.start("unshare",
                  {"-rm", "sh", "-c",
                   "mount -t tmpfs -o size=64k cvtest \"$1\" || exit 77; CV_FULL_DISK_DIR=\"$1\" exec \"$2\" "
                   "--gtest_filter=SettingsOnAFullDisk.*",
                   "sh", mountPoint.path(), self});
        if (!run.waitForStarted(10000)) {
            GTEST_SKIP() << "unshare cannot be run here";
        }
        ASSERT_TRUE(run.waitForFinished(60000));
        const QByteArray output = run.readAllStandardOutput() + run.readAllStandardError();
        if (run.exitCode() == 77 || (run.exitCode() != 0 && output.contains("unshare failed"))) {
            GTEST_SKIP() << "no tmpfs in a private mount namespace here: " << output.toStdString();
        }
        EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
        return;
    }

    INIFILES ini;
    ini.SetProgramPaths(mounted + "/CVRemote");
    ASSERT_TRUE(putFile(ini.SettingsFile(), UsersFile));
    // Fill the file system to the last byte.
    const int filler = ::open(QFile::encodeName(mounted + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(filler, 0);
    const QByteArray block(4096, 'f');
    while (::write(filler, block.constData(), size_t(block.size())) > 0) {
    }
    char one = 'f';
    while (::write(filler, &one, 1) > 0) {
    }
    ::close(filler);

    ini.WriteSetting("General", "RaidoURL", "192.168.7.7");
    ini.WriteSetting("ConfigForm", "FC", "1,2,300,400,");
    const INIFILES::SaveResult full = ini.Save();
    EXPECT_FALSE(full.ok);
    EXPECT_TRUE(full.error.contains("No space left on device")) << full.error.toStdString();
    EXPECT_EQ(readFile(ini.SettingsFile()), UsersFile);
    EXPECT_EQ(filesIn(mounted), (QStringList{"CVRemote.ini", "filler"}));
    std::printf("before and after:\n%s\ntold: %s\n", UsersFile.constData(), qPrintable(full.error));

    ASSERT_TRUE(QFile::remove(mounted + "/filler"));
    ASSERT_TRUE(ini.Save().ok);
    const QByteArray saved = readFile(ini.SettingsFile());
    EXPECT_TRUE(saved.contains("RaidoURL=192.168.7.7\r\n"));
    EXPECT_TRUE(saved.contains("[Plugins]\r\nLyrics=on\r\n"));
}
