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
    QStringList steps;
    for (const MacroStep &s : m.Steps) {
        QStringList f;
        const auto text = [&](const char *name, const QString &v) {
            if (!v.isEmpty()) {
                f.append(QLatin1String(name) + v);
            }
        };
        const auto number = [&](const char *name, qint16 v) {
            if (v != -1) {
                f.append(QLatin1String(name) + QString::number(v));
            }
        };
        text("?", s.Test);
        text("", s.Commandx);
        number("D", s.Delayx);
        number("M", s.MenuItem);
        number("L", s.ListItem);
        text("M:", s.MenuSearch);
        text("L:", s.ListSearch);
        text("back:", s.BackupTo);
        text("from:", s.IncludedFrom);
        text("key:", s.KeyText);
        steps.append(f.join(u' '));
    }
    return steps.join(QStringLiteral(" | ")).toStdString();
}

std::string dump(const MacroTable &table, const char *name) {
    for (const MacroDef &m : table.Macros) {
        if (m.Name == QLatin1String(name)) {
            return dump(m);
        }
    }
    return "<no macro>";
}

// The table's promises to the list and the runner, whatever the file held.
void expectSound(const MacroTable &table) {
    size_t steps = 0;
    for (const MacroDef &m : table.Macros) {
        EXPECT_FALSE(m.Steps.empty());
        EXPECT_LE(m.Steps.size(), size_t(MacroTable::MaxStepsPerMacro));
        steps += m.Steps.size();
    }
    EXPECT_GE(table.Macros.size(), 1u);
    EXPECT_LE(table.Macros.size(), size_t(MacroTable::MaxMacros));
    EXPECT_LE(steps, size_t(MacroTable::MaxSteps));
    for (const MacroListEntry &e : table.List.Entries) {
        ASSERT_GE(e.MacroIndex, 0);
        ASSERT_LT(size_t(e.MacroIndex), table.Macros.size());
        EXPECT_EQ(e.Name, table.Macros[size_t(e.MacroIndex)].Name);
    }
    EXPECT_LT(table.List.Selected, int(table.List.Entries.size()));
}

} // namespace

TEST(MacroCompiler, StepKinds) {
    const MacroTable table = compile("-BEFORE|  [A]  |-POWER|D 2000|END-OF-MACRO|# note|[B]|?menustate=3,EXIT|"
                                     "  ?menustate=3|-VOLp # up|M \"Ra\tdio\"|M 4|L:7|L=\"jazz fm\"|D x|D 40000|"
                                     "M 40000|L 2.5|d 5|\t-\tOK\t|[Morning] # daily|[Empty]|   ");
    ASSERT_EQ(table.Macros.size(), 4u);
    EXPECT_EQ(dump(table.Macros[0]), "POWER | D2000");
    // D 40000 stays a (long) pause; M 40000 names no item.
    EXPECT_EQ(dump(table.Macros[1]), "?menustate=3 EXIT | ?menustate=3 | VOLp | M:Radio | M4 | L7 | L:jazz fm | D0 | "
                                     "D32767 |  | L2 |  | OK");
    // Comments stay in header names; a macro without steps has one empty step.
    EXPECT_EQ(table.Macros[2].Name, QStringLiteral("Morning] # dail"));
    EXPECT_EQ(dump(table.Macros[3]), "");
}

TEST(MacroCompiler, HeadersAgreeInBothPasses) {
    // A header indented with a TAB is a header in both passes; so is "[" alone.
    const MacroTable table = compile("[A]|-ONE|\t[Tabbed]\t|-TWO| \t [|-THREE|[]|I Tabbed");
    ASSERT_EQ(table.Macros.size(), 4u);
    EXPECT_EQ(table.Macros[1].Name, QStringLiteral("Tabbed"));
    EXPECT_EQ(table.Macros[2].Name, QString());
    EXPECT_EQ(dump(table.Macros[0]) + "/" + dump(table.Macros[1]) + "/" + dump(table.Macros[2]), "ONE/TWO/THREE");
    EXPECT_EQ(dump(table.Macros[3]), "TWO from:Tabbed");
}

