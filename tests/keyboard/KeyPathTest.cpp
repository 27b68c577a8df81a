#include "keyboard/KeyboardGrid.h"

#include <gtest/gtest.h>

namespace {

// Follows a path from a cell of the radio's keyboard and tells which key its final "OK" presses.
// The bottom row's wide keys sit at columns 3 ("_"), 4 (space) and 5 ("*"): entering the row,
// columns 0, 1..7 and 8..9 land on them; leaving it, they land on column 0, column 4 and the
// last column of the row entered. Sideways moves wrap into the next row.
QString landsOn(int row, int column, const QString &path) {
    const KeyboardGrid &grid = TheKeyboardGrid();
    const auto last = [&](int r) { return r == 4 ? 5 : grid.lastColumn(r); };
    QStringList moves = path.split(u',');
    if (moves.takeLast() != u"OK") {
        return "<no OK>";
    }
    for (const QString &m : moves) {
        const int step = m == u"UP" || m == u"LEFT" ? -1 : 1;
        if (m == u"UP" || m == u"DOWN") {
            const int to = (row + 5 + step) % 5;
            if (to == 4) {
                column = column < 1 ? 3 : (column > 7 ? 5 : 4);
            } else if (row == 4) {
                column = column == 3 ? 0 : (column == 4 ? 4 : grid.lastColumn(to));
            }
            row = to;
        } else if (m == u"LEFT" || m == u"RIGHT") {
            column += step;
            if (column < (row == 4 ? 3 : 0) || column > last(row)) { // off the row's end
                row = (row + 5 + step) % 5;
                column = step < 0 ? last(row) : (row == 4 ? 3 : 0);
            }
        } else {
            return "<bad move>";
        }
        if (column > grid.lastColumn(row)) {
            return "<off the keyboard>";
        }
    }
    return grid.Rows[row][column];
}

} // namespace

TEST(KeyPath, WorkedResultsAndCharactersOffTheKeyboard) {
    // "pair=path" rows, ending with repeats, the full stop, lower case, the far-right run from row 0.
    const QStringList cases =
        QStringLiteral("A=LEFT,LEFT,LEFT,LEFT,OK;G=OK;1=LEFT,LEFT,LEFT,LEFT,UP,UP,OK;"
                       "0=UP,LEFT,LEFT,LEFT,LEFT,LEFT,OK;P=UP,LEFT,LEFT,LEFT,LEFT,LEFT,DOWN,OK;"
                       "AP=UP,LEFT,DOWN,OK;Q0=LEFT,OK;?^=RIGHT,UP,OK;A =DOWN,DOWN,RIGHT,OK;"
                       " P=RIGHT,DOWN,DOWN,OK; 1=LEFT,DOWN,OK; L=RIGHT,UP,UP,OK;_A=UP,UP,LEFT,LEFT,LEFT,OK;"
                       "*1=DOWN,RIGHT,UP,OK;P_=LEFT,LEFT,UP,UP,LEFT,OK;Z1=DOWN,DOWN,LEFT,LEFT,LEFT,LEFT,OK;"
                       "A.=DOWN,DOWN,OK;.A=UP,UP,LEFT,LEFT,LEFT,OK;^A=LEFT,LEFT,LEFT,LEFT,OK;aa=OK;g=OK;._=OK;"
                       "1P=DOWN,LEFT,DOWN,OK;ap=UP,LEFT,DOWN,OK;APX=UP,LEFT,DOWN,OK")
            .split(u';');
    for (const QString &c : cases) {
        const QString pair = c.section(u'=', 0, 0);
        EXPECT_EQ(MakeKeyPath(pair), c.section(u'=', 1)) << "pair '" << pair.toStdString() << "'";
    }

    EXPECT_EQ(MakeKeyPath(QString()), QString());
    for (const QChar c : QStringLiteral("!-/\t\u00e9\u00df")) {
        EXPECT_FALSE(IsOnKeyboard(c)) << int(c.unicode());
        EXPECT_EQ(MakeKeyPath(c) + MakeKeyPath(u'A' + QString(c)) + MakeKeyPath(c + QStringLiteral("A")), "")
            << int(c.unicode());
    }
}

TEST(KeyPath, EveryPathLandsOnItsKey) {
    const QString keys = QStringLiteral("1234567890QWERTYUIOPASDFGHJKL^ZXCVBNM?_ *");
    for (const QChar target : keys) {
        for (const QChar start : keys) {
            // Paths up from "_" keep its column 3 (see _A above); nothing is typed after a "_".
            if (start == target || (start == u'_' && QStringLiteral("ASDFGHJKL^ZXCVBNM?").contains(target))) {
                continue;
            }
            int startRow = 2; // "^" puts the radio's cursor back on "G"
            int startColumn = 4;
            ASSERT_TRUE(start == u'^' || TheKeyboardGrid().find(start, startRow, startColumn));
            const QString path = MakeKeyPath(QString(start) + target);
            EXPECT_EQ(landsOn(startRow, startColumn, path), QString(target))
                << "'" << start.toLatin1() << "' to '" << target.toLatin1() << "': " << path.toStdString();
        }
    }
}

TEST(KeyPath, TypingATextChainsThePathsAndSkipsWhatTheKeyboardLacks) {
    // Each character's path starts where the last one ended: "G", then "A" after "G" ...
    EXPECT_EQ(TypingKeys(QStringLiteral("ga")).join(u','), QStringLiteral("OK,LEFT,LEFT,LEFT,LEFT,OK"));
    // A character off the keyboard presses nothing and does not move the starting point: the
    // path to "a" starts at "g", exactly as if the "!" had not been there.
    EXPECT_EQ(TypingKeys(QStringLiteral("g!a")), TypingKeys(QStringLiteral("ga")));
    EXPECT_EQ(TypingKeys(QStringLiteral("\u00e9a")), TypingKeys(QStringLiteral("a")));
    EXPECT_TRUE(TypingKeys(QString()).isEmpty());
    EXPECT_TRUE(TypingKeys(QStringLiteral("!!")).isEmpty());

    // Followed on the grid, a whole text ends on the key of its last character, each "OK"
    // typing the next character.
    const QString text = QStringLiteral("jazz 90s.");
    int row = 2;
    int column = 4;
    QStringList path;
    qsizetype typed = 0;
    for (const QString &key : TypingKeys(text)) {
        path << key;
        if (key == u"OK") {
            const QString landed = landsOn(row, column, path.join(u','));
            const QChar wanted = text[typed] == u'.' ? QChar(u'_') : text[typed].toUpper();
            ASSERT_EQ(landed, QString(wanted)) << "character " << typed;
            ASSERT_TRUE(TheKeyboardGrid().find(landed, row, column));
            path.clear();
            ++typed;
        }
    }
    EXPECT_EQ(typed, text.size());
}
