#include "macros/MacroCompiler.h"

#include "keyboard/KeyboardGrid.h"
#include "platform/FileBits.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Lines separated by "|" become a macro file with CR LF line ends.
MacroTable compile(const char *lines) {
    MacroTable table;
    CompileMacros(table, QString::fromLatin1(lines).replace(u'|', QStringLiteral("\r\n")));
    return table;
}

// A macro's steps as text: the fields each step sets, steps separated by " | ".
std::string dump(const MacroDef &m) {
    static const char *const names[] = {"?", "", "D", "M", "L", "M:", "L:", "back:", "from:", "key:"};
    const auto number = [](qint16 v) { return v == -1 ? QString() : QString::number(v); };
    QStringList steps;
    for (const MacroStep &s : m.Steps) {
        const QString values[] = {s.Test,       s.Commandx,   number(s.Delayx), number(s.MenuItem), number(s.ListItem),
                                  s.MenuSearch, s.ListSearch, s.BackupTo,       s.IncludedFrom,     s.KeyText};
        QStringList set;
        for (int i = 0; i < 10; ++i) {
            if (!values[i].isEmpty()) {
                set.append(QLatin1String(names[i]) + values[i]);
            }
        }
        steps.append(set.join(u' '));
    }
    return steps.join(QStringLiteral(" | ")).toStdString();
}

// Every macro, "[name] " and its steps.
std::string dump(const MacroTable &table) {
    QString all;
    for (const MacroDef &m : table.Macros) {
        all += u'[' + m.Name + QStringLiteral("] ") + QString::fromStdString(dump(m)) + u' ';
    }
    return all.toStdString();
}

// The macro list as "name=index" entries and its selected row; no entry may refer beyond the
// table, nor the selection beyond the list.
std::string listed(const MacroTable &table) {
    QStringList out;
    for (const MacroListEntry &e : table.List.Entries) {
        EXPECT_EQ(e.Name, table.Macros.at(size_t(e.MacroIndex)).Name); // throws beyond the table
        out.append(e.Name + u'=' + QString::number(e.MacroIndex));
    }
    EXPECT_LT(table.List.Selected, int(table.List.Entries.size()));
    return QString(out.join(u' ') + QStringLiteral(" #%1").arg(table.List.Selected)).toStdString();
}

} // namespace

TEST(MacroCompiler, StepKindsHeadersAndTyping) {
    // A pause beyond 16 bits stays a (long) pause; such an item number names no item. Comments
    // stay in header names; a macro without steps has one empty step.
    EXPECT_EQ(dump(compile("-BEFORE|  [A]  |-POWER|D 2000|END-OF-MACRO|# note|[B]|?menustate=3,EXIT|  ?menustate=3|"
                           "-VOLp # up|M \"Ra\tdio\"|M 4|L:7|L=\"jazz fm\"|D x|D 40000|M 40000|L 2.5|d 5|\t-\tOK\t|"
                           "D -99999999999|L 1e9|M 123456789012345678901234567890|{BACKUP=99999999999999999999}|-X|"
                           "[Morning] # daily|[Empty]|   ")),
              "[A] POWER | D2000 [B] ?menustate=3 EXIT | ?menustate=3 | VOLp | M:Radio | M4 | L7 | L:jazz fm | D0 | "
              "D32767 |  | L2 |  | OK | D-32768 | L1 |  | X back:-1e+20 [Morning] # dail]  [Empty]  ");
    // A header indented with a TAB is a header in both passes; so is "[" alone.
    EXPECT_EQ(dump(compile("[A]|-ONE|\t[Tabbed]\t|-TWO| \t [|-THREE|[]|I Tabbed")),
              "[A] ONE [Tabbed] TWO [] THREE [] TWO from:Tabbed ");

    // One step per move: "CLEAR" on the first, each character on the move that types it ("G"
    // takes a single "OK"). Characters the keyboard lacks are left out, and the path goes on from
    // the last key typed.
    const auto path = [](const char *pair) { return MakeKeyPath(pair).replace(u',', " | ").toStdString() + " key:"; };
    const std::string typed = "LEFT key:CLEAR | LEFT | LEFT | LEFT | OK key:A | " + path("Ab") + "b";
    EXPECT_EQ(dump(compile("[T]|S Ab|-OK|[G]|S g.|[Odd]|S A-b!|[None]|S")),
              "[T] " + typed + " | OK [G] OK key:g | " + path("g.") + ". [Odd] " + typed + " [None]  ");
}

