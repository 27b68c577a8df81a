#include "macros/MacroCompiler.h"

#include "keyboard/KeyboardGrid.h"
#include "platform/FileBits.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Readable failures: the fields that are set.
void PrintTo(const MacroStep &s, std::ostream *out) {
    const MacroStep d;
    *out << "{";
    const auto text = [&](const char *name, const QString &v, const QString &def) {
        if (v != def) {
            *out << name << "='" << v.toStdString() << "' ";
        }
    };
    text("Cmd", s.Commandx, d.Commandx);
    text("Test", s.Test, d.Test);
    text("Back", s.BackupTo, d.BackupTo);
    text("Incl", s.IncludedFrom, d.IncludedFrom);
    text("Key", s.KeyText, d.KeyText);
    text("MSearch", s.MenuSearch, d.MenuSearch);
    text("LSearch", s.ListSearch, d.ListSearch);
    *out << "M=" << s.MenuItem << " L=" << s.ListItem << " D=" << s.Delayx << "}";
}

namespace {

MacroTable compile(std::initializer_list<const char *> lines) {
    QStringList text;
    for (const char *line : lines) {
        text.append(QString::fromLatin1(line));
    }
    MacroTable table;
    CompileMacros(table, text.join(QStringLiteral("\r\n")));
    return table;
}

const MacroDef *find(const MacroTable &table, const QString &name) {
    for (const MacroDef &m : table.Macros) {
        if (m.Name == name) {
            return &m;
        }
    }
    ADD_FAILURE() << "no macro " << name.toStdString();
    return nullptr;
}

MacroStep command(const char *text, const char *includedFrom = "", const char *backupTo = "") {
    MacroStep s;
    s.Commandx = QString::fromLatin1(text);
    s.IncludedFrom = QString::fromLatin1(includedFrom);
    s.BackupTo = QString::fromLatin1(backupTo);
    return s;
}

QStringList commands(const MacroDef &m) {
    QStringList out;
    for (const MacroStep &s : m.Steps) {
        out.append(s.Commandx);
    }
    return out;
}

// The table's promises to the list and the runner, whatever the file held.
void expectSound(const MacroTable &table) {
    ASSERT_FALSE(table.Macros.empty());
    size_t steps = 0;
    for (const MacroDef &m : table.Macros) {
        EXPECT_FALSE(m.Steps.empty());
        EXPECT_LE(m.Steps.size(), size_t(MacroTable::MaxStepsPerMacro));
        steps += m.Steps.size();
    }
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
    const MacroTable table = compile({
        "-POWER",
        "  [A]  ",
        "-POWER",
        "D 2000",
        "END-OF-MACRO",
        "# a comment",
        "[B]",
        "?menustate=3,EXIT",
        "  ?menustate=3",
        "-VOLp # turn it up",
        "M \"Ra\tdio\"",
        "M 4",
        "L:7",
        "L=\"jazz fm\"",
        "D x",
        "D 40000",
        "M 40000",
        "L 2.5",
        "d 5",
        "\t-\tOK\t",
        "[Morning] # daily",
        "[Empty]",
        "   ",
    });
    ASSERT_EQ(table.Macros.size(), 4u);
    const MacroDef &a = table.Macros[0];
    EXPECT_EQ(a.Name, QStringLiteral("A"));
    ASSERT_EQ(a.Steps.size(), 2u);
    EXPECT_EQ(a.Steps[0], command("POWER"));
    MacroStep pause;
    pause.Delayx = 2000;
    EXPECT_EQ(a.Steps[1], pause);

    const std::vector<MacroStep> &b = table.Macros[1].Steps;
    ASSERT_EQ(b.size(), 13u);
    EXPECT_EQ(b[0].Test, QStringLiteral("menustate=3"));
    EXPECT_EQ(b[0].Commandx, QStringLiteral("EXIT"));
    EXPECT_EQ(b[1].Test, QStringLiteral("menustate=3"));
    EXPECT_EQ(b[1].Commandx, QString());
    EXPECT_EQ(b[2], command("VOLp"));
    EXPECT_EQ(b[3].MenuSearch, QStringLiteral("Radio"));
    EXPECT_EQ(b[3].MenuItem, -1);
    EXPECT_EQ(b[4].MenuItem, 4);
    EXPECT_EQ(b[5].ListItem, 7);
    EXPECT_EQ(b[6].ListSearch, QStringLiteral("jazz fm"));
    EXPECT_EQ(b[7].Delayx, 0);
    EXPECT_EQ(b[8].Delayx, 32767); // a long pause stays a pause
    EXPECT_EQ(b[9].MenuItem, -1);  // no such item
    EXPECT_EQ(b[10].ListItem, 2);
    EXPECT_EQ(b[11], MacroStep{});
    EXPECT_EQ(b[12], command("OK"));

    // Comments are not removed from header lines; a macro without steps has one empty step.
    EXPECT_EQ(table.Macros[2].Name, QStringLiteral("Morning] # dail"));
    EXPECT_EQ(table.Macros[3].Steps, std::vector<MacroStep>{MacroStep{}});
}

TEST(MacroCompiler, HeadersAgreeInBothPasses) {
    // A header indented with a TAB is a header in both passes; so is "[" alone.
    const MacroTable table = compile({"[A]", "-ONE", "\t[Tabbed]\t", "-TWO", " \t [", "-THREE", "[]", "I Tabbed"});
    ASSERT_EQ(table.Macros.size(), 4u);
    EXPECT_EQ(table.Macros[1].Name, QStringLiteral("Tabbed"));
    EXPECT_EQ(commands(table.Macros[0]), QStringList{QStringLiteral("ONE")});
    EXPECT_EQ(commands(table.Macros[1]), QStringList{QStringLiteral("TWO")});
    EXPECT_EQ(table.Macros[2].Name, QString());
    EXPECT_EQ(commands(table.Macros[2]), QStringList{QStringLiteral("THREE")});
    EXPECT_EQ(table.Macros[3].Steps, std::vector<MacroStep>{command("TWO", "Tabbed")});
    expectSound(table);
}

TEST(MacroCompiler, Includes) {
    const MacroTable table = compile({
        "[First]",  "I Later",   "[Common]", "-HOME",        "{BACKUP=0}", "D 500",    "[Outer]", "-POWER",
        "I Common", "-OK",       "[Nested]", "I Outer",      "I Missing",  "-DONE",    "[Self]",  "-UP",
        "I Self",   "[!Hidden]", "-MUTE",    "[UsesHidden]", "I Hidden",   "[Common]", "-NOT ME", "[Later]",
        "-LATE",    "[Loop1]",   "I Loop2",  "[Loop2]",      "I Loop1",
    });
    // A macro further down the file is still empty when it is included.
    EXPECT_EQ(find(table, QStringLiteral("First"))->Steps, std::vector<MacroStep>{command("", "Later")});

    MacroStep pause;
    pause.Delayx = 500;
    pause.BackupTo = QStringLiteral("0");
    pause.IncludedFrom = QStringLiteral("Common");
    const std::vector<MacroStep> outer{command("POWER"), command("HOME", "Common"), pause, command("OK", "", "0")};
    EXPECT_EQ(find(table, QStringLiteral("Outer"))->Steps, outer);

    // Copies keep the name of the macro an inner I line copied them from; an unknown name gives
    // one empty step.
    std::vector<MacroStep> nested = outer;
    nested[0].IncludedFrom = QStringLiteral("Outer");
    nested[3].IncludedFrom = QStringLiteral("Outer");
    nested.push_back(command("", "", "0"));
    nested.push_back(command("DONE", "", "0"));
    EXPECT_EQ(find(table, QStringLiteral("Nested"))->Steps, nested);

    // Including itself copies what the macro holds so far, once.
    EXPECT_EQ(find(table, QStringLiteral("Self"))->Steps,
              (std::vector<MacroStep>{command("UP"), command("UP", "Self"), command("", "Self")}));
    EXPECT_EQ(find(table, QStringLiteral("UsesHidden"))->Steps, std::vector<MacroStep>{command("MUTE", "!Hidden")});
    EXPECT_EQ(find(table, QStringLiteral("Loop2"))->Steps, std::vector<MacroStep>{command("", "Loop2")});
    expectSound(table);
}

TEST(MacroCompiler, TypingSteps) {
    const MacroTable table = compile({"[T]", "S Ab", "-OK", "[G]", "S g-!G.", "[Odd]", "S a-b", "[None]", "S"});
    // Expected: one step per move, "CLEAR" on the first, each character on its last ("OK").
    std::vector<MacroStep> typed;
    const QString text = QStringLiteral("Ab");
    for (qsizetype c = 0; c < text.size(); ++c) {
        const QStringList moves = MakeKeyPath(c == 0 ? text.left(1) : text.mid(c - 1, 2)).split(u',');
        for (const QString &move : moves) {
            typed.push_back(command(move.toLatin1().constData()));
        }
        typed.back().KeyText = QString(text[c]);
    }
    typed.front().KeyText = QStringLiteral("CLEAR");
    ASSERT_GT(typed.size(), 2u);
    std::vector<MacroStep> expected = typed;
    expected.push_back(command("OK"));
    EXPECT_EQ(find(table, QStringLiteral("T"))->Steps, expected);

    // "G" needs a single "OK", whose character then replaces "CLEAR"; characters the keyboard
    // does not have are left out and the next path starts from the last key typed.
    const MacroDef *g = find(table, QStringLiteral("G"));
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->Steps.size(), 1u + 1u + MakeKeyPath(QStringLiteral("G.")).count(u',') + 1u);
    EXPECT_EQ(g->Steps[0].KeyText, QStringLiteral("g"));
    EXPECT_EQ(g->Steps[1].KeyText, QStringLiteral("G"));
    EXPECT_EQ(g->Steps[1].Commandx, QStringLiteral("OK"));
    EXPECT_EQ(g->Steps.back().KeyText, QStringLiteral("."));
    typed.front().KeyText = QStringLiteral("CLEAR");
    std::vector<MacroStep> odd = typed;
    odd[odd.size() - 1].KeyText = QStringLiteral("b");
    for (MacroStep &s : odd) {
        if (s.KeyText == u"A") {
            s.KeyText = QStringLiteral("a");
        }
    }
    EXPECT_EQ(find(table, QStringLiteral("Odd"))->Steps, odd);
    EXPECT_EQ(find(table, QStringLiteral("None"))->Steps, std::vector<MacroStep>{MacroStep{}});
}

