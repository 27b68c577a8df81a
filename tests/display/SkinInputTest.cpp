// The skin files are edited by hand and copied around; whatever they hold, loading must end
// quickly with some table and the selection indexes must stay within 16 bits.
#include "display/Skin.h"
#include "platform/FileBits.h"
#include "settings/INIFILES.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <random>

namespace {

QByteArray randomBytes(std::mt19937 &random, int size) {
    // Mostly the bytes that mean something in skin files, so the parser's branches get hit.
    static const char alphabet[] = "[]=,\r\nOLBRSI0123456789%-T ;Menu State\x00\xff\xe9";
    std::uniform_int_distribution<int> pick(0, int(sizeof alphabet) - 2);
    std::uniform_int_distribution<int> any(0, 255);
    QByteArray bytes(size, '\0');
    for (char &c : bytes) {
        c = char(random() % 4 == 0 ? any(random) : alphabet[pick(random)]);
    }
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void expectConsistent(const SkinTables &skin) {
    ASSERT_GE(skin.MenuArray.size(), 1u);
    ASSERT_LE(skin.MenuArray.size(), std::size_t(Skin::MaxDefinitions));
    for (const ScreenDef &def : skin.MenuArray) {
        ASSERT_GE(def.Overlays.size(), 1u);
        ASSERT_GE(def.Labels.size(), 1u);
        ASSERT_LE(def.Overlays.size(), std::size_t(Skin::MaxItems));
    }
}

} // namespace

TEST(SkinInput, ScreenFileSurvivesRandomBytes) {
    std::mt19937 random(20261206);
    QTemporaryDir dir;
    SkinTables skin;
    for (int round = 0; round < 200; ++round) {
        const int size = round < 100 ? round : int(random() % 20000);
        writeBytes(dir.filePath(QStringLiteral("menus.txt")), randomBytes(random, size));
        GetTheMenuArray(skin, dir.path());
        expectConsistent(skin);
        FindStatus(skin, QStringLiteral("x"));
        FindLabels(skin, QString());
    }
}

TEST(SkinInput, IndexFileSurvivesRandomBytes) {
    std::mt19937 random(6122026);
    INIFILES ini;
    SkinTables skin;
    for (int round = 0; round < 100; ++round) {
        // A fresh name each round: the settings cache must not hand back the previous file.
        QTemporaryDir dir;
        const int size = round < 50 ? round * 3 : int(random() % 20000);
        writeBytes(dir.filePath(QStringLiteral("indexes.txt")), randomBytes(random, size));
        GetTheIndexs(skin, ini, dir.path());
        ASSERT_LE(skin.MainMenuList.size(), SkinTables::TableSize);
        if (!skin.MainMenuList.isEmpty()) {
            EXPECT_FALSE(skin.MainMenuList.last().isEmpty());
        }
    }
}

TEST(SkinInput, HugeFilesLoadAndSurplusIsDropped) {
    // 100000 definitions: the table stops at what a 16-bit index reaches, and the lines of the
    // dropped definitions do not leak into the last kept one.
    QString many;
    for (int i = 0; i < 100000; ++i) {
        many += QStringLiteral("[s") + QString::number(i) + QStringLiteral("]\r\nO=1,2,p") + QString::number(i) +
                QStringLiteral("\r\n");
    }
    SkinTables skin;
    ParseScreenFile(skin, many);
    ASSERT_EQ(skin.MenuArray.size(), std::size_t(Skin::MaxDefinitions));
    const ScreenDef &last = skin.MenuArray.back();
    EXPECT_EQ(last.Name, QStringLiteral("s32767"));
    ASSERT_EQ(last.Overlays.size(), 1u);
    EXPECT_EQ(last.Overlays[0].Picture, QStringLiteral("p32767"));
    EXPECT_EQ(FindDefinition(skin, QStringLiteral("s32767")), 32767);
    EXPECT_EQ(FindDefinition(skin, QStringLiteral("s32768")), -1);
    EXPECT_EQ(FindLabels(skin, QStringLiteral("x")), -1);

    // 100000 overlay lines in one definition, and a single line of a megabyte.
    QString items = QStringLiteral("[one]\r\n");
    for (int i = 0; i < 100000; ++i) {
        items += QStringLiteral("O=1,2,p\r\n");
    }
    items += QStringLiteral("L=") + QString(1 << 20, u',') + QStringLiteral("\r\n[") + QString(1 << 20, u'x');
    ParseScreenFile(skin, items);
    ASSERT_EQ(skin.MenuArray.size(), 2u);
    EXPECT_EQ(skin.MenuArray[0].Overlays.size(), std::size_t(Skin::MaxItems));
    EXPECT_EQ(skin.MenuArray[0].Labels[0].Left, QString());
    EXPECT_EQ(skin.MenuArray[1].Name.size(), (1 << 20) - 1);
}
