#include "main_window/MainWindowRules.h"

#include "macros/MacroTable.h"
#include "main_window/CommandList.h"
#include "platform/FileBits.h"
#include "radio_link/RadioState.h"
#include "radio_link/Telnet.h"
#include "remote/RemoteLayout.h"
#include "session/RadioSession.h"
#include "settings/INIFILES.h"
#include "skin/SkinTables.h"
#include "support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(MainWindowRules, ReloadReadsEverythingInOrderAndFallsBackToTheLastLayout) {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const std::pair<const char *, const char *> files[] = {
        {"CVRemote.ini", "[General]\r\nLastRemote=mine\r\n[Timeouts]\r\nConnect=2\r\n"},
        {"Commandlist.txt", "VOLp\r\n./POWER\r\n"},
        {"mine.txt", "10,20,30,40,POWER\r\n"},
        {"mine.png", ""}};
    for (const auto &[name, text] : files) {
        ASSERT_TRUE(FileBits::WriteWholeFile(folder.filePath(name), text));
    }
    INIFILES ini;
    ini.SetProgramPaths(folder.filePath("CVRemote"));
    CommandList commands;
    RemoteLayout layout;
    FakePlatform platform;
    RadioSession session(platform, ini);
    const Timeouts &timeouts = session.timeouts();
    const ReloadData data{ini, commands, layout, session};
    // The skin comes after the command list and before the timeouts.
    std::pair<int, float> atSkin{-1, 0.0f};
    QObject::connect(&session, &RadioSession::skinLoaded, [&] { atSkin = {commands.count(), timeouts.Connect}; });
    const QString picture = ReloadDataFiles(data, nullptr);
    EXPECT_EQ(atSkin, (std::pair{2, 0.5f}));
    EXPECT_EQ(timeouts.Connect, 2.0f);
    EXPECT_EQ(layout.CurrentRemote, "mine");
    EXPECT_EQ(layout.RemoteButtons.front().Function, "POWER");
    EXPECT_EQ(QFileInfo(picture).fileName(), "mine.png");
    // A layout made current is kept; none at all falls back to "remote1" without settings.
    layout.CurrentRemote = "other";
    ReloadDataFiles(data, nullptr);
    EXPECT_EQ(layout.CurrentRemote, "other");
    QFile::remove(folder.filePath("CVRemote.ini"));
    INIFILES fresh;
    fresh.SetProgramPaths(folder.filePath("CVRemote"));
    layout.CurrentRemote.clear();
    FallBackToLastRemote(layout, fresh);
    EXPECT_EQ(layout.CurrentRemote, "remote1");
}

TEST(MainWindowRules, StartUpSelectsPowerWhenTheListHasIt) {
    CommandList commands;
    commands.MakeList("UP\r\nPOWER\r\nPOWER\r\n");
    SelectPowerCommand(commands);
    EXPECT_EQ(commands.selectedIndex(), 1);
    CommandList none;
    none.MakeList("UP\r\n");
    SelectPowerCommand(none);
    EXPECT_EQ(none.selectedIndex(), -1);
}