TEST(MacroCompiler, BackupDirectives) {
    const MacroTable table = compile({"[B]",    "{BACKUP}",       "-ONE",       "-TWO",   "{BACKUP}",
                                      "-THREE", "-FOUR",          "{BACKUP=2}", "-FIVE",  "{BACKUP=0} # from the top",
                                      "-SIX",   "{BACKUP=1.5}",   "-SEVEN",     "{NOPE}", "-EIGHT",
                                      "I C",    "{ BACKUP = 1 }", "-AFTER",     "[C]",    "-C1",
                                      "-C2"});
    const std::vector<MacroStep> &s = table.Macros[0].Steps;
    const QStringList backups = [&] {
        QStringList out;
        for (const MacroStep &step : s) {
            out.append(step.Commandx + u'=' + step.BackupTo);
        }
        return out;
    }();
    // The include copies C's single empty step (C is compiled later); the directive after it
    // applies to the step after the copies: index 9, one back is 8.
    EXPECT_EQ(backups, (QStringList{"ONE=-1", "TWO=-1", "THREE=1", "FOUR=1", "FIVE=2", "SIX=0", "SEVEN=4.5",
                                    "EIGHT=4.5", "=", "AFTER=8"}));
}

TEST(MacroCompiler, FilesHiddenMacrosAndTheList) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    MacroTable table;
    LoadMacros(table, folder); // no file at all
    EXPECT_EQ(table.Macros.size(), 1u);
    EXPECT_TRUE(table.List.Entries.empty());

    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath(QStringLiteral("qx_macros.txt")), QStringLiteral("[Q]")));
    LoadMacros(table, folder);
    EXPECT_EQ(table.List.Entries, (std::vector<MacroListEntry>{MacroListEntry{QStringLiteral("Q"), 0}}));
    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath(QStringLiteral("macros.txt")),
                                         QStringLiteral("[A]\r\n[!H]\r\n-UP\r\n[B]\r\n[C]\r\n")));
    LoadMacros(table, folder);
    EXPECT_EQ(table.List.Entries, (std::vector<MacroListEntry>{
                                      {QStringLiteral("A"), 0}, {QStringLiteral("B"), 2}, {QStringLiteral("C"), 3}}));
    EXPECT_EQ(table.List.Selected, -1);

    ShowOrHideHiddenMacros(table, true, folder);
    ASSERT_EQ(table.List.Entries.size(), 4u);
    EXPECT_EQ(table.List.Entries[1], (MacroListEntry{QStringLiteral("!H"), 1}));
    table.List.Selected = 3;
    ShowOrHideHiddenMacros(table, false, folder);
    ASSERT_EQ(table.List.Entries.size(), 3u);
    EXPECT_EQ(table.List.Selected, 2); // the list got shorter: its last row
    // A plain right-click while nothing hidden is shown does not reload.
    ASSERT_TRUE(FileBits::WriteWholeFile(dir.filePath(QStringLiteral("macros.txt")), QStringLiteral("[Z]")));
    ShowOrHideHiddenMacros(table, false, folder);
    EXPECT_EQ(table.List.Entries.size(), 3u);

    table.List.Selected = 1;
    LoadMacros(table, folder);
    EXPECT_EQ(table.List.Entries, (std::vector<MacroListEntry>{MacroListEntry{QStringLiteral("Z"), 0}}));
    EXPECT_EQ(table.List.Selected, 0);

    // Both files gone: the table is one empty macro and the list refers to nothing.
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("macros.txt"))));
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("qx_macros.txt"))));
    LoadMacros(table, folder);
    EXPECT_EQ(table.Macros.size(), 1u);
    EXPECT_TRUE(table.List.Entries.empty());
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
    bomb += QStringLiteral("[Last]\r\n-OK\r\n");
    CompileMacros(table, bomb);
    expectSound(table);
    EXPECT_EQ(table.Macros.back().Name, QStringLiteral("Last"));

    // Numbers far outside 16 bits.
    CompileMacros(table, QStringLiteral("[N]\r\nD -99999999999\r\nL 1e9\r\nM 123456789012345678901234567890\r\n"
                                        "{BACKUP=99999999999999999999}\r\n-X"));
    expectSound(table);
    EXPECT_EQ(table.Macros[0].Steps[0].Delayx, -32768);
    EXPECT_EQ(table.Macros[0].Steps[1].ListItem, 1);
    EXPECT_EQ(table.Macros[0].Steps[2].MenuItem, -1);
    EXPECT_EQ(table.Macros[0].Steps[3].BackupTo, QStringLiteral("-1e+20"));
}
