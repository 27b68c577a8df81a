#include "main_window/CommandList.h"

#include "platform/FileBits.h"
#include "settings/GeneralSettings.h"
#include "settings/INIFILES.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(CommandList, ReadsEntriesStripsTheMarksAndKeepsTheSelectionWhileInRange) {
    CommandList list;
    // A bare LF ends a line as well; a lone CR does not.
    list.MakeList("./POWER\r\n\r\nVOLp{}\r\nOK[]{}\r\nUP{}[]\r\n./\r\nlone\nLF\r\nCR\ralone\r\n");
    EXPECT_EQ(list.entries(), (QStringList{"POWER", "VOLp{}", "OK[]{}", "UP{}[]", "lone", "LF", "CR\ralone"}));
    // The marks are shown but never sent: "{}" goes first, then "[]", each only once.
    const std::pair<const char *, const char *> marks[] = {
        {"VOLp{}", "VOLp"}, {"OK[]{}", "OK"}, {"UP{}[]", "UP{}"}, {"{}", ""}};
    for (const auto &[entry, command] : marks) {
        EXPECT_EQ(CommandList::StripMarks(entry), command) << entry;
    }

    list.select(5);
    QSignalSpy selections(&list, &CommandList::selectionChanged);
    list.MakeList("X{}\r\nY\r\nZ\r\nW\r\nV\r\nU[]\r\n");
    EXPECT_EQ(list.selectedIndex(), 5);
    ASSERT_EQ(selections.size(), 1);
    EXPECT_EQ(selections.at(0).at(1).toString(), "U");
    list.MakeList("only");
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
    list.MakeList("A\r\nB\r\n");
    list.MoveByKey(Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(list.selectedIndex(), 0);
    list.MakeList(QString());
    EXPECT_TRUE(list.MoveByKey(Qt::Key_PageDown, Qt::NoModifier));
    EXPECT_EQ(list.selectedIndex(), -1);
}

TEST(CommandList, ProgramFolderFilesAndBadOnes) {
    QTemporaryDir dir;
    const auto write = [&](const char *name, const QByteArray &bytes) {
        ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath(name), QString::fromLatin1(bytes)));
    };
    CommandList list;
    list.MakeList("stale");
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.count(), 0) << "no file at all gives an empty list";
    // The "qx_" file only when the plain one is missing.
    write("qx_Commandlist.txt", "QX\r\n");
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.entries(), QStringList{"QX"});
    write("Commandlist.txt", "MAIN\r\n");
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.entries(), QStringList{"MAIN"});

    // Binary bytes come through as single-byte characters, one entry per CR LF line.
    write("Commandlist.txt", QByteArray("\x00\x01\xff\xfe\r\n\x80POWER\r\n", 12));
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.entries(),
              (QStringList{QString::fromLatin1(QByteArray("\x00\x01\xff\xfe", 4)), QString::fromLatin1("\x80POWER")}));

    // The search list leaves out separators, is written as single bytes in one step (no
    // temporary file left), and an unwritable folder leaves the list unchanged.
    list.MakeList("#\r\nPOWER\r\n/\r\n\\ \r\n# \r\n#x\r\nVOL\u00e9{}\r\n");
    list.select(1);
    ASSERT_TRUE(list.SaveList(dir.path()));
    EXPECT_EQ(FileBits::ReadWholeFile(CommandList::SearchListFile(dir.path())).toLatin1(),
              QByteArray("POWER\r\n#x\r\nVOL\xe9{}\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    EXPECT_EQ(list.entries(), (QStringList{"POWER", "#x", "VOL\u00e9{}"}));
    EXPECT_EQ(list.selectedIndex(), 1);
    list.MakeList("#\r\nPOWER\r\n");
    EXPECT_FALSE(list.SaveList(dir.filePath("no/such/folder")));
    EXPECT_EQ(list.entries(), (QStringList{"#", "POWER"}));

    // A settings flag other than 0 or 1 keeps the control's state.
    write("CVRemote.ini", "[General]\r\nAutoRefresh=yes\r\nAuto21Exit=0\r\nKeepConnected=2\r\n");
    INIFILES ini;
    ini.SetProgramPaths(dir.filePath("CVRemote"));
    GeneralSettings settings;
    ReadGeneralSettings(ini, settings);
    EXPECT_TRUE(settings.AutoRefresh);
    EXPECT_FALSE(settings.Auto21Exit);
    EXPECT_FALSE(settings.KeepConnected);
}
