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
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ini.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
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
    QString name = QStringLiteral("ConfigForm");
    Placement placement{10, 20, 300, 200};
    bool normal = true;
    bool hidden = false;
    QString placementName() const override { return name; }
    Placement currentPlacement() const override { return placement; }
    bool isNormalState() const override { return normal; }
    void applyPlacement(const Placement &p) override { placement = p; }
    void hideWindow() override { hidden = true; }
};

} // namespace

TEST_F(SettingsTest, ProgramPathsFollowTheExecutable) {
    EXPECT_EQ(ini.ProgramFolder(), QDir::cleanPath(dir.path()));
    EXPECT_EQ(QFileInfo(ini.SettingsFile()).fileName(), QStringLiteral("CVRemote.ini"));
    INIFILES other;
    other.SetProgramPaths(QStringLiteral("/opt/cv/My.Remote.bin"));
    EXPECT_EQ(other.SettingsFile(), QStringLiteral("/opt/cv/My.Remote.ini"));
}

TEST_F(SettingsTest, MissingFileGivesDefaultsAndWritesMakeAPlainIniFile) {
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("RaidoURL"), QStringLiteral("192.168.1.119")),
              QStringLiteral("192.168.1.119"));
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("KeepConnected"), 0), QStringLiteral("0"));
    Timeouts t;
    t.PollWhenOn = 99;
    ini.ReadTimeouts(t);
    EXPECT_EQ(t.Connect, 0.5f);
    EXPECT_EQ(t.PollWhenOn, 10);
    EXPECT_EQ(t.PollWhenOff, 60);
    EXPECT_EQ(t.CheckAllOn, 10);
    EXPECT_EQ(t.CheckAllOff, 60);
    EXPECT_EQ(t.MacroStepInterval, 5);
    EXPECT_EQ(t.MacroStepTimeout, 1000);
    EXPECT_FALSE(QFileInfo::exists(ini.SettingsFile())); // reading never creates the file

    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("LastRemote"), QStringLiteral("  remote1  "));
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("RaidoURL"), QStringLiteral("10.0.0.5"));
    ini.WriteSetting(QStringLiteral("ConfigForm"), QStringLiteral("FC"), QStringLiteral("1,2,3,4,"));
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("Evil"), QStringLiteral("a\r\n[Timeouts]\r\nConnect=9"));

    const QByteArray raw = readRaw();
    EXPECT_FALSE(raw.contains("\n\n")) << raw.constData();
    EXPECT_EQ(raw.count('\n'), raw.count("\r\n")); // CR LF everywhere
    const QStringList lines = QString::fromLatin1(raw).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QRegularExpression plain(QStringLiteral("^(\\[[^\\]]+\\]|[^=\\s][^=]*=\\S.*|[^=\\s][^=]*=)$"));
    for (const QString &line : lines) {
        EXPECT_TRUE(plain.match(line).hasMatch()) << line.toStdString();
    }
    EXPECT_TRUE(lines.contains(QStringLiteral("LastRemote=remote1")));
    EXPECT_TRUE(lines.contains(QStringLiteral("[ConfigForm]")));
    // A value cannot smuggle in a section or a key of its own.
    EXPECT_EQ(lines.count(QStringLiteral("[Timeouts]")), 0);
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("Evil"), QString()),
              QStringLiteral("a  [Timeouts]  Connect=9"));
}

TEST_F(SettingsTest, LookupIgnoresCaseTrimsAndCutsLongValues) {
    writeRaw("[general]\r\nraidourl=   10.1.2.3   \r\nLong=" + QByteArray(500, 'x') + "\r\n");
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("RaidoURL"), QString()),
              QStringLiteral("10.1.2.3"));
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("GENERAL"), QStringLiteral("long"), QString()).size(), 399);
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("Missing"), QString(450, u'd')).size(), 399);

    // Writing through a differently cased name changes the existing entry, not a second one.
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("RaidoURL"), QStringLiteral("host.lan"));
    const QByteArray raw = readRaw();
    EXPECT_EQ(raw.count("10.1.2.3"), 0);
    EXPECT_EQ(raw.toLower().count("raidourl="), 1);
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("general"), QStringLiteral("raidoURL"), QString()),
              QStringLiteral("host.lan"));
}

