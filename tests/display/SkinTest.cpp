#include "display/Skin.h"

#include "platform/FileBits.h"
#include "settings/INIFILES.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString crlf(std::initializer_list<const char *> lines) {
    QStringList list;
    for (const char *line : lines) {
        list.append(QString::fromLatin1(line));
    }
    return list.join(QStringLiteral("\r\n"));
}

SkinTables parsed(std::initializer_list<const char *> lines) {
    SkinTables skin;
    ParseScreenFile(skin, crlf(lines));
    return skin;
}

QString fieldsOf(const ScreenItem &item) {
    return QStringList({item.Left, item.Top, item.Picture, item.Caption, item.Command}).join(u'|');
}

} // namespace

TEST(ScreenFile, HeadersStartDefinitionsAndFirstHeaderReusesRecordZero) {
    SkinTables skin = parsed({"[main]", "B=x,y,back,target,cmd,extra", "[second]", "[mai"});
    ASSERT_EQ(skin.MenuArray.size(), 3u);
    EXPECT_EQ(skin.MenuArray[0].Name, QStringLiteral("main"));
    EXPECT_EQ(skin.MenuArray[0].Background, QStringLiteral("back"));
    EXPECT_EQ(skin.MenuArray[0].BackgroundTarget, QStringLiteral("target"));
    EXPECT_EQ(skin.MenuArray[0].BackgroundCommand, QStringLiteral("cmd"));
    EXPECT_EQ(skin.MenuArray[1].Name, QStringLiteral("second"));
    // The last character goes whatever it is.
    EXPECT_EQ(skin.MenuArray[2].Name, QStringLiteral("ma"));

    // "[" alone and "[]" give unnamed definitions; only an unnamed record 0 is reused.
    skin = parsed({"[", "[]", "[x]"});
    ASSERT_EQ(skin.MenuArray.size(), 1u);
    EXPECT_EQ(skin.MenuArray[0].Name, QStringLiteral("x"));
    skin = parsed({"[a]", "[", "[]", "[x]"});
    ASSERT_EQ(skin.MenuArray.size(), 4u);
    EXPECT_EQ(skin.MenuArray[1].Name, QString());
    EXPECT_EQ(skin.MenuArray[2].Name, QString());
    EXPECT_EQ(skin.MenuArray[3].Name, QStringLiteral("x"));
}

TEST(ScreenFile, BareLineFeedsEndLinesLikeCrLf) {
    SkinTables skin;
    ParseScreenFile(skin, QStringLiteral("[main]\nB=x,y,back\r\n[second]\nO=1,2,pic\n"));
    ASSERT_EQ(skin.MenuArray.size(), 2u);
    EXPECT_EQ(skin.MenuArray[0].Name, QStringLiteral("main"));
    EXPECT_EQ(skin.MenuArray[0].Background, QStringLiteral("back"));
    EXPECT_EQ(skin.MenuArray[1].Overlays.at(0).Picture, QStringLiteral("pic"));
}

TEST(ScreenFile, LinesBeforeTheFirstHeaderKeepOnlyRedirectBackgroundAndLabelSet) {
    const SkinTables skin = parsed(
        {"R=elsewhere", "B=,,pic,,", "I=labels", "S=status", "O=1,2,over,cap,cmd", "L=3,4,%TIME,c,m", "[first]"});
    ASSERT_EQ(skin.MenuArray.size(), 1u);
    const ScreenDef &def = skin.MenuArray[0];
    EXPECT_EQ(QStringList({def.Name, def.Redirect, def.Background, def.LabelSet, def.StatusSet}),
              QStringList({"first", "elsewhere", "pic", "labels", ""}));
    // The dropped items leave nothing behind, not even a caption the renderer would draw.
    ASSERT_EQ(def.Overlays.size(), 1u);
    ASSERT_EQ(def.Labels.size(), 1u);
    EXPECT_EQ(fieldsOf(def.Overlays[0]), QStringLiteral("||||"));
    EXPECT_EQ(fieldsOf(def.Labels[0]), QStringLiteral("||||"));
}

TEST(ScreenFile, ItemFieldsAreTakenUntrimmedAndMissingOnesAreEmpty) {
    const SkinTables skin = parsed({"[s]", "O=L8,T2, pic ,Cap,CMD,ignored", "O=5", "L=10,20,%INFO", "junk line",
                                    "o=lowercase,keys,are,not,keys", "", "S=bar", "I=lab"});
    const ScreenDef &def = skin.MenuArray[0];
    ASSERT_EQ(def.Overlays.size(), 2u);
    EXPECT_EQ(fieldsOf(def.Overlays[0]), QStringLiteral("L8|T2| pic |Cap|CMD"));
    EXPECT_EQ(fieldsOf(def.Overlays[1]), QStringLiteral("5||||"));
    ASSERT_EQ(def.Labels.size(), 1u);
    EXPECT_EQ(fieldsOf(def.Labels[0]), QStringLiteral("10|20|%INFO||"));
    EXPECT_EQ(def.StatusSet, QStringLiteral("bar"));
    EXPECT_EQ(def.LabelSet, QStringLiteral("lab"));
}

