#include "macros/MacroCompiler.h"

#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

const MacroDef &named(const MacroTable &table, const char *name) {
    for (const MacroDef &m : table.Macros) {
        if (m.Name == QLatin1String(name)) {
            return m;
        }
    }
    static const MacroDef none;
    ADD_FAILURE() << "no macro " << name;
    return none;
}

int countCommand(const MacroDef &m, const char *command, const char *includedFrom = nullptr) {
    int n = 0;
    for (const MacroStep &s : m.Steps) {
        if (s.Commandx == QLatin1String(command) &&
            (includedFrom == nullptr || s.IncludedFrom == QLatin1String(includedFrom))) {
            ++n;
        }
    }
    return n;
}

} // namespace

TEST(ShippedMacros, LoadWithoutSurprises) {
    const QString folder = qEnvironmentVariable("CV_TEST_DATA");
    ASSERT_FALSE(folder.isEmpty());
    MacroTable table;
    LoadMacros(table, folder);

    QStringList listed;
    for (const MacroListEntry &e : table.List.Entries) {
        listed.append(e.Name);
    }
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Wake up at volume 20"), QStringLiteral("Play jazz"),
                                   QStringLiteral("Leave the error screen"), QStringLiteral("Say hello")}));
    for (const MacroDef &m : table.Macros) {
        for (const MacroStep &s : m.Steps) {
            // Every step does something: no line fell through as an unknown kind.
            const bool does = !s.Commandx.isEmpty() || s.Delayx != -1 || !s.Test.isEmpty() || s.MenuItem != -1;
            EXPECT_TRUE(does) << m.Name.toStdString();
            EXPECT_FALSE(s.Commandx.contains(u'\t') || s.Commandx.contains(u'#')) << s.Commandx.toStdString();
        }
    }

    // Wake up: the menu test backs up to HOME; 25 presses down from any volume, then 8 up to 20.
    const MacroDef &wake = named(table, "Wake up at volume 20");
    ASSERT_GE(wake.Steps.size(), 2u);
    EXPECT_EQ(wake.Steps[0].Commandx, QStringLiteral("HOME"));
    EXPECT_EQ(wake.Steps[1].Test, QStringLiteral("menustate=0"));
    EXPECT_EQ(wake.Steps[1].BackupTo, QStringLiteral("0"));
    EXPECT_EQ(countCommand(wake, "VOLm", "!Five down"), 25);
    EXPECT_EQ(countCommand(wake, "VOLp"), 8);
    EXPECT_EQ(wake.Steps.back().Commandx, QStringLiteral("VOLp"));

    // Play jazz: navigation copied in, the search typed from a cleared box and submitted with
    // "_", then the list search and the check that it plays.
    const MacroDef &jazz = named(table, "Play jazz");
    EXPECT_EQ(jazz.Steps.front().IncludedFrom, QStringLiteral("!Main menu item 1"));
    QStringList typed;
    qsizetype firstTyping = -1;
    for (size_t i = 0; i < jazz.Steps.size(); ++i) {
        const MacroStep &s = jazz.Steps[i];
        if (!s.KeyText.isEmpty()) {
            typed.append(s.KeyText);
            if (firstTyping < 0) {
                firstTyping = qsizetype(i);
            }
        }
    }
    EXPECT_EQ(typed, (QStringList{"CLEAR", "j", "a", "z", "z", "."}));
    ASSERT_GT(firstTyping, 0);
    EXPECT_EQ(jazz.Steps[size_t(firstTyping) - 1].Test, QStringLiteral("menustate=14"));
    const qsizetype n = qsizetype(jazz.Steps.size());
    ASSERT_GT(n, 3);
    EXPECT_EQ(jazz.Steps[size_t(n - 3)].Test, QStringLiteral("menustate=15"));
    EXPECT_EQ(jazz.Steps[size_t(n - 2)].Test, QStringLiteral("L=\"jazz\""));
    EXPECT_EQ(jazz.Steps[size_t(n - 1)].Test, QStringLiteral("menustate=5"));

    const MacroDef &leave = named(table, "Leave the error screen");
    ASSERT_EQ(leave.Steps.size(), 2u);
    EXPECT_EQ(leave.Steps[1].Test, QStringLiteral("!menustate=21"));
}
