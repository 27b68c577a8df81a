// The skin files: line rules, lookups, the program folder's files, whatever bytes they hold,
// and the skin shipped in data/.
#include "skin/Skin.h"

#include "display/LabelTokens.h"
#include "platform/FileBits.h"
#include "settings/INIFILES.h"
#include "support/FixedWallClock.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

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

// Both files of a skin read from the folder.
void load(SkinTables &skin, const QString &folder) {
    INIFILES ini;
    GetTheMenuArray(skin, folder);
    GetTheIndexs(skin, ini, folder);
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
    SkinTables skin = parsed("[old]|[older]");
    load(skin, dir.path());
    // Missing files leave one unnamed record and empty indexes.
    EXPECT_EQ(described(skin), "[]");
    EXPECT_TRUE(skin.MainMenuList.isEmpty());
    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath("indexes.txt"),
                                         crlf("[Menu]|0=pic0,Power,x,y|1=pic1,One|3=,Three|101=pic,Beyond|-1=pic,No|"
                                              "[State]|3=C,Stations,stations,IM,extra|100=C,Last|65536=C,Wrap")));
    load(skin, dir.path());
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

TEST(SkinFiles, OnlyRegularFilesAreRead) {
    // FIFOs in place of both files would block whoever opens them: they read as missing files.
    QTemporaryDir dir;
    for (const char *name : {"menus.txt", "indexes.txt"}) {
        ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0600), 0) << name;
    }
    SkinTables skin = parsed("[old]");
    load(skin, dir.path());
    EXPECT_EQ(described(skin), "[]");
    EXPECT_TRUE(skin.MainMenuList.isEmpty());
}

// Skin files are edited by hand and copied around; whatever they hold, loading ends quickly with
// some table and the selection indexes stay within 16 bits.
TEST(SkinFiles, RandomBytesAndHugeFiles) {
    SkinTables skin;
    const auto load = [&](const QString &screens, const QString &indexes) {
        QTemporaryDir dir; // a fresh folder: the settings cache must not hand back the previous file
        ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath("menus.txt"), screens));
        ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath("indexes.txt"), indexes));
        ::load(skin, dir.path());
        ASSERT_TRUE(!skin.MenuArray.empty() && skin.MenuArray.size() <= std::size_t(Skin::MaxDefinitions));
        for (const ScreenDef &def : skin.MenuArray) {
            ASSERT_TRUE(!def.Overlays.empty() && !def.Labels.empty() && def.Overlays.size() <= size_t(Skin::MaxItems));
        }
        FindStatus(skin, "x");
        FindLabels(skin, QString());
        const QStringList &menu = skin.MainMenuList;
        ASSERT_TRUE(menu.size() <= SkinTables::TableSize && (menu.isEmpty() || !menu.last().isEmpty()));
    };
    std::mt19937 random(20261206);
    const auto randomText = [&](int size) {
        // Mostly the bytes that mean something in skin files, so the parsers' branches get hit.
        static const char alphabet[] = "[]=,\r\nOLBRSI0123456789%-T ;Menu State\x00\xff\xe9";
        QByteArray bytes(size, '\0');
        for (char &c : bytes) {
            c = char(random() % 4 == 0 ? random() : alphabet[random() % (sizeof alphabet - 1)]);
        }
        return QString::fromLatin1(bytes);
    };
    for (int round = 0; round < 200; ++round) {
        load(randomText(round < 100 ? round * 3 : int(random() % 20000)), randomText(int(random() % 20000)));
    }
    // 100000 definitions: the lines of the dropped ones do not leak into the last kept one.
    QString many;
    for (int i = 0; i < 100000; ++i) {
        many += QStringLiteral("[s%1]\r\nO=1,2,p%1\r\n").arg(i);
    }
    load(many, many);
    ASSERT_EQ(skin.MenuArray.size(), size_t(Skin::MaxDefinitions));
    ASSERT_EQ(skin.MenuArray.back().Overlays.size(), 1u);
    EXPECT_EQ(skin.MenuArray.back().Name + u'/' + skin.MenuArray.back().Overlays[0].Picture, "s32767/p32767");
    // 100000 items in one definition, and lines of a megabyte.
    load("[one]\r\n" + QStringLiteral("O=1,2,p\r\n").repeated(100000) + "L=" + QString(1 << 20, u',') + "\r\n[" +
             QString(1 << 20, u'x'),
         "[Menu]\r\n0=" + QString(1 << 20, u','));
    EXPECT_EQ(skin.MenuArray[0].Overlays.size(), size_t(Skin::MaxItems));
    EXPECT_EQ(skin.MenuArray[1].Name.size(), (1 << 20) - 1);
}

