#include "main_window/CommandList.h"

#include "main_window/GeneralSettings.h"
#include "settings/INIFILES.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList strings(std::initializer_list<const char *> items) {
    QStringList list;
    for (const char *item : items) {
        list << QString::fromLatin1(item);
    }
    return list;
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(CommandList, ReadsEntriesStripsTheMarksAndKeepsTheSelectionWhileInRange) {
    CommandList list;
    list.MakeList(QStringLiteral("./POWER\r\n\r\nVOLp{}\r\nOK[]{}\r\nUP{}[]\r\n./\r\nlone\nLF\r\n"));
    EXPECT_EQ(list.entries(), strings({"POWER", "VOLp{}", "OK[]{}", "UP{}[]", "lone", "LF"}));
    // The marks are shown but never sent: "{}" goes first, then "[]", each only once.
    const std::pair<const char *, const char *> marks[] = {
        {"VOLp{}", "VOLp"}, {"OK[]{}", "OK"}, {"UP{}[]", "UP{}"}, {"{}", ""}};
    for (const auto &[entry, command] : marks) {
        EXPECT_EQ(CommandList::StripMarks(QString::fromLatin1(entry)), QString::fromLatin1(command)) << entry;
    }

    list.select(5);
    QSignalSpy selections(&list, &CommandList::selectionChanged);
    list.MakeList(QStringLiteral("X{}\r\nY\r\nZ\r\nW\r\nV\r\nU[]\r\n"));
    EXPECT_EQ(list.selectedIndex(), 5);
    ASSERT_EQ(selections.size(), 1);
    EXPECT_EQ(selections.at(0).at(1).toString(), QStringLiteral("U"));
    list.MakeList(QStringLiteral("only"));
    EXPECT_EQ(list.selectedIndex(), -1);
}

// Moves within the list through the search box are checked on the window; these are the corners.
TEST(CommandList, PageStepsAndTheCornersOfKeyMoves) {
    // The keypad flag of a Page Down from the number block is not a modifier key.
    const std::pair<Qt::KeyboardModifiers, int> steps[] = {{Qt::NoModifier, 9},
                                                           {Qt::ShiftModifier, 27},
                                                           {Qt::ControlModifier | Qt::AltModifier, 9 + 18 * 6},
                                                           {Qt::KeypadModifier, 9}};
    for (const auto &[modifiers, step] : steps) {
        EXPECT_EQ(CommandList::PageStep(modifiers), step) << modifiers.toInt();
    }
    // Nothing selected: Down starts at the top. Empty list: nothing to select.
    CommandList list;
    list.MakeList(QStringLiteral("A\r\nB\r\n"));
    list.MoveByKey(Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(list.selectedIndex(), 0);
    list.MakeList(QString());
    EXPECT_TRUE(list.MoveByKey(Qt::Key_PageDown, Qt::NoModifier));
    EXPECT_EQ(list.selectedIndex(), -1);
}

TEST(CommandList, ProgramFolderFilesAndBadOnes) {
    QTemporaryDir dir;
    CommandList list;
    list.MakeList(QStringLiteral("stale"));
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.count(), 0) << "no file at all gives an empty list";

    writeFile(dir.filePath(QStringLiteral("qx_Commandlist.txt")), "QX\r\n");
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.entries(), strings({"QX"}));
    writeFile(dir.filePath(QStringLiteral("Commandlist.txt")), "MAIN\r\n");
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.entries(), strings({"MAIN"}));

    // Binary bytes come through as single-byte characters, one entry per CR LF line.
    writeFile(dir.filePath(QStringLiteral("Commandlist.txt")), QByteArray("\x00\x01\xff\xfe\r\n\x80POWER\r\n", 12));
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.entries(),
              (QStringList{QString::fromLatin1(QByteArray("\x00\x01\xff\xfe", 4)), QString::fromLatin1("\x80POWER")}));

    // The search list leaves out separators; an unwritable folder leaves the list unchanged.
    list.MakeList(QStringLiteral("#\r\nPOWER\r\n/\r\n\\ \r\n# \r\n#x\r\nVOLp{}\r\n"));
    list.select(1);
    ASSERT_TRUE(list.SaveList(dir.path()));
    QFile saved(CommandList::SearchListFile(dir.path()));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("POWER\r\n#x\r\nVOLp{}\r\n"));
    EXPECT_EQ(list.entries(), strings({"POWER", "#x", "VOLp{}"}));
    EXPECT_EQ(list.selectedIndex(), 1);

    list.MakeList(QStringLiteral("#\r\nPOWER\r\n"));
    EXPECT_FALSE(list.SaveList(dir.filePath(QStringLiteral("no/such/folder"))));
    EXPECT_EQ(list.entries(), strings({"#", "POWER"}));

    // A settings flag that is not a number keeps the control's state.
    writeFile(dir.filePath(QStringLiteral("CVRemote.ini")),
              "[General]\r\nAutoRefresh=yes\r\nAuto21Exit=0\r\nKeepConnected=2\r\n");
    INIFILES ini;
    ini.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
    GeneralSettings settings;
    ReadGeneralSettings(ini, settings);
    EXPECT_TRUE(settings.AutoRefresh);
    EXPECT_FALSE(settings.Auto21Exit);
    EXPECT_TRUE(settings.KeepConnected);
}