TEST_F(SettingsTest, TimeoutsConvertLikeNumbersAndKeepDefaultsWhenTheyDoNotFit) {
    writeRaw("[Timeouts]\r\nConnect= 1.25s\r\nPollWhenOn=40000\r\nPollWhenOff=2.5\r\nCheckAllOn=3.5\r\n"
             "CheckAllOff=x\r\nMacroStepInterval=-7\r\nMacroStepTimeout=\r\n");
    Timeouts t;
    ini.ReadTimeouts(t);
    EXPECT_EQ(t.Connect, 1.25f);
    EXPECT_EQ(t.PollWhenOn, 10); // 40000 does not fit: default stays
    EXPECT_EQ(t.PollWhenOff, 2); // halves go to the even neighbour
    EXPECT_EQ(t.CheckAllOn, 4);
    EXPECT_EQ(t.CheckAllOff, 0); // a letter is no number: 0
    EXPECT_EQ(t.MacroStepInterval, -7);
    EXPECT_EQ(t.MacroStepTimeout, 0);
}

TEST_F(SettingsTest, WindowPlacementRoundTripsAndSurvivesMaximisedCloses) {
    FakeWindow w;
    w.placement = {120, 93.333336, 400, 250};
    ini.SaveWindowPlacement(w, false);
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("ConfigForm"), QStringLiteral("FC"), QString()),
              QStringLiteral("120,93.33334,400,250,"));
    EXPECT_FALSE(w.hidden);

    // Closed while maximised: nothing written, the last normal placement survives.
    w.normal = false;
    w.placement = {0, 0, 1920, 1080};
    ini.SaveWindowPlacement(w, true);
    EXPECT_TRUE(w.hidden);
    FakeWindow fresh;
    ini.RestoreWindowPlacement(fresh);
    EXPECT_DOUBLE_EQ(fresh.placement.top, 120);
    EXPECT_NEAR(fresh.placement.left, 93.33334, 1e-9);
    EXPECT_DOUBLE_EQ(fresh.placement.width, 400);
    EXPECT_DOUBLE_EQ(fresh.placement.height, 250);

    // Fewer than four fields repeat the last one.
    ini.WriteSetting(QStringLiteral("ConfigForm"), QStringLiteral("FC"), QStringLiteral("100,200"));
    ini.RestoreWindowPlacement(fresh);
    EXPECT_DOUBLE_EQ(fresh.placement.top, 100);
    EXPECT_DOUBLE_EQ(fresh.placement.left, 200);
    EXPECT_DOUBLE_EQ(fresh.placement.width, 200);
    EXPECT_DOUBLE_EQ(fresh.placement.height, 200);

    // No entry: the window keeps where it is.
    FakeWindow other;
    other.name = QStringLiteral("MacroForm");
    ini.RestoreWindowPlacement(other);
    EXPECT_DOUBLE_EQ(other.placement.width, 300);

    // Top/left only, unscaled, size kept.
    FakeWindow update;
    update.name = QStringLiteral("UpdateForm");
    update.placement = {1500, 3000, 50, 60};
    ini.SaveWindowTopLeft(update, false);
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("UpdateForm"), QStringLiteral("TL"), QString()),
              QStringLiteral("1500,3000,"));
    update.placement = {1, 2, 70, 80};
    ini.RestoreWindowTopLeft(update);
    EXPECT_DOUBLE_EQ(update.placement.top, 1500);
    EXPECT_DOUBLE_EQ(update.placement.left, 3000);
    EXPECT_DOUBLE_EQ(update.placement.width, 70);

    // One placement per remote layout; an empty layout name stores nothing.
    FakeWindow remote;
    remote.name = QStringLiteral("RemoteForm");
    ini.SaveRemotePlacement(QStringLiteral("remote2"), remote);
    ini.SaveRemotePlacement(QString(), remote);
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("remote2"), QStringLiteral("FC"), QString()),
              QStringLiteral("10,20,300,200,"));
    remote.placement = {};
    ini.RestoreRemotePlacement(QStringLiteral("remote2"), remote);
    EXPECT_DOUBLE_EQ(remote.placement.width, 300);
}