TEST(MacroCompiler, Includes) {
    const MacroTable table = compile("[First]|I Later|[Common]|-HOME|{BACKUP=0}|D 500|[Outer]|-POWER|I Common|-OK|"
                                     "[Nested]|I Outer|I Missing|-DONE|[Self]|-UP|I Self|[!Hidden]|-MUTE|"
                                     "[UsesHidden]|I Hidden|[Common]|-NOT ME|[Later]|-LATE|"
                                     "[Loop1]|I Loop2|[Loop2]|I Loop1");
    // A macro further down the file is still empty when it is included.
    EXPECT_EQ(dump(table, "First"), "from:Later");
    EXPECT_EQ(dump(table, "Outer"), "POWER | HOME from:Common | D500 back:0 from:Common | OK back:0");
    // Copies keep the name of the macro an inner I line took them from; an unknown name gives
    // one empty step.
    EXPECT_EQ(dump(table, "Nested"), "POWER from:Outer | HOME from:Common | D500 back:0 from:Common | "
                                     "OK back:0 from:Outer | back:0 | DONE back:0");
    // Including itself copies what the macro holds so far, once.
    EXPECT_EQ(dump(table, "Self"), "UP | UP from:Self | from:Self");
    EXPECT_EQ(dump(table, "UsesHidden"), "MUTE from:!Hidden");
    EXPECT_EQ(dump(table, "Loop2"), "from:Loop2");
}

TEST(MacroCompiler, TypingSteps) {
    const MacroTable table = compile("[T]|S Ab|-OK|[G]|S g.|[Odd]|S A-b!|[None]|S");
    // One step per move: "CLEAR" on the first, each character on the move that types it.
    QStringList expected;
    const QStringList a = MakeKeyPath(QStringLiteral("A")).split(u',');
    const QStringList ab = MakeKeyPath(QStringLiteral("Ab")).split(u',');
    for (qsizetype i = 0; i < a.size() + ab.size(); ++i) {
        const bool inA = i < a.size();
        const QString key = i == 0                          ? QStringLiteral(" key:CLEAR")
                            : i == a.size() - 1             ? QStringLiteral(" key:A")
                            : i == a.size() + ab.size() - 1 ? QStringLiteral(" key:b")
                                                            : QString();
        expected.append((inA ? a[i] : ab[i - a.size()]) + key);
    }
    ASSERT_GE(a.size(), 2);
    EXPECT_EQ(dump(table, "T"), expected.join(QStringLiteral(" | ")).toStdString() + " | OK");
    // Characters the keyboard lacks are left out, and the path goes on from the last key typed.
    EXPECT_EQ(dump(table, "Odd"), expected.join(QStringLiteral(" | ")).toStdString());
    // "G" takes a single "OK": its character replaces "CLEAR".
    const std::string g = dump(table, "G");
    EXPECT_EQ(g.substr(0, 11), "OK key:g | ");
    EXPECT_EQ(g.substr(g.size() - 11), " | OK key:.");
    EXPECT_EQ(dump(table, "None"), "");
}

TEST(MacroCompiler, BackupDirectives) {
    const MacroTable table = compile("[B]|{BACKUP}|-ONE|-TWO|{BACKUP}|-THREE|-FOUR|{BACKUP=2}|-FIVE|"
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
    const auto write = [&](const char *name, const char *text) {
        ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath(QLatin1String(name)), QString::fromLatin1(text)));
    };
    const auto listed = [](const MacroTable &t) {
        QStringList out;
        for (const MacroListEntry &e : t.List.Entries) {
            out.append(e.Name + u'=' + QString::number(e.MacroIndex));
        }
        return out.join(u' ').toStdString();
    };
    MacroTable table;
    LoadMacros(table, folder); // no file at all
    EXPECT_EQ(listed(table), "");

    write("qx_macros.txt", "[Q]");
    LoadMacros(table, folder);
    EXPECT_EQ(listed(table), "Q=0");
    write("macros.txt", "[A]\r\n[!H]\r\n-UP\r\n[B]\r\n[C]\r\n");
    LoadMacros(table, folder);
    EXPECT_EQ(listed(table), "A=0 B=2 C=3");
    EXPECT_EQ(table.List.Selected, -1);

    ShowOrHideHiddenMacros(table, true, folder);
    EXPECT_EQ(listed(table), "A=0 !H=1 B=2 C=3");
    table.List.Selected = 3;
    ShowOrHideHiddenMacros(table, false, folder);
    EXPECT_EQ(listed(table), "A=0 B=2 C=3");
    EXPECT_EQ(table.List.Selected, 2); // the list got shorter: its last row
    // A plain right-click while nothing hidden is shown does not reload.
    write("macros.txt", "[Z]");
    ShowOrHideHiddenMacros(table, false, folder);
    EXPECT_EQ(listed(table), "A=0 B=2 C=3");
    table.List.Selected = 1;
    LoadMacros(table, folder);
    EXPECT_EQ(listed(table), "Z=0");
    EXPECT_EQ(table.List.Selected, 0);

    // Both files gone: one empty macro, and the list refers to nothing.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("macros.txt"))));
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("qx_macros.txt"))));
    LoadMacros(table, folder);
    EXPECT_EQ(table.Macros.size(), 1u);
    EXPECT_EQ(listed(table), "");
    EXPECT_EQ(table.List.Selected, -1);
}