TEST(ScreenFile, LookupsIgnoreCaseFollowOneRedirectAndSetSelection) {
    SkinTables skin =
        parsed({"[Main]", "[MAIN]", "[hop]", "R=main", "[twice]", "R=hop", "[dangling]", "R=nowhere", "[StatusBar_Top]",
                "[statusbar_alias]", "R=statusbar_top", "[Labels_list]", "[labels_gone]", "R=missing"});
    EXPECT_EQ(FindDefinition(skin, QStringLiteral("main")), 0);
    EXPECT_EQ(FindScreen(skin, QStringLiteral("HOP")), 0);
    // The target's own redirect is not followed.
    EXPECT_EQ(FindScreen(skin, QStringLiteral("twice")), 2);
    EXPECT_EQ(FindScreen(skin, QStringLiteral("dangling")), -1);
    EXPECT_EQ(FindScreen(skin, QStringLiteral("absent")), -1);

    EXPECT_EQ(FindStatus(skin, QStringLiteral("top")), 5);
    EXPECT_EQ(skin.CurrentStatusSet, 5);
    EXPECT_EQ(FindStatus(skin, QStringLiteral("alias")), 5);
    EXPECT_EQ(FindLabels(skin, QStringLiteral("LIST")), 7);
    EXPECT_EQ(skin.CurrentLabelSet, 7);
    // Failures leave the selection as it was.
    EXPECT_EQ(FindLabels(skin, QStringLiteral("gone")), -1);
    EXPECT_EQ(FindStatus(skin, QStringLiteral("list")), -1);
    EXPECT_EQ(skin.CurrentLabelSet, 7);
    EXPECT_EQ(skin.CurrentStatusSet, 5);
}

TEST(ScreenFile, ReadsTheProgramFolderFileWithItsFallbackAndReplacesOldTables) {
    QTemporaryDir dir;
    SkinTables skin;
    ParseScreenFile(skin, crlf({"[old]", "[older]"}));
    GetTheMenuArray(skin, dir.path());
    // A missing file leaves one unnamed record that no lookup can find.
    ASSERT_EQ(skin.MenuArray.size(), 1u);
    EXPECT_EQ(FindDefinition(skin, QString()), 0);
    EXPECT_EQ(FindDefinition(skin, QStringLiteral("old")), -1);

    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath(QStringLiteral("qx_menus.txt")), crlf({"[fallback]"})));
    GetTheMenuArray(skin, dir.path());
    EXPECT_EQ(skin.MenuArray[0].Name, QStringLiteral("fallback"));
    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath(QStringLiteral("menus.txt")), crlf({"[own]"})));
    GetTheMenuArray(skin, dir.path());
    EXPECT_EQ(skin.MenuArray[0].Name, QStringLiteral("own"));
}

TEST(IndexFile, FillsBothTablesAndTheMainMenuListKeepingInnerGaps) {
    QTemporaryDir dir;
    ASSERT_TRUE(FileBits::WriteWholeFile(
        dir.filePath(QStringLiteral("indexes.txt")),
        crlf({"[Menu]", "0=pic0,Power,x,y", "1=pic1,One", "3=,Three", "101=pic,Beyond", "-1=pic,Negative", "[State]",
              "3=C,Stations,stations,IM,extra", "100=C,Last", "65536=C,Wrap"})));
    INIFILES ini;
    SkinTables skin;
    GetTheIndexs(skin, ini, dir.path());
    const MenuTableEntry &power = skin.MenuTable[0];
    EXPECT_EQ(QStringList({power.Picture, power.Name, power.Extra}), QStringList({"pic0", "Power", "x"}));
    EXPECT_EQ(skin.MenuTable[1].Extra, QString());
    const StateTableEntry &stations = skin.StateTable[3];
    EXPECT_EQ(QStringList({stations.Code, stations.Name, stations.Picture, stations.PollLetters}),
              QStringList({"C", "Stations", "stations", "IM"}));
    EXPECT_EQ(skin.StateTable[100].Name, QStringLiteral("Last"));
    // 65536 must not wrap onto entry 0.
    EXPECT_EQ(skin.StateTable[0].Name, QString());
    EXPECT_EQ(skin.MainMenuList,
              QStringList({QStringLiteral("Power"), QStringLiteral("One"), QString(), QStringLiteral("Three")}));

    EXPECT_EQ(MenuEntryAt(skin, 101), nullptr);
    EXPECT_EQ(StateEntryAt(skin, -1), nullptr);
    ASSERT_NE(StateEntryAt(skin, 3), nullptr);
    EXPECT_EQ(StateEntryAt(skin, 3)->Picture, QStringLiteral("stations"));

    // Without any index file every entry is empty and so is the list.
    QTemporaryDir empty;
    GetTheIndexs(skin, ini, empty.path());
    EXPECT_EQ(skin.MenuTable[0].Name, QString());
    EXPECT_EQ(skin.StateTable[3].PollLetters, QString());
    EXPECT_TRUE(skin.MainMenuList.isEmpty());
}