// The shipped skin describes every screen and menu item the radio has, and every name in it
// resolves: sets, redirects, tokens and picture files.
TEST(ShippedSkin, NamesEveryScreenAndMenuItemAndEveryReferenceResolves) {
    SkinTables skin;
    const QString data = qEnvironmentVariable("CV_TEST_DATA");
    load(skin, data);
    const auto screen = [&](const QString &name) {
        const int found = FindScreen(skin, name);
        return found < 0 ? nullptr : &skin.MenuArray[std::size_t(found)];
    };
    const QRegularExpression picture("^(320x240/[a-z]+(/[a-z_0-9]+)?|coverart|)$");
    // The simulated radio's screens, with the list screens 40..55 that main-menu items 5..20
    // open, and what they poll for.
    for (int number :
         {0, 3, 5, 7, 9, 14, 15, 21, 30, 34, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55}) {
        const StateTableEntry &entry = *StateEntryAt(skin, number);
        EXPECT_TRUE(!entry.Name.isEmpty() && entry.PollLetters.contains(QRegularExpression("^[IMVSA]*$"))) << number;
        ASSERT_NE(screen(entry.Picture), nullptr) << number;
        EXPECT_FALSE(screen(entry.Picture)->Background.isEmpty()) << number;
    }
    EXPECT_EQ(
        QStringList({skin.StateTable[3].PollLetters, skin.StateTable[5].PollLetters, skin.StateTable[34].PollLetters}),
        QStringList({"I", "MV", "S"}));
    // Items 0..20 all named, each with a picture of the skin.
    ASSERT_EQ(skin.MainMenuList.size(), 21);
    EXPECT_FALSE(skin.MainMenuList.contains(QString()));
    QStringList pictures;
    for (const MenuTableEntry &item : skin.MenuTable) {
        EXPECT_TRUE(picture.match(item.Picture).hasMatch()) << item.Name.toStdString();
        pictures << item.Picture;
    }
    for (const ScreenDef &def : skin.MenuArray) {
        const std::string name = def.Name.toStdString();
        EXPECT_TRUE(picture.match(def.Background).hasMatch()) << name;
        EXPECT_TRUE(def.StatusSet.isEmpty() || FindStatus(skin, def.StatusSet) >= 0) << name;
        EXPECT_TRUE(def.LabelSet.isEmpty() || FindLabels(skin, def.LabelSet) >= 0) << name;
        EXPECT_TRUE(def.Redirect.isEmpty() || FindDefinition(skin, def.Redirect) >= 0) << name;
        pictures << def.Background;
        for (const ScreenItem &item : def.Overlays) {
            EXPECT_TRUE(picture.match(item.Picture).hasMatch()) << item.Picture.toStdString();
            pictures << item.Picture;
        }
        for (const ScreenItem &item : def.Labels) {
            EXPECT_TRUE(!item.Picture.startsWith(u'%') || TokenOf(item.Picture) != LabelToken::None) << name;
        }
    }
    // Every picture is a file of the skin folder, and so are the frames of the display's and the
    // macro window's waiting animations.
    for (int frame = 0; frame <= 9; ++frame) {
        pictures << QStringLiteral("320x240/other/loading_0%1").arg(frame);
    }
    pictures.removeAll(QString());
    pictures.removeDuplicates();
    EXPECT_GE(pictures.size(), 7 + 21 + 9 + 3 + 10 + 1);
    for (const QString &name : pictures) {
        EXPECT_FALSE(Skin::PictureFile(data, name).isEmpty()) << name.toStdString();
    }
    // Page 1 of the main menu is the first screen shown; pages 2 and 3 show the 20 items,
    // captioned with the menu names so the current item lights up.
    ASSERT_TRUE(screen("main") && screen("main2") && screen("main3"));
    QStringList captions;
    for (const char *page : {"main2", "main3"}) {
        for (const ScreenItem &item : screen(page)->Overlays) {
            captions.append(item.Caption);
        }
    }
    EXPECT_EQ(captions, skin.MainMenuList.mid(1));
}