TEST_F(SettingsTest, DamagedFilesReadWhatTheyCanAndWritesKeepTheRest) {
    static const char damaged[] = "[General\r\nno equals here\r\n\0\0\x01\xff=\xfe\r\n[General]\r\nRaidoPORT=8081\r\n"
                                  "[General]\r\nRaidoURL=a\r\nRaidoURL=b\r\n[Timeouts]\r\nPollWhenOn=25\r\n";
    QByteArray junk(damaged, sizeof(damaged) - 1);
    junk.insert(20, QByteArray("\0binary\0", 8));
    writeRaw(junk);
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("RaidoPORT"), QString()),
              QStringLiteral("8081"));
    const QString url = ini.ReadSetting(QStringLiteral("General"), QStringLiteral("RaidoURL"), QString());
    EXPECT_TRUE(url == QStringLiteral("a") || url == QStringLiteral("b"));
    Timeouts t;
    ini.ReadTimeouts(t);
    EXPECT_EQ(t.PollWhenOn, 25);

    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("KeepConnected"), QStringLiteral("1"));
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("RaidoPORT"), QString()),
              QStringLiteral("8081"));
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("Timeouts"), QStringLiteral("PollWhenOn"), QString()),
              QStringLiteral("25"));

    // Ten megabytes of random bytes: read, written, read again, all in reasonable time.
    QRandomGenerator random(7);
    QByteArray noise(10 * 1024 * 1024, Qt::Uninitialized);
    for (char &c : noise) {
        c = char(random.bounded(256));
    }
    writeRaw(noise + "\r\n[General]\r\nRaidoPORT=9\r\n");
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("RaidoPORT"), QString()), QStringLiteral("9"));
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("AutoRefresh"), QStringLiteral("0"));
    EXPECT_EQ(ini.ReadSetting(QStringLiteral("General"), QStringLiteral("AutoRefresh"), QString()),
              QStringLiteral("0"));
}

TEST_F(SettingsTest, WritesReplaceTheFileInOneStepAndFailuresAreSilent) {
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("RaidoPORT"), QStringLiteral("8080"));
    const QByteArray before = readRaw();
    // Another program could hold the file open; the new content arrives whole, and no
    // temporary file is left behind.
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("RaidoURL"), QStringLiteral("radio"));
    EXPECT_TRUE(readRaw().startsWith(before.left(before.indexOf("\r\n"))));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("CVRemote.ini")});

    // A folder that cannot be written: the write is lost, the old file stays, nothing throws.
    INIFILES nowhere;
    nowhere.SetProgramPaths(QStringLiteral("/proc/no-such-folder/CVRemote"));
    nowhere.WriteSetting(QStringLiteral("General"), QStringLiteral("RaidoURL"), QStringLiteral("x"));
    EXPECT_EQ(nowhere.ReadSetting(QStringLiteral("General"), QStringLiteral("RaidoURL"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_FALSE(nowhere.WriteSettingTo(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("V"),
                                        QStringLiteral("/proc/version")));
}

TEST(TextHelpers, BeforeAfterAndFirstField) {
    EXPECT_EQ(TextBefore(QStringLiteral("="), QStringLiteral(" key = value ")), QStringLiteral("key"));
    EXPECT_EQ(TextAfter(QStringLiteral("="), QStringLiteral(" key = value ")), QStringLiteral("value"));
    EXPECT_EQ(TextAfter(QStringLiteral("="), QStringLiteral(" key = value "), true), QStringLiteral(" value "));
    EXPECT_EQ(TextBefore(QStringLiteral(","), QStringLiteral(" alone ")), QStringLiteral("alone"));
    EXPECT_EQ(TextAfter(QStringLiteral(","), QStringLiteral(" alone ")), QStringLiteral("alone"));
    EXPECT_EQ(TextAfter(QStringLiteral("=="), QStringLiteral("a==b==c")), QStringLiteral("b==c"));
    QString fields = QStringLiteral("1, 2,3");
    EXPECT_EQ(TakeFirstField(fields), QStringLiteral("1"));
    EXPECT_EQ(fields, QStringLiteral("2,3"));
    EXPECT_EQ(TakeFirstField(fields), QStringLiteral("2"));
    EXPECT_EQ(TakeFirstField(fields), QStringLiteral("3"));
    EXPECT_EQ(fields, QStringLiteral("3")); // no comma left: the rest stays whole
}
