// The skin shipped in data/ must describe every screen and menu item the radio has.
#include "display/LabelTokens.h"
#include "display/Skin.h"
#include "settings/INIFILES.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <vector>

namespace {

QString dataFolder() {
    return QString::fromLocal8Bit(qgetenv("CV_TEST_DATA"));
}

// Plain texts and tokens are fine; a text that looks like a token but is none is a typo.
bool sensibleLabelText(const QString &text) {
    return !text.startsWith(u'%') || TokenOf(text) != LabelToken::None;
}

bool knownPicture(const QString &picture) {
    static const QRegularExpression skinPicture(QStringLiteral("^320x240/[a-z]+(/[a-z_0-9]+)?$"));
    return picture.isEmpty() || picture == u"coverart" || skinPicture.match(picture).hasMatch();
}

} // namespace

TEST(ShippedSkin, NamesEveryScreenAndMenuItemAndEveryReferenceResolves) {
    ASSERT_FALSE(dataFolder().isEmpty());
    ASSERT_TRUE(QDir(dataFolder()).exists(QStringLiteral("menus.txt")));
    ASSERT_TRUE(QDir(dataFolder()).exists(QStringLiteral("indexes.txt")));
    SkinTables skin;
    INIFILES ini;
    GetTheMenuArray(skin, dataFolder());
    GetTheIndexs(skin, ini, dataFolder());

    // The main menu's picture names used by the screen rule for pages 1 to 3, and the first
    // screen the display shows.
    for (const char *name : {"main", "main2", "main3"}) {
        EXPECT_GE(FindScreen(skin, QString::fromLatin1(name)), 0) << name;
    }
    // The simulated radio's screens; main-menu items 5..20 open the list screens 40..55.
    std::vector<int> screens{0, 3, 5, 7, 9, 14, 15, 21, 30, 34};
    for (int list = 40; list <= 55; ++list) {
        screens.push_back(list);
    }
    for (int screen : screens) {
        const StateTableEntry &entry = *StateEntryAt(skin, screen);
        EXPECT_FALSE(entry.Name.isEmpty()) << screen;
        const int def = FindScreen(skin, entry.Picture);
        ASSERT_GE(def, 0) << screen;
        const ScreenDef &screenDef = skin.MenuArray[std::size_t(def)];
        EXPECT_FALSE(screenDef.Background.isEmpty()) << screen;
        EXPECT_TRUE(entry.PollLetters.contains(QRegularExpression(QStringLiteral("^[IMVSA]*$")))) << screen;
    }
    EXPECT_TRUE(StateEntryAt(skin, 3)->PollLetters.contains(u'I'));
    EXPECT_TRUE(StateEntryAt(skin, 5)->PollLetters.contains(u'M'));
    EXPECT_TRUE(StateEntryAt(skin, 34)->PollLetters.contains(u'S'));

    ASSERT_EQ(skin.MainMenuList.size(), 21);
    for (int item = 0; item <= 20; ++item) {
        EXPECT_FALSE(skin.MenuTable[std::size_t(item)].Name.isEmpty()) << item;
        EXPECT_TRUE(knownPicture(skin.MenuTable[std::size_t(item)].Picture)) << item;
    }

    // Every set a screen names exists; every picture is in the skin folder; every label text is
    // plain or a real token; every main-menu caption is a menu name so the current item lights up.
    for (const ScreenDef &def : skin.MenuArray) {
        EXPECT_TRUE(knownPicture(def.Background)) << def.Name.toStdString();
        if (!def.StatusSet.isEmpty()) {
            EXPECT_GE(FindStatus(skin, def.StatusSet), 0) << def.Name.toStdString();
        }
        if (!def.LabelSet.isEmpty()) {
            EXPECT_GE(FindLabels(skin, def.LabelSet), 0) << def.Name.toStdString();
        }
        if (!def.Redirect.isEmpty()) {
            EXPECT_GE(FindDefinition(skin, def.Redirect), 0) << def.Name.toStdString();
        }
        for (const ScreenItem &item : def.Overlays) {
            EXPECT_TRUE(knownPicture(item.Picture)) << item.Picture.toStdString();
        }
        for (const ScreenItem &item : def.Labels) {
            EXPECT_TRUE(sensibleLabelText(item.Picture)) << item.Picture.toStdString();
        }
    }
    for (const char *page : {"main2", "main3"}) {
        const ScreenDef &def = skin.MenuArray[std::size_t(FindScreen(skin, QString::fromLatin1(page)))];
        for (const ScreenItem &item : def.Overlays) {
            EXPECT_TRUE(skin.MainMenuList.contains(item.Caption)) << item.Caption.toStdString();
        }
    }
    const ScreenDef &page2 = skin.MenuArray[std::size_t(FindScreen(skin, QStringLiteral("main2")))];
    const ScreenDef &page3 = skin.MenuArray[std::size_t(FindScreen(skin, QStringLiteral("main3")))];
    EXPECT_EQ(page2.Overlays.size() + page3.Overlays.size(), 20u);
}