// What the compiler cannot read it compiles as ever (an empty step, a pause of 0, a cut name),
// and names once per line: the file's name, the line's number and what was wrong.
TEST(MacroCompiler, LinesThatCannotBeReadAreNamed) {
    const MacroTable table = compile("-EARLY|[Good]|-UP|D 200|M 4|L \"jazz\"|I Good|{BACKUP=2}|?menustate=3|S ab|"
                                     "[Unclosed bracket|X marks|D notanumber|M x|I Nowhere|{BACK}|# fine|-OK");
    EXPECT_EQ(table.Problems,
              (QStringList{"macros.txt line 1: a step before the first macro's [name] belongs to no macro",
                           "macros.txt line 11: the macro's name has no closing \"]\"; it is read as "
                           "\"Unclosed bracke\"",
                           "macros.txt line 12: \"X marks\": a step starts with -, ?, D, M, L, S, I or {; this one is "
                           "left empty",
                           "macros.txt line 13: \"D notanumber\": a pause needs a number of milliseconds; it is read "
                           "as 0",
                           "macros.txt line 14: \"M x\": an item number or a \"quoted\" name is missing",
                           "macros.txt line 15: \"I Nowhere\": there is no macro named \"Nowhere\" to include",
                           "macros.txt line 16: \"{BACK}\": the only directive is {BACKUP} or {BACKUP=n}"}));
    // What is compiled does not change for being named.
    EXPECT_EQ(table.Macros.size(), 2u);
    EXPECT_EQ(table.Macros[1].Name, "Unclosed bracke");
    EXPECT_TRUE(compile("[A]|-UP|D 5|[B]|I A").Problems.isEmpty());
}

TEST(MacroCompiler, IncludesAndBackupDirectives) {
    // An I line copies what the macro holds when the line is compiled (one further down is still
    // empty), each step naming the macro it came from unless an inner I line named one; "!" may
    // be left out of the name; an unknown name gives one empty step; a macro including itself
    // copies what it holds so far, once.
    MacroTable table = compile("[First]|I Later|[Common]|-HOME|{BACKUP=0}|D 500|[Outer]|-POWER|I Common|-OK|"
                               "[Nested]|I Outer|I Missing|-DONE|[Self]|-UP|I Self|[!Hidden]|-MUTE|"
                               "[UsesHidden]|I Hidden|[Common]|-NOT ME|[Later]|-LATE|[Loop1]|I Loop2|[Loop2]|I Loop1");
    EXPECT_EQ(dump(table), "[First] from:Later [Common] HOME | D500 back:0 [Outer] POWER | HOME from:Common | "
                           "D500 back:0 from:Common | OK back:0 [Nested] POWER from:Outer | HOME from:Common | "
                           "D500 back:0 from:Common | OK back:0 from:Outer | back:0 | DONE back:0 "
                           "[Self] UP | UP from:Self | from:Self [!Hidden] MUTE [UsesHidden] MUTE from:!Hidden "
                           "[Common] NOT ME [Later] LATE [Loop1] from:Loop2 [Loop2] from:Loop2 ");
    table = compile("[B]|{BACKUP}|-ONE|-TWO|{BACKUP}|-THREE|-FOUR|{BACKUP=2}|-FIVE|"
                    "{BACKUP=0} # top|-SIX|{BACKUP=1.5}|-SEVEN|{NOPE}|-EIGHT|I C|{ BACKUP = 1 }|"
                    "-AFTER|[C]|-C1");
    // After the include (C's single empty step, compiled later) the directive applies to the
    // step after the copy: index 9, one back is 8.
    EXPECT_EQ(dump(table.Macros[0]), "ONE back:-1 | TWO back:-1 | THREE back:1 | FOUR back:1 | FIVE back:2 | "
                                     "SIX back:0 | SEVEN back:4.5 | EIGHT back:4.5 | from:C | AFTER back:8");
}

TEST(MacroCompiler, FilesHiddenMacrosAndTheList) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    MacroTable table;
    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath("macros.txt"), "[A]\r\n[!H]\r\n-UP\r\n[B]\r\n[C]\r\n"));
    LoadMacros(table, folder);
    EXPECT_EQ(listed(table), "A=0 B=2 C=3 #-1");
    ShowOrHideHiddenMacros(table, true, folder);
    EXPECT_EQ(listed(table), "A=0 !H=1 B=2 C=3 #-1");
    table.List.Selected = 3;
    ShowOrHideHiddenMacros(table, false, folder);
    EXPECT_EQ(listed(table), "A=0 B=2 C=3 #2"); // the list got shorter: its last row
    // A plain right-click while nothing hidden is shown does not reload.
    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath("macros.txt"), "[Z]"));
    table.List.Selected = 1;
    ShowOrHideHiddenMacros(table, false, folder);
    EXPECT_EQ(listed(table), "A=0 B=2 C=3 #1");
    LoadMacros(table, folder);
    EXPECT_EQ(listed(table), "Z=0 #0");
    // The file gone: one empty macro, and the list refers to nothing.
    ASSERT_TRUE(QFile::remove(dir.filePath("macros.txt")));
    LoadMacros(table, folder);
    EXPECT_EQ(listed(table), " #-1");
    EXPECT_EQ(table.Macros.size(), 1u);
}

