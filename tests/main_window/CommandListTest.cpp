#include "main_window/CommandList.h"

#include "main_window/GeneralSettings.h"
#include "main_window/MainWindowRules.h"
#include "radio_link/RadioState.h"
#include "settings/INIFILES.h"
#include "settings/Timeouts.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList eightEntries() {
    return {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
            QStringLiteral("E"), QStringLiteral("F"), QStringLiteral("G"), QStringLiteral("H")};
}

} // namespace

TEST(CommandList, ReadsEntriesStrippingDotSlashAndSkippingEmptyLines) {
    CommandList list;
    list.MakeList(QStringLiteral("./POWER\r\n\r\nVOLp{}\r\nOK[]{}\r\nUP{}[]\r\n./\r\nlone\nLF\r\n"));
    EXPECT_EQ(list.entries(), (QStringList{QStringLiteral("POWER"), QStringLiteral("VOLp{}"), QStringLiteral("OK[]{}"),
                                           QStringLiteral("UP{}[]"), QStringLiteral("lone"), QStringLiteral("LF")}));
    // The marks are shown but never sent: "{}" goes first, then "[]", each only once.
    EXPECT_EQ(CommandList::StripMarks(QStringLiteral("VOLp{}")), QStringLiteral("VOLp"));
    EXPECT_EQ(CommandList::StripMarks(QStringLiteral("OK[]{}")), QStringLiteral("OK"));
    EXPECT_EQ(CommandList::StripMarks(QStringLiteral("UP{}[]")), QStringLiteral("UP{}"));
    EXPECT_EQ(CommandList::StripMarks(QStringLiteral("{}")), QString());
}

TEST(CommandList, RebuildKeepsTheSelectionOnlyWhileInRange) {
    CommandList list;
    list.MakeList(eightEntries().join(QStringLiteral("\r\n")));
    list.select(5);
    QSignalSpy selections(&list, &CommandList::selectionChanged);
    list.MakeList(QStringLiteral("X{}\r\nY\r\nZ\r\nW\r\nV\r\nU[]\r\n"));
    EXPECT_EQ(list.selectedIndex(), 5);
    ASSERT_EQ(selections.size(), 1);
    EXPECT_EQ(selections.at(0).at(1).toString(), QStringLiteral("U"));
    list.MakeList(QStringLiteral("only"));
    EXPECT_EQ(list.selectedIndex(), -1);
    EXPECT_EQ(list.selectedEntry(), QString());
}

