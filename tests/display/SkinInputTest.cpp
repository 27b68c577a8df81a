// The skin files are edited by hand and copied around; whatever they hold, loading must end
// quickly with some table and the selection indexes must stay within 16 bits.
#include "display/Skin.h"
#include "platform/FileBits.h"
#include "settings/INIFILES.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <random>

TEST(SkinInput, RandomBytesAndHugeFiles) {
    INIFILES ini;
    SkinTables skin;
    const auto load = [&](const QString &screens, const QString &indexes) {
        QTemporaryDir dir; // a fresh folder: the settings cache must not hand back the previous file
        ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath("menus.txt"), screens));
        ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath("indexes.txt"), indexes));
        GetTheMenuArray(skin, dir.path());
        GetTheIndexs(skin, ini, dir.path());
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