TEST(MacroCompiler, ArbitraryInputReturnsASoundTable) {
    QRandomGenerator random(6122026);
    MacroTable table;
    // The table's promises to the list and the runner, whatever the file held.
    const auto compile = [&](const QString &text) {
        CompileMacros(table, text);
        listed(table);
        size_t steps = 0;
        for (const MacroDef &m : table.Macros) {
            ASSERT_TRUE(!m.Steps.empty() && m.Steps.size() <= size_t(MacroTable::MaxStepsPerMacro));
            steps += m.Steps.size();
        }
        ASSERT_TRUE(steps <= size_t(MacroTable::MaxSteps) && table.Macros.size() <= size_t(MacroTable::MaxMacros));
    };
    // Mostly the language's own characters, so that lines reach every step kind.
    static const char pool[] = "\r\n\r\n[]-?DMLSI{}=#\t \"ABC0123456789,.!";
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(qsizetype(random.bounded(1 << (round % 15 + 1))), Qt::Uninitialized);
        for (char &b : bytes) {
            b = random.bounded(5) == 0 ? char(random.bounded(256)) : pool[random.bounded(int(sizeof pool - 1))];
        }
        table.List.Selected = int(random.bounded(4));
        compile(QString::fromLatin1(bytes));
    }
    const QString line1MB(1 << 20, u'A');
    compile("[Long]\r\nS " + line1MB + "B\r\n[" + line1MB);
    EXPECT_EQ(table.Macros[0].Steps.size(), size_t(MacroTable::MaxStepsPerMacro));
    EXPECT_EQ(table.Macros[1].Name.size(), (1 << 20) - 1);
    compile(QStringLiteral("[\r\n").repeated(100000));
    EXPECT_EQ(table.Macros.size(), size_t(MacroTable::MaxMacros));
    // Each macro includes the one before it twice: the table would double forty times.
    QString bomb = "[M0]\r\n-UP\r\n";
    for (int i = 1; i <= 40; ++i) {
        bomb += QStringLiteral("[M%1]\r\nI M%2\r\nI M%2\r\n").arg(i).arg(i - 1);
    }
    compile(bomb + "[Last]\r\n-OK\r\n");
    EXPECT_EQ(dump(table.Macros.back()), "OK");
}

TEST(MacroCompiler, ShippedMacros) {
    MacroTable table;
    LoadMacros(table, qEnvironmentVariable("CV_TEST_DATA"));
    EXPECT_EQ(listed(table), "Wake up at volume 20=3 Play jazz=4 Leave the error screen=5 Say hello=6 #-1");
    // Every step does something: no line fell through as an unknown kind or kept a comment.
    for (const MacroDef &m : table.Macros) {
        const QString steps = QString::fromStdString(" | " + dump(m) + " | ");
        EXPECT_FALSE(steps.contains(" |  | ") || steps.contains(QRegularExpression("[#\t]"))) << steps.toStdString();
    }
    // Wake up: the menu test backs up to HOME; 25 presses down from any volume, then 8 up to 20.
    const QString wake = QString::fromStdString(dump(table.Macros[3]));
    EXPECT_TRUE(wake.startsWith("HOME | ?menustate=0 back:0 | V")) << wake.toStdString();
    EXPECT_EQ(wake.count("VOLm from:!Five down"), 25);
    EXPECT_TRUE(wake.endsWith("D300" + QString(" | VOLp").repeated(8)));
    // Play jazz: the search typed from a cleared box and started with "_", then the list search
    // and the check that the station plays.
    const QString jazz = QString::fromStdString(dump(table.Macros[4]));
    EXPECT_TRUE(jazz.contains(QRegularExpression(R"([|] \?menustate=14 [|] \w+ key:CLEAR [|].* key:j [|].* key:a [|])"
                                                 R"(.* key:z [|].* key:z [|].* key:\. [|] \?menustate=15 [|] )"
                                                 R"(\?L="jazz" [|] \?menustate=5$)")))
        << jazz.toStdString();
    EXPECT_EQ(dump(table.Macros[5]), "EXIT | ?!menustate=21");
}