TEST(MacroCompiler, ArbitraryInputReturnsASoundTable) {
    QRandomGenerator random(6122026);
    MacroTable table;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(qsizetype(random.bounded(1 << (round % 15 + 1))), Qt::Uninitialized);
        for (char &b : bytes) {
            // Mostly the language's own characters, so that lines reach every step kind.
            static const char pool[] = "\r\n\r\n[]-?DMLSI{}=#\t \"ABC0123456789,.!";
            b = random.bounded(5) == 0 ? char(random.bounded(256)) : pool[random.bounded(int(sizeof pool - 1))];
        }
        table.List.Selected = int(random.bounded(4));
        CompileMacros(table, QString::fromLatin1(bytes));
        expectSound(table);
    }

    const QString line1MB(1 << 20, u'A');
    CompileMacros(table, QStringLiteral("[Long]\r\nS ") + line1MB + QStringLiteral("B\r\n[") + line1MB);
    expectSound(table);
    EXPECT_EQ(table.Macros[0].Steps.size(), size_t(MacroTable::MaxStepsPerMacro));
    EXPECT_EQ(table.Macros[1].Name.size(), (1 << 20) - 1);

    CompileMacros(table, QStringLiteral("[\r\n").repeated(100000));
    expectSound(table);
    EXPECT_EQ(table.Macros.size(), size_t(MacroTable::MaxMacros));

    // Each macro includes the one before it twice: the table would double forty times.
    QString bomb = QStringLiteral("[M0]\r\n-UP\r\n");
    for (int i = 1; i <= 40; ++i) {
        bomb += QStringLiteral("[M%1]\r\nI M%2\r\nI M%2\r\n").arg(i).arg(i - 1);
    }
    CompileMacros(table, bomb + QStringLiteral("[Last]\r\n-OK\r\n"));
    expectSound(table);
    EXPECT_EQ(dump(table, "Last"), "OK");

    // Numbers far outside 16 bits.
    CompileMacros(table, QStringLiteral("[N]\r\nD -99999999999\r\nL 1e9\r\nM 123456789012345678901234567890\r\n"
                                        "{BACKUP=99999999999999999999}\r\n-X"));
    EXPECT_EQ(dump(table, "N"), "D-32768 | L1 |  | X back:-1e+20");
}

TEST(MacroCompiler, ShippedMacros) {
    MacroTable table;
    LoadMacros(table, qEnvironmentVariable("CV_TEST_DATA"));
    QStringList listed;
    for (const MacroListEntry &e : table.List.Entries) {
        listed.append(e.Name);
    }
    EXPECT_EQ(listed.join(u'/'), QStringLiteral("Wake up at volume 20/Play jazz/Leave the error screen/Say hello"));
    // Every step does something: no line fell through as an unknown kind or kept a comment.
    for (const MacroDef &m : table.Macros) {
        EXPECT_FALSE(QString::fromStdString(" | " + dump(m) + " | ").contains(QStringLiteral(" |  | ")));
        EXPECT_FALSE(QString::fromStdString(dump(m)).contains(QRegularExpression(QStringLiteral("[#\t]"))));
    }
    // Wake up: the menu test backs up to HOME; 25 presses down from any volume, then 8 up to 20.
    const std::string wake = dump(table, "Wake up at volume 20");
    EXPECT_EQ(wake.substr(0, 30), "HOME | ?menustate=0 back:0 | V");
    const QString w = QString::fromStdString(wake);
    EXPECT_EQ(w.count(QStringLiteral("VOLm from:!Five down")), 25);
    EXPECT_TRUE(w.endsWith(QStringLiteral("D300 | VOLp | VOLp | VOLp | VOLp | VOLp | VOLp | VOLp | VOLp")));
    // Play jazz: navigation copied in, the search typed from a cleared box and started with "_",
    // then the list search and the check that the station plays.
    const QString jazz = QString::fromStdString(dump(table, "Play jazz"));
    EXPECT_TRUE(jazz.startsWith(QStringLiteral("HOME from:!Main menu item 1 | ?menustate=0 from:")));
    const QRegularExpression typing(QStringLiteral("[|] \\?menustate=14 [|] \\w+ key:CLEAR [|].* key:j [|].* key:a "
                                                   "[|].* key:z [|].* key:z [|].* key:\\. [|] \\?menustate=15 [|] "
                                                   "\\?L=\"jazz\" [|] \\?menustate=5$"));
    EXPECT_TRUE(typing.match(jazz).hasMatch()) << jazz.toStdString();
    EXPECT_EQ(dump(table, "Leave the error screen"), "EXIT | ?!menustate=21");
}
