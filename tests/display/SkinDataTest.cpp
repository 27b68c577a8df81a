// The skin shipped in data/ must describe every screen and menu item the radio has.
#include "display/LabelTokens.h"
#include "display/ScreenRenderer.h"
#include "display/Skin.h"
#include "radio_link/LinkView.h"
#include "radio_link/RadioState.h"
#include "settings/INIFILES.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(ShippedSkin, NamesEveryScreenAndMenuItemAndEveryReferenceResolves) {
    SkinTables skin;
    INIFILES ini;
    GetTheMenuArray(skin, qEnvironmentVariable("CV_TEST_DATA"));
    GetTheIndexs(skin, ini, qEnvironmentVariable("CV_TEST_DATA"));
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
    for (const MenuTableEntry &item : skin.MenuTable) {
        EXPECT_TRUE(picture.match(item.Picture).hasMatch()) << item.Name.toStdString();
    }
    // Every set a screen names exists; every picture is in the skin folder; every label text is
    // plain or a real token.
    for (const ScreenDef &def : skin.MenuArray) {
        const std::string name = def.Name.toStdString();
        EXPECT_TRUE(picture.match(def.Background).hasMatch()) << name;
        EXPECT_TRUE(def.StatusSet.isEmpty() || FindStatus(skin, def.StatusSet) >= 0) << name;
        EXPECT_TRUE(def.LabelSet.isEmpty() || FindLabels(skin, def.LabelSet) >= 0) << name;
        EXPECT_TRUE(def.Redirect.isEmpty() || FindDefinition(skin, def.Redirect) >= 0) << name;
        for (const ScreenItem &item : def.Overlays) {
            EXPECT_TRUE(picture.match(item.Picture).hasMatch()) << item.Picture.toStdString();
        }
        for (const ScreenItem &item : def.Labels) {
            EXPECT_TRUE(!item.Picture.startsWith(u'%') || TokenOf(item.Picture) != LabelToken::None) << name;
        }
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

TEST(ShippedSkin, EveryPictureNameResolvesToAFile) {
    SkinTables skin;
    INIFILES ini;
    const QString data = qEnvironmentVariable("CV_TEST_DATA");
    GetTheMenuArray(skin, data);
    GetTheIndexs(skin, ini, data);
    RadioState state;
    LinkView view;
    FixedWallClock clock;
    const ScreenRenderer renderer(skin, state, view, clock, data);
    QStringList names;
    for (const ScreenDef &def : skin.MenuArray) {
        names << def.Background;
        for (const ScreenItem &item : def.Overlays) {
            names << item.Picture;
        }
    }
    for (const MenuTableEntry &item : skin.MenuTable) {
        names << item.Picture;
    }
    // The waiting animations of the display and of the macro window.
    for (int frame = 0; frame <= 9; ++frame) {
        names << QStringLiteral("320x240/other/loading_0%1").arg(frame);
    }
    names.removeAll(QString());
    names.removeDuplicates();
    EXPECT_GE(names.size(), 7 + 21 + 9 + 3 + 10 + 1);
    for (const QString &name : names) {
        EXPECT_FALSE(renderer.RN(name).isEmpty()) << name.toStdString();
    }
}
