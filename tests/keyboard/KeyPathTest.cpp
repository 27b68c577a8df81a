#include "keyboard/KeyboardGrid.h"

#include <gtest/gtest.h>

namespace {

// The radio's keyboard as a cursor that follows the moves: the bottom row holds three wide keys
// at columns 3 ("_"), 4 (space) and 5 ("*"). Entering it from above, or by wrapping up from row
// 0, columns 0, 1..7 and 8..9 land on "_", space and "*"; leaving it, up or down, "_", space and
// "*" land on column 0, column 4 and the last column of the row entered.
struct Cursor {
    const KeyboardGrid &grid = TheKeyboardGrid();
    int row = 2;
    int column = 4;
    bool lost = false; // the cursor went to a cell the keyboard does not have

    static int bottomKey(int column) { return column < 1 ? 3 : (column > 7 ? 5 : 4); }

    void move(const QString &m) {
        if (m == u"UP") {
            if (row == 0) {
                row = 4;
                column = bottomKey(column);
            } else if (row == 4) {
                row = 3;
                column = column == 3 ? 0 : (column == 4 ? 4 : 8);
            } else {
                --row;
            }
        } else if (m == u"DOWN") {
            if (row == 4) {
                row = 0;
                column = column == 3 ? 0 : (column == 4 ? 4 : 9);
            } else if (row == 3) {
                row = 4;
                column = bottomKey(column);
            } else {
                ++row;
            }
        } else if (m == u"LEFT") {
            if (row == 4) {
                column == 3 ? (row = 3, column = 8) : --column;
            } else if (column > 0) {
                --column;
            } else {
                row = row == 0 ? 4 : row - 1;
                column = row == 4 ? 5 : grid.lastColumn(row);
            }
        } else if (m == u"RIGHT") {
            if (row == 4) {
                column == 5 ? (row = 0, column = 0) : ++column;
            } else if (column < grid.lastColumn(row)) {
                ++column;
            } else {
                ++row;
                column = row == 4 ? 3 : 0;
            }
        } else {
            lost = true;
        }
        if (row != 4 && column > grid.lastColumn(row)) {
            lost = true;
        }
    }

    void place(const QString &key) { ASSERT_TRUE(grid.find(key, row, column)) << key.toStdString(); }

    // Follows the path and tells which key the final "OK" presses.
    QString type(const QString &path) {
        const QStringList items = path.split(u',');
        EXPECT_EQ(items.last(), QStringLiteral("OK")) << path.toStdString();
        for (qsizetype i = 0; i + 1 < items.size(); ++i) {
            move(items[i]);
        }
        return lost ? QStringLiteral("<lost>") : grid.Rows[row][column];
    }
};

const QString allKeys = QStringLiteral("1234567890QWERTYUIOPASDFGHJKL^ZXCVBNM?_ *");

} // namespace

TEST(KeyPath, WorkedResults) {
    const struct {
        const char16_t *pair;
        const char *path;
    } cases[] = {
        {u"A", "LEFT,LEFT,LEFT,LEFT,OK"},
        {u"G", "OK"},
        {u"1", "LEFT,LEFT,LEFT,LEFT,UP,UP,OK"},
        {u"0", "UP,LEFT,LEFT,LEFT,LEFT,LEFT,OK"},
        {u"P", "UP,LEFT,LEFT,LEFT,LEFT,LEFT,DOWN,OK"},
        {u"AP", "UP,LEFT,DOWN,OK"},
        {u"Q0", "LEFT,OK"},
        {u"?^", "RIGHT,UP,OK"},
        {u"A ", "DOWN,DOWN,RIGHT,OK"},
        {u" P", "RIGHT,DOWN,DOWN,OK"},
        {u" 1", "LEFT,DOWN,OK"},
        {u" L", "RIGHT,UP,UP,OK"},
        {u"_A", "UP,UP,LEFT,LEFT,LEFT,OK"},
        {u"*1", "DOWN,RIGHT,UP,OK"},
        {u"P_", "LEFT,LEFT,UP,UP,LEFT,OK"},
        {u"Z1", "DOWN,DOWN,LEFT,LEFT,LEFT,LEFT,OK"},
        {u"A.", "DOWN,DOWN,OK"},
        {u".A", "UP,UP,LEFT,LEFT,LEFT,OK"},
        {u"^A", "LEFT,LEFT,LEFT,LEFT,OK"},
        {u"aa", "OK"},
        // Repeats, the full stop, lower case, the far-right run from row 0, extra characters.
        {u"g", "OK"},
        {u"._", "OK"},
        {u"1P", "DOWN,LEFT,DOWN,OK"},
        {u"ap", "UP,LEFT,DOWN,OK"},
        {u"APX", "UP,LEFT,DOWN,OK"},
    };
    for (const auto &c : cases) {
        const QString pair = QString::fromUtf16(c.pair);
        EXPECT_EQ(MakeKeyPath(pair), QString::fromLatin1(c.path)) << "pair '" << pair.toStdString() << "'";
    }
}

TEST(KeyPath, EveryPathLandsOnItsKey) {
    for (const QChar target : allKeys) {
        Cursor fromG;
        EXPECT_EQ(fromG.type(MakeKeyPath(QString(target))), QString(target))
            << "from G to '" << target.toLatin1() << "'";
        for (const QChar start : allKeys) {
            // Paths up from "_" keep its column 3 (see _A above): the search is submitted by
            // then, so nothing is typed after it in practice.
            int tr = 0;
            int tc = 0;
            TheKeyboardGrid().find(QString(target), tr, tc);
            if (start == target || (start == u'_' && (tr == 2 || tr == 3))) {
                continue;
            }
            Cursor cursor;
            cursor.place(start == u'^' ? QStringLiteral("G") : QString(start));
            const QString path = MakeKeyPath(QString(start) + target);
            EXPECT_EQ(cursor.type(path), QString(target))
                << "'" << start.toLatin1() << "' to '" << target.toLatin1() << "': " << path.toStdString();
        }
    }
}

TEST(KeyPath, CharactersOffTheKeyboardSendNothing) {
    EXPECT_TRUE(IsOnKeyboard(u'q'));
    EXPECT_TRUE(IsOnKeyboard(u'.'));
    EXPECT_TRUE(IsOnKeyboard(u' '));
    for (const QChar c : QStringLiteral("!-/\t\u00e9\u00df")) {
        EXPECT_FALSE(IsOnKeyboard(c)) << int(c.unicode());
        EXPECT_EQ(MakeKeyPath(QString(c)), QString());
        EXPECT_EQ(MakeKeyPath(QStringLiteral("A") + c), QString());
        EXPECT_EQ(MakeKeyPath(c + QStringLiteral("A")), QString());
    }
    EXPECT_EQ(MakeKeyPath(QString()), QString());
    // The grid itself: five rows of 10, 10, 9, 9 and 9 cells, each key once.
    const KeyboardGrid grid = MakeKeyboardGrid();
    EXPECT_EQ(grid.lastColumn(0), 9);
    EXPECT_EQ(grid.lastColumn(4), 8);
    EXPECT_EQ(grid.Rows[4].join(u'|'), QStringLiteral("|||_| |*|||"));
}
