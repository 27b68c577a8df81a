#include "display/Skin.h"

#include "platform/FileBits.h"
#include "settings/INIFILES.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Lines separated by "|" become a skin file with CR LF line ends.
QString crlf(const char *lines) {
    return QString::fromLatin1(lines).replace(u'|', QStringLiteral("\r\n"));
}

SkinTables parsed(const char *lines) {
    SkinTables skin;
    ParseScreenFile(skin, crlf(lines));
    return skin;
}

// The definitions as text: "[name]" and what it holds that is not empty, items with their five
// fields (left, top, picture, caption, command).
QString described(const SkinTables &skin) {
    QStringList out;
    for (const ScreenDef &d : skin.MenuArray) {
        out << u'[' + d.Name + u']' << "R=" + d.Redirect
            << "B=" + QStringList({d.Background, d.BackgroundTarget, d.BackgroundCommand}).join(u',')
            << "S=" + d.StatusSet << "I=" + d.LabelSet;
        for (const auto &[key, items] : {std::pair{"O=", &d.Overlays}, std::pair{"L=", &d.Labels}}) {
            for (const ScreenItem &i : *items) {
                out << key + QStringList({i.Left, i.Top, i.Picture, i.Caption, i.Command}).join(u',');
            }
        }
    }
    out.removeIf([](const QString &part) { return part.contains(QRegularExpression("^[RBSIOL]=,*$")); });
    return out.join(u' ');
}

QString described(const char *lines) {
    return described(parsed(lines));
}

} // namespace

TEST(ScreenFile, LineRulesAndLookups) {
    // A bare line feed ends a line too; a header loses its first and last character, whatever
    // they are; "[" alone and "[]" give unnamed definitions, and only an unnamed record 0 is
    // reused by the first header.
    EXPECT_EQ(described("[main]\nB=x,y,back,target,cmd,extra|[second]\nO=1,2,pic\n|[mai"),
              "[main] B=back,target,cmd [second] O=1,2,pic,, [ma]");
    EXPECT_EQ(described("[|[]|[x]"), "[x]");
    EXPECT_EQ(described("[a]|[|[]|[x]"), "[a] [] [] [x]");
    // Before the first header only a redirect, a background and a label set are kept.
    EXPECT_EQ(described("R=elsewhere|B=,,pic,,|I=labels|S=status|O=1,2,over,cap,cmd|L=3,4,%TIME,c,m|[first]"),
              "[first] R=elsewhere B=pic,, I=labels");
    // Item fields are untrimmed, missing ones empty; other keys (in lower case, too) are ignored.
    EXPECT_EQ(described("[s]|O=L8,T2, pic ,Cap,CMD,ignored|O=5|L=10,20,%INFO|junk line|o=lower,keys,are,not,keys||"
                        "S=bar|I=lab"),
              "[s] S=bar I=lab O=L8,T2, pic ,Cap,CMD O=5,,,, L=10,20,%INFO,,");

    SkinTables skin =
        parsed("[Main]|[MAIN]|[hop]|R=main|[twice]|R=hop|[dangling]|R=nowhere|[StatusBar_Top]|[statusbar_alias]|"
               "R=statusbar_top|[Labels_list]|[labels_gone]|R=missing");
    // Names ignore case; a redirect's target is not followed further; failed finds leave the
    // selection as it was.
    const QList<int> found{FindDefinition(skin, "main"), FindScreen(skin, "HOP"),    FindScreen(skin, "twice"),
                           FindScreen(skin, "dangling"), FindScreen(skin, "absent"), FindStatus(skin, "top"),
                           FindStatus(skin, "alias"),    FindLabels(skin, "LIST"),   FindLabels(skin, "gone"),
                           FindStatus(skin, "list"),     skin.CurrentStatusSet,      skin.CurrentLabelSet};
    EXPECT_EQ(found, QList<int>({0, 0, 2, -1, -1, 5, 5, 7, -1, -1, 5, 7}));
}

TEST(SkinFiles, ReadFromTheProgramFolder) {
    QTemporaryDir dir;
    INIFILES ini;
    SkinTables skin = parsed("[old]|[older]");
    GetTheMenuArray(skin, dir.path());
    GetTheIndexs(skin, ini, dir.path());
    // Missing files leave one unnamed record and empty indexes.
    EXPECT_EQ(described(skin), "[]");
    EXPECT_TRUE(skin.MainMenuList.isEmpty());
    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath("indexes.txt"),
                                         crlf("[Menu]|0=pic0,Power,x,y|1=pic1,One|3=,Three|101=pic,Beyond|-1=pic,No|"
                                              "[State]|3=C,Stations,stations,IM,extra|100=C,Last|65536=C,Wrap")));
    GetTheIndexs(skin, ini, dir.path());
    const MenuTableEntry &power = *MenuEntryAt(skin, 0);
    const StateTableEntry &stations = *StateEntryAt(skin, 3);
    // Fields beyond the entry's are ignored; 65536 must not wrap onto entry 0.
    EXPECT_EQ(
        QStringList({power.Picture, power.Name, power.Extra, skin.MenuTable[1].Extra, stations.Code, stations.Name,
                     stations.Picture, stations.PollLetters, skin.StateTable[100].Name, skin.StateTable[0].Name}),
        QStringList({"pic0", "Power", "x", "", "C", "Stations", "stations", "IM", "Last", ""}));
    EXPECT_EQ(skin.MainMenuList, QStringList({"Power", "One", "", "Three"}));
    EXPECT_TRUE(MenuEntryAt(skin, 101) == nullptr && StateEntryAt(skin, -1) == nullptr);
}
