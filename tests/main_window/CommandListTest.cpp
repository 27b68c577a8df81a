#include "main_window/CommandList.h"

#include "main_window/GeneralSettings.h"
#include "main_window/MainWindowRules.h"
#include "main_window/TerminalText.h"
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
                                           QStringLiteral("UP{}[]"), QStringLiteral("lone\nLF")}));
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
    list.select(1);
    EXPECT_TRUE(list.MoveByKey(Qt::Key_PageDown, Qt::NoModifier));
    EXPECT_EQ(list.selectedIndex(), 7);
    EXPECT_TRUE(list.MoveByKey(Qt::Key_Down, Qt::NoModifier));
    EXPECT_EQ(list.selectedIndex(), 7);
    EXPECT_TRUE(list.MoveByKey(Qt::Key_Up, Qt::NoModifier));
    EXPECT_EQ(list.selectedIndex(), 6);
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

TEST(TerminalText, KeepsTheLastTwentyThousandCharacters) {
    TerminalText terminal;
    EXPECT_TRUE(terminal.text().startsWith(QStringLiteral("000000000111")));
    EXPECT_TRUE(terminal.text().endsWith(QStringLiteral("78\r\n")));
    EXPECT_EQ(terminal.text().size(), 82);

    QSignalSpy changed(&terminal, &TerminalText::changed);
    QString replies;
    for (int i = 0; i < 3750; ++i) {
        const QString reply = QStringLiteral("VOL=%1\r\n").arg(i % 100, 2, 10, QLatin1Char('0'));
        replies += reply;
        terminal.Append(reply);
    }
    ASSERT_EQ(replies.size(), 30000);
    EXPECT_EQ(terminal.text(), replies.right(TerminalText::MaxChars));
    EXPECT_EQ(changed.size(), 3750);

    terminal.Append(QString(25000, u'x') + QStringLiteral("END"));
    EXPECT_EQ(terminal.text().size(), TerminalText::MaxChars);
    EXPECT_TRUE(terminal.text().endsWith(QStringLiteral("xEND")));

    terminal.Clear();
    EXPECT_EQ(terminal.text(), QString());
    terminal.SetText(QString(20001, u'y') + QStringLiteral("z"));
    EXPECT_EQ(terminal.text().size(), TerminalText::MaxChars);
    EXPECT_TRUE(terminal.text().endsWith(QStringLiteral("yz")));
}

TEST(GeneralSettings, ReadsAndWritesTheSixKeysInOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    INIFILES ini;
    ini.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));

    GeneralSettings defaults;
    ReadGeneralSettings(ini, defaults);
    EXPECT_EQ(defaults.LastRemote, QStringLiteral("remote1"));
    EXPECT_EQ(defaults.RaidoURL, QStringLiteral("192.168.1.119"));
    EXPECT_EQ(defaults.RaidoPORT, QStringLiteral("8080"));
    EXPECT_FALSE(defaults.KeepConnected);
    EXPECT_TRUE(defaults.AutoRefresh);
    EXPECT_TRUE(defaults.Auto21Exit);

    GeneralSettings changed;
    changed.LastRemote = QStringLiteral("big");
    changed.RaidoURL = QStringLiteral("radio");
    changed.RaidoPORT = QStringLiteral("9090");
    changed.KeepConnected = true;
    changed.AutoRefresh = false;
    changed.Auto21Exit = false;
    WriteGeneralSettings(ini, changed);
    QFile file(ini.SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[General]\r\nLastRemote=big\r\nRaidoURL=radio\r\nRaidoPORT=9090\r\n"
                                         "KeepConnected=1\r\nAutoRefresh=0\r\nAuto21Exit=0\r\n"));

    GeneralSettings back;
    ReadGeneralSettings(ini, back);
    EXPECT_EQ(back.LastRemote, QStringLiteral("big"));
    EXPECT_EQ(back.RaidoURL, QStringLiteral("radio"));
    EXPECT_EQ(back.RaidoPORT, QStringLiteral("9090"));
    EXPECT_TRUE(back.KeepConnected);
    EXPECT_FALSE(back.AutoRefresh);
    EXPECT_FALSE(back.Auto21Exit);

    // A flag that is not a number keeps the control's own state.
    ini.WriteSetting(QStringLiteral("General"), QStringLiteral("AutoRefresh"), QStringLiteral("yes"));
    GeneralSettings garbled;
    ReadGeneralSettings(ini, garbled);
    EXPECT_TRUE(garbled.AutoRefresh);
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