TEST(CommandList, KeysMoveTheSelectionWithinTheList) {
    CommandList list;
    list.MakeList(eightEntries().join(QStringLiteral("\r\n")));
    list.select(7);
    EXPECT_TRUE(list.MoveByKey(Qt::Key_Down, Qt::NoModifier));
    EXPECT_EQ(list.selectedIndex(), 7);
    EXPECT_TRUE(list.MoveByKey(Qt::Key_PageUp, Qt::NoModifier));
    EXPECT_EQ(list.selectedIndex(), 0);
    EXPECT_FALSE(list.MoveByKey(Qt::Key_A, Qt::NoModifier));
    EXPECT_EQ(list.selectedIndex(), 0);

    EXPECT_EQ(CommandList::PageStep(Qt::NoModifier), 9);
    EXPECT_EQ(CommandList::PageStep(Qt::ShiftModifier), 27);
    EXPECT_EQ(CommandList::PageStep(Qt::ControlModifier | Qt::AltModifier), 9 + 18 * 6);
    // The keypad flag of a Page Down from the number block is not a modifier key.
    EXPECT_EQ(CommandList::PageStep(Qt::KeypadModifier), 9);

    QStringList many;
    for (int i = 0; i < 40; ++i) {
        many << QString::number(i);
    }
    list.MakeList(many.join(QStringLiteral("\r\n")));
    list.select(0);
    list.MoveByKey(Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(list.selectedIndex(), 27);
    list.MoveByKey(Qt::Key_PageDown, Qt::NoModifier);
    EXPECT_EQ(list.selectedIndex(), 36);

    // Nothing selected: Down starts at the top. Empty list: nothing to select.
    list.select(-1);
    list.MoveByKey(Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(list.selectedIndex(), 0);
    CommandList empty;
    EXPECT_TRUE(empty.MoveByKey(Qt::Key_PageDown, Qt::NoModifier));
    EXPECT_EQ(empty.selectedIndex(), -1);
}

TEST(CommandList, FileChoiceAndBadFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CommandList list;
    list.MakeList(QStringLiteral("stale"));
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.count(), 0) << "no file at all gives an empty list";

    writeFile(dir.filePath(QStringLiteral("qx_Commandlist.txt")), "QX\r\n");
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.entries(), QStringList{QStringLiteral("QX")});
    writeFile(dir.filePath(QStringLiteral("Commandlist.txt")), "MAIN\r\n");
    list.LoadFromFolder(dir.path());
    EXPECT_EQ(list.entries(), QStringList{QStringLiteral("MAIN")});

    // Binary bytes come through as single-byte characters, one entry per CR LF line.
    QByteArray binary("\x00\x01\xff\xfe\r\n\x80POWER\r\n", 12);
    writeFile(dir.filePath(QStringLiteral("Commandlist.txt")), binary);
    list.LoadFromFolder(dir.path());
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.entries().at(0), QString::fromLatin1(QByteArray("\x00\x01\xff\xfe", 4)));
    EXPECT_EQ(list.entries().at(1), QString::fromLatin1("\x80POWER"));
}

TEST(CommandList, SaveListDropsSeparatorsAndSurvivesAnUnwritableFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CommandList list;
    list.MakeList(QStringLiteral("#\r\nPOWER\r\n/\r\n\\ \r\n# \r\n#x\r\nVOLp{}\r\n"));
    list.select(1);
    ASSERT_TRUE(list.SaveList(dir.path()));
    QFile saved(CommandList::SearchListFile(dir.path()));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("POWER\r\n#x\r\nVOLp{}\r\n"));
    EXPECT_EQ(list.entries(), (QStringList{QStringLiteral("POWER"), QStringLiteral("#x"), QStringLiteral("VOLp{}")}));
    EXPECT_EQ(list.selectedIndex(), 1);

    list.MakeList(QStringLiteral("#\r\nPOWER\r\n"));
    const QString missing = dir.filePath(QStringLiteral("no/such/folder"));
    EXPECT_FALSE(list.SaveList(missing));
    EXPECT_EQ(list.entries(), (QStringList{QStringLiteral("#"), QStringLiteral("POWER")}));
}

TEST(GeneralSettings, AFlagThatIsNotANumberKeepsTheControlsState) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    INIFILES ini;
    ini.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("AutoRefresh"), QStringLiteral("yes"));
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("Auto21Exit"), QStringLiteral("0"));
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("KeepConnected"), QStringLiteral("2"));
    GeneralSettings settings;
    ReadGeneralSettings(ini, settings);
    EXPECT_TRUE(settings.AutoRefresh);
    EXPECT_FALSE(settings.Auto21Exit);
    EXPECT_TRUE(settings.KeepConnected);
}

TEST(MainWindowRules, AutoRefreshLabelsSetsThePollCountdown) {
    RadioState state;
    Timeouts timeouts;
    timeouts.PollWhenOn = 12;
    timeouts.PollWhenOff = 70;
    state.PollCountdown = 5;
    UpdateDisplayLabelsClicked(true, state, timeouts);
    EXPECT_EQ(state.PollCountdown, 0);
    UpdateDisplayLabelsClicked(false, state, timeouts);
    EXPECT_EQ(state.PollCountdown, 12);
    state.RadioStandby = true;
    UpdateDisplayLabelsClicked(false, state, timeouts);
    EXPECT_EQ(state.PollCountdown, 70);
}
