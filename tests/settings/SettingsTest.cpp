#include "settings/GeneralSettings.h"
#include "settings/INIFILES.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ini.SetProgramPaths(dir.filePath("CVRemote")); }

    QString read(const QString &section, const QString &key, const QString &def = {}) const {
        return ini.ReadSetting(section, key, def);
    }
    void write(const QString &section, const QString &key, const QString &value) {
        ini.WriteSetting(section, key, value);
    }
    void writeRaw(const QByteArray &bytes) {
        QFile f(ini.SettingsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readRaw() const {
        QFile f(ini.SettingsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    INIFILES ini;
};

// Stands in for a window: remembers where it was put.
struct FakeWindow : PlacedWindow {
    QString name = "ConfigForm";
    Placement placement{10, 20, 300, 200};
    bool normal = true;
    bool hidden = false;
    QString placementName() const override { return name; }
    Placement currentPlacement() const override { return placement; }
    bool isNormalState() const override { return normal; }
    void applyPlacement(const Placement &p) override { placement = p; }
    void hideWindow() override { hidden = true; }
    QList<QRect> screenAreas() const override { return areas; }
    QSize frameExtra() const override { return extra; }
    QList<QRect> areas;
    QSize extra{8, 38};
    QString where() const {
        return QString("%1,%2,%3,%4").arg(placement.top).arg(placement.left).arg(placement.width).arg(placement.height);
    }
};

} // namespace

TEST_F(SettingsTest, MissingFileGivesDefaultsAndWritesMakeAPlainIniFileInOneStep) {
    EXPECT_EQ(ini.ReadSetting("General", "KeepConnected", 0), "0");
    Timeouts t;
    t.PollWhenOn = 99;
    ini.ReadTimeouts(t);
    EXPECT_EQ(t.PollWhenOn, 10);
    EXPECT_FALSE(QFileInfo::exists(ini.SettingsFile())); // reading never creates the file

    write("General", "LastRemote", "  remote1  ");
    write("ConfigForm", "FC", "1,2,3,4,");
    write("General", "Evil", "a\r\n[Timeouts]\r\nConnect=9");
    EXPECT_FALSE(QFileInfo::exists(ini.SettingsFile())); // changes wait in memory for the save
    ASSERT_TRUE(ini.Save().ok);
    // Replaced in one step: no temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"CVRemote.ini"});
    const QByteArray raw = readRaw();
    EXPECT_EQ(raw.count('\n'), raw.count("\r\n")); // CR LF everywhere
    const QStringList lines = QString::fromLatin1(raw).split("\r\n", Qt::SkipEmptyParts);
    const QRegularExpression plain("^(\\[[^\\]]+\\]|[^=\\s][^=]*=(\\S.*)?)$");
    for (const QString &line : lines) {
        EXPECT_TRUE(plain.match(line).hasMatch()) << line.toStdString();
    }
    EXPECT_TRUE(lines.contains("LastRemote=remote1"));
    EXPECT_TRUE(lines.contains("[ConfigForm]"));
    // A value cannot smuggle in a section or a key of its own.
    EXPECT_FALSE(lines.contains("[Timeouts]"));
    EXPECT_EQ(read("General", "Evil"), "a  [Timeouts]  Connect=9");

    // A folder that cannot be written: the save says so and the change stays in memory.
    INIFILES nowhere;
    nowhere.SetProgramPaths("/proc/no-such-folder/CVRemote");
    nowhere.WriteSetting("General", "RaidoURL", "x");
    const INIFILES::SaveResult failed = nowhere.Save();
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.error.contains("[General] RaidoURL")) << failed.error.toStdString();
    EXPECT_EQ(nowhere.ReadSetting("General", "RaidoURL", "d"), "x");
    EXPECT_TRUE(nowhere.hasUnsavedChanges());
    EXPECT_FALSE(nowhere.WriteSettingTo("S", "K", "V", "/proc/version"));
}

TEST_F(SettingsTest, LookupIgnoresCaseTrimsAndCutsLongValuesAndTimeoutsConvertLikeNumbers) {
    writeRaw("[general]\r\nraidourl=   10.1.2.3   \r\nLong=" + QByteArray(500, 'x') + "\r\n");
    EXPECT_EQ(read("General", "RaidoURL"), "10.1.2.3");
    EXPECT_EQ(read("GENERAL", "long").size(), 399);
    EXPECT_EQ(read("General", "Missing", QString(450, u'd')).size(), 399);
    // Writing through a differently cased name changes the existing entry, not a second one.
    write("General", "RaidoURL", "host.lan");
    ASSERT_TRUE(ini.Save().ok);
    EXPECT_EQ(readRaw().toLower().count("raidourl="), 1);
    EXPECT_EQ(read("general", "raidoURL"), "host.lan");

    // Timeouts convert like numbers; a value outside its range, or no number at all, gives the
    // default.
    writeRaw("[Timeouts]\r\nConnect= 1.25s\r\nPollWhenOn=40000\r\nPollWhenOff=2.5\r\nCheckAllOn=3.5\r\n"
             "CheckAllOff=x\r\nMacroStepInterval=-7\r\nMacroStepTimeout=\r\nReplyWaitMax=30\r\n");
    Timeouts t;
    ini.ReadTimeouts(t);
    EXPECT_EQ(t.Connect, 1.25f);
    EXPECT_EQ(t.PollWhenOn, 10); // 40000 does not fit: default stays
    EXPECT_EQ(t.PollWhenOff, 2); // halves go to the even neighbour
    EXPECT_EQ(t.CheckAllOn, 4);
    EXPECT_EQ(t.CheckAllOff, 60);
    EXPECT_EQ(t.MacroStepInterval, 5);
    EXPECT_EQ(t.MacroStepTimeout, 1000); // empty: as missing
    EXPECT_EQ(t.ReplyWaitMax, 30.0f);
}

TEST_F(SettingsTest, WindowPlacementRoundTripsAndSurvivesMaximisedCloses) {
    FakeWindow w;
    w.placement = {120, 93.333336, 400, 250};
    ini.SaveWindowPlacement(w, false);
    EXPECT_EQ(read("ConfigForm", "FC"), "120,93.33334,400,250,");
    EXPECT_FALSE(w.hidden);
    // Closed while maximised: nothing written, the last normal placement survives.
    w.normal = false;
    w.placement = {0, 0, 1920, 1080};
    ini.SaveWindowPlacement(w, true);
    EXPECT_TRUE(w.hidden);
    FakeWindow fresh;
    ini.RestoreWindowPlacement(fresh);
    EXPECT_EQ(fresh.where(), "120,93.3333,400,250");
    // Fewer than four fields repeat the last one.
    write("ConfigForm", "FC", "100,200");
    ini.RestoreWindowPlacement(fresh);
    EXPECT_EQ(fresh.where(), "100,200,200,200");
    // No entry: the window keeps where it is.
    FakeWindow other;
    other.name = "MacroForm";
    ini.RestoreWindowPlacement(other);
    EXPECT_EQ(other.where(), "10,20,300,200");

    // Top/left only, unscaled, size kept.
    FakeWindow update;
    update.name = "UpdateForm";
    update.placement = {1500, 3000, 50, 60};
    ini.SaveWindowTopLeft(update, false);
    EXPECT_EQ(read("UpdateForm", "TL"), "1500,3000,");
    update.placement = {1, 2, 70, 80};
    ini.RestoreWindowTopLeft(update);
    EXPECT_EQ(update.where(), "1500,3000,70,80");

    // One placement per remote layout; an empty layout name stores nothing.
    FakeWindow remote;
    ini.SaveRemotePlacement("remote2", remote);
    ini.SaveRemotePlacement(QString(), remote);
    EXPECT_EQ(read("remote2", "FC"), "10,20,300,200,");
    remote.placement = {};
    ini.RestoreRemotePlacement("remote2", remote);
    EXPECT_EQ(remote.where(), "10,20,300,200");
}

// Damaged files are read as far as they go, and a write leaves only sections, comments and
// key=value lines of text, keeping the rest.
TEST_F(SettingsTest, DamagedFilesReadWhatTheyCanAndWritesKeepTheRest) {
    static const char damaged[] = "[General\r\nno equals here\r\n\0\0\x01\xff=\xfe\r\n[General]\r\nRaidoPORT=8081\r\n"
                                  "[General]\r\nRaidoURL=a\r\nRaidoURL=b\r\n[Timeouts]\r\nPollWhenOn=25\r\n";
    QByteArray junk(damaged, sizeof(damaged) - 1);
    junk.insert(20, QByteArray("\0binary\0", 8));
    writeRaw(junk);
    EXPECT_EQ(read("General", "RaidoPORT"), "8081");
    EXPECT_TRUE(QStringList({"a", "b"}).contains(read("General", "RaidoURL")));
    write("General", "KeepConnected", "1");
    EXPECT_EQ(read("General", "RaidoPORT"), "8081");
    EXPECT_EQ(read("Timeouts", "PollWhenOn"), "25");

    // Half a megabyte of random bytes: read, written, read again.
    QRandomGenerator random(7);
    QByteArray noise(512 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    writeRaw(noise + "\r\n[General]\r\nRaidoPORT=9\r\n");
    EXPECT_EQ(read("General", "RaidoPORT"), "9");
    write("General", "AutoRefresh", "0");
    ASSERT_TRUE(ini.Save().ok);
    EXPECT_EQ(read("General", "AutoRefresh"), "0");
    EXPECT_EQ(read("General", "RaidoPORT"), "9");

    // A picture's bytes saved over the settings file, then the program's sections appended.
    noise.truncate(3409);
    writeRaw(noise + "\r\nstray=before any section\r\n; kept\r\n[General]\r\nRaidoPORT=8081\r\nbad=\x01\x02\r\n"
                     "[Timeouts]\r\nConnect=2\r\n");
    EXPECT_EQ(read("General", "bad", "none"), "none"); // not text: passed over
    write("General", "RaidoURL", "radio\x01\x7f");
    ASSERT_TRUE(ini.Save().ok);
    const QByteArray written = readRaw();
    EXPECT_TRUE(written.endsWith("\r\n") && written.count('\n') == written.count("\r\n"));
    QList<QByteArray> lines = written.split('\n');
    lines.removeIf([](const QByteArray &line) { return line.trimmed().isEmpty(); }); // blank lines do not matter
    EXPECT_EQ(lines, (QList<QByteArray>{"; kept\r", "[General]\r", "RaidoPORT=8081\r", "RaidoURL=radio\r",
                                        "[Timeouts]\r", "Connect=2\r"}));
    EXPECT_EQ(read("", "stray", "none"), "none");
}

// The main window's open groups outlive a restart, beside its place and the keys the program
// does not know; a value that is no flag gives the default and is mended at the next save.
TEST_F(SettingsTest, MainWindowFoldsSurviveARestartAndKeepTheRestOfTheSection) {
    writeRaw("[ConfigForm]\r\nFC=10,20,800,600\r\nSomeoneElses=kept\r\n[Other]\r\nX=1\r\n");
    ASSERT_EQ(ini.OpenSettingsFile(), INIFILES::FileState::Fine);
    MainWindowFolds folds;
    ReadMainWindowFolds(ini, folds);
    EXPECT_FALSE(folds.LayoutEditorOpen || folds.UpdatesOpen);
    folds.UpdatesOpen = true;
    WriteMainWindowFolds(ini, folds);
    ASSERT_TRUE(ini.Save().ok);

    const auto restart = [this] {
        INIFILES again;
        again.SetProgramPaths(dir.filePath("CVRemote"));
        again.OpenSettingsFile();
        MainWindowFolds read{true, false};
        ReadMainWindowFolds(again, read);
        EXPECT_TRUE(again.Save().ok);
        return std::pair{read, again.takeNotices()};
    };
    const auto [afterRestart, quiet] = restart();
    EXPECT_FALSE(afterRestart.LayoutEditorOpen);
    EXPECT_TRUE(afterRestart.UpdatesOpen);
    EXPECT_TRUE(quiet.isEmpty());
    const QByteArray raw = readRaw();
    for (const char *line : {"FC=10,20,800,600\r\n", "SomeoneElses=kept\r\n", "[Other]\r\nX=1\r\n",
                             "LayoutEditorOpen=0\r\n", "UpdatesOpen=1\r\n"}) {
        EXPECT_TRUE(raw.contains(line)) << line;
    }

    writeRaw("[ConfigForm]\r\nLayoutEditorOpen=yes\r\nUpdatesOpen=1\r\n");
    const auto [mended, notices] = restart();
    EXPECT_TRUE(mended.LayoutEditorOpen); // the value held stays
    EXPECT_TRUE(mended.UpdatesOpen);
    EXPECT_TRUE(notices.join(' ').contains("LayoutEditorOpen")) << notices.join(' ').toStdString();
    EXPECT_TRUE(readRaw().contains("LayoutEditorOpen=1\r\n"));
}

TEST(TextHelpers, BeforeAfterAndFirstField) {
    EXPECT_EQ(TextBefore("=", " key = value "), "key");
    EXPECT_EQ(TextAfter("=", " key = value "), "value");
    EXPECT_EQ(TextAfter("=", " key = value ", true), " value ");
    EXPECT_EQ(TextAfter(",", " alone "), "alone");
    EXPECT_EQ(TextAfter("==", "a==b==c"), "b==c");
    QString fields = "1, 2,3";
    EXPECT_EQ(TakeFirstField(fields), "1");
    EXPECT_EQ(TakeFirstField(fields), "2");
    EXPECT_EQ(TakeFirstField(fields), "3");
    EXPECT_EQ(fields, "3"); // no comma left: the rest stays whole
}

// A place saved on a monitor that is gone (or far off every screen) is not taken: the window
// stays at the spot the program gave it, keeps the saved size as far as the screen allows and
// ends wholly on the screen. A place on a connected second screen is kept.
TEST_F(SettingsTest, ASavedPlaceOffEveryScreenLeavesTheWindowOnTheScreen) {
    const QRect primary(0, 0, 1920, 1040), second(1920, 0, 1920, 1080);
    const auto fullyOn = [](const FakeWindow &w, const QRect &area) {
        const Placement &p = w.placement;
        return area.contains(
            QRect(int(p.left), int(p.top), int(p.width) + w.extra.width(), int(p.height) + w.extra.height()));
    };

    FakeWindow w;
    w.areas = {primary};
    w.placement = {300, 400, 500, 300}; // the first spot
    write("ConfigForm", "FC", "100,5000,640,480,");
    EXPECT_FALSE(ini.RestoreWindowPlacement(w));
    EXPECT_EQ(w.where(), "300,400,640,480");
    EXPECT_FALSE(ini.hasSavedPlace("ConfigForm", w.areas));
    EXPECT_TRUE(ini.hasSavedPlace("ConfigForm"));

    // Saved on the second monitor: kept while it is there, dropped when it is gone.
    write("ConfigForm", "FC", "50,2100,1800,1040,");
    w.areas = {primary, second};
    EXPECT_TRUE(ini.RestoreWindowPlacement(w));
    EXPECT_EQ(w.where(), "50,2100,1800,1040");
    EXPECT_TRUE(ini.hasSavedPlace("ConfigForm", w.areas));
    w.areas = {primary};
    w.placement = {300, 400, 500, 300};
    EXPECT_FALSE(ini.RestoreWindowPlacement(w));
    EXPECT_TRUE(fullyOn(w, primary)) << w.where().toStdString();
    EXPECT_EQ(w.where(), "0,112,1800,1002"); // cut to the height, moved in from the right

    // Only the bottom 20 pixels of the title bar on screen, or a sliver at the left edge: too
    // little to take with the mouse.
    for (const char *saved : {"-18,100,400,300,", "100,-380,400,300,", "1030,100,400,300,"}) {
        write("ConfigForm", "FC", saved);
        w.placement = {300, 400, 500, 300};
        EXPECT_FALSE(ini.RestoreWindowPlacement(w)) << saved;
        EXPECT_TRUE(fullyOn(w, primary)) << saved;
    }
    // Partly off the screen but with the title bar in reach: the user's own choice stands.
    write("ConfigForm", "FC", "900,-200,400,300,");
    EXPECT_TRUE(ini.RestoreWindowPlacement(w));
    EXPECT_EQ(w.where(), "900,-200,400,300");

    // The remote's place per layout and a top-left-only place follow the same rule.
    write("remote2", "FC", "10,-3000,280,700,");
    w.placement = {20, 1500, 280, 700};
    EXPECT_FALSE(ini.RestoreRemotePlacement("remote2", w));
    EXPECT_EQ(w.where(), "20,1500,280,700");
    w.name = "UpdateForm";
    write("UpdateForm", "TL", "4000,10,");
    EXPECT_FALSE(ini.RestoreWindowTopLeft(w));
    EXPECT_EQ(w.where(), "20,1500,280,700");
    write("UpdateForm", "TL", "40,10,");
    EXPECT_TRUE(ini.RestoreWindowTopLeft(w));
    EXPECT_EQ(w.where(), "40,10,280,700");
}
