#include "keyboard/KeyboardGrid.h"

#include <cstdlib>

bool KeyboardGrid::find(const QString &key, int &row, int &column) const {
    if (key.isEmpty()) {
        return false; // empty cells are no keys
    }
    for (int r = 0; r < RowCount; ++r) {
        const int c = int(Rows[r].indexOf(key));
        if (c >= 0) {
            row = r;
            column = c;
            return true;
        }
    }
    return false;
}

KeyboardGrid MakeKeyboardGrid() {
    KeyboardGrid grid;
    const auto cells = [](const char *keys) {
        QStringList row;
        for (const char *p = keys; *p != '\0'; ++p) {
            row.append(QString(QLatin1Char(*p)));
        }
        return row;
    };
    grid.Rows[0] = cells("1234567890");
    grid.Rows[1] = cells("QWERTYUIOP");
    grid.Rows[2] = cells("ASDFGHJKL");
    grid.Rows[3] = cells("^ZXCVBNM?");
    grid.Rows[4] =
        QStringList{QString(), QString(), QString(), QStringLiteral("_"), QStringLiteral(" "), QStringLiteral("*"),
                    QString(), QString(), QString()};
    return grid;
}

const KeyboardGrid &TheKeyboardGrid() {
    static const KeyboardGrid grid = MakeKeyboardGrid();
    return grid;
}

namespace {

constexpr int BottomRow = 4;

void addMoves(QString &moves, const char *move, int times = 1) {
    for (int i = 0; i < times; ++i) {
        moves += QLatin1String(move);
        moves += u',';
    }
}

// Row and column of every single-byte key, for typing long texts without scanning the grid.
struct KeyPosition {
    qint8 row = -1;
    qint8 column = -1;
};

const std::array<KeyPosition, 256> &keyPositions() {
    static const std::array<KeyPosition, 256> positions = [] {
        std::array<KeyPosition, 256> p{};
        const KeyboardGrid &grid = TheKeyboardGrid();
        for (int r = KeyboardGrid::RowCount - 1; r >= 0; --r) { // the first cell of a key wins
            for (int c = grid.lastColumn(r); c >= 0; --c) {
                const QString &cell = grid.Rows[r][c];
                if (cell.size() == 1 && cell[0].unicode() < 256) {
                    p[cell[0].unicode()] = KeyPosition{qint8(r), qint8(c)};
                }
            }
        }
        return p;
    }();
    return positions;
}

// The grid position of the key that types the character: upper case, and "." is "_".
bool locate(QChar character, int &row, int &column) {
    QChar key = character.toUpper();
    if (key == u'.') {
        key = u'_';
    }
    if (key.unicode() >= 256) {
        return false;
    }
    const KeyPosition p = keyPositions()[key.unicode()];
    row = p.row;
    column = p.column;
    return p.row >= 0;
}

} // namespace

bool IsOnKeyboard(QChar character) {
    int row = 0;
    int column = 0;
    return locate(character, row, column);
}

QString MakeKeyPath(const QString &pair) {
    if (pair.isEmpty()) {
        return QString();
    }
    const KeyboardGrid &grid = TheKeyboardGrid();

    // The start key: "G" for the first character of a text, and after "^", which puts the
    // radio's cursor back on "G".
    QChar start = u'G';
    QChar target = pair[0];
    if (pair.size() >= 2) {
        start = pair[0].toUpper() == u'^' ? QChar(u'G') : pair[0];
        target = pair[1];
    }
    int sr = 0;
    int sc = 0;
    int tr = 0;
    int tc = 0;
    if (!locate(start, sr, sc) || !locate(target, tr, tc)) {
        return QString();
    }
    if (sr == tr && sc == tc) {
        return QStringLiteral("OK");
    }

    QString moves;
    // Leaving the bottom row: its wide keys decide the column the cursor ends up in.
    if (sr == BottomRow && tr != BottomRow) {
        bool sideways = false;
        if (sc == 4 && tc < 2) {
            addMoves(moves, "LEFT");
            sc = 0;
            sideways = true;
        } else if (sc == 4 && tc > 7) {
            addMoves(moves, "RIGHT");
            sc = tr <= 1 ? 9 : 8;
            sideways = true;
        }
        if (std::abs(sr - tr) > 2) {
            while (sr != tr) {
                addMoves(moves, "DOWN");
                sr = sr == BottomRow ? 0 : sr + 1;
            }
            if (!sideways) {
                if (sc == 3) {
                    sc = 0;
                } else if (sc == 5) {
                    sc = grid.lastColumn(sr);
                } else {
                    sc = 4;
                }
            }
        } else {
            while (sr != tr) {
                addMoves(moves, "UP");
                --sr;
            }
            // From "_" the cursor goes straight up its column 3 (from "_" to "A" is
            // UP,UP,LEFT,LEFT,LEFT); "*" lands in the last column of the row above, as it does
            // on the way down.
            if (sc == 5) {
                sc = grid.lastColumn(3);
            }
        }
    }
    // Entering the bottom row: aim at the space bar (or "_" from column 0) and go there by the
    // shorter way round.
    if (tr == BottomRow && sr != BottomRow) {
        if (sc == 0) {
            sc = 3;
        } else {
            while (sc > 7) {
                addMoves(moves, "LEFT");
                --sc;
            }
            sc = 4;
        }
        if (std::abs(sr - tr) >= 3) {
            while (sr != BottomRow) {
                addMoves(moves, "UP");
                sr = sr == 0 ? BottomRow : sr - 1;
            }
        } else {
            while (sr != BottomRow) {
                addMoves(moves, "DOWN");
                ++sr;
            }
        }
    }
    // Column 9 exists only in rows 0 and 1: get there before moving sideways.
    if (tc == 9 && sr != tr) {
        if (sr == 2) {
            addMoves(moves, "UP");
            sr = 1;
        } else if (sr == 3) {
            addMoves(moves, "UP", 2);
            sr = 1;
        }
    }
    // Far sideways: run off the row's end and come in from the other side.
    if (std::abs(sc - tc) > 4) {
        if (sc < tc) {
            if (sr == 0) {
                addMoves(moves, "DOWN"); // off column 0 of row 0 would land on the bottom row
                sr = 1;
            }
            addMoves(moves, "LEFT", sc + 1);
            sr = sr == 0 ? BottomRow : sr - 1;
            sc = grid.lastColumn(sr);
        } else {
            addMoves(moves, "RIGHT", grid.lastColumn(sr) - sc + 1);
            sc = 0;
            sr = sr == BottomRow ? 0 : sr + 1;
        }
    }
    // Far up or down: wrap round through the bottom row.
    if (std::abs(sr - tr) > 2) {
        if (sr < tr) {
            while (sr != tr) {
                addMoves(moves, "UP");
                if (sr == BottomRow) {
                    // Up through the bottom row: the wide key the cursor crossed decides the
                    // column, as it does on the way down.
                    sc = sc < 1 ? 0 : (sc > 7 ? grid.lastColumn(BottomRow - 1) : 4);
                }
                sr = sr == 0 ? BottomRow : sr - 1;
            }
        } else {
            while (sr != tr) {
                addMoves(moves, "DOWN");
                if (sr == BottomRow) {
                    sr = 0;
                    sc = sc < 1 ? 0 : (sc > 7 ? 9 : 4);
                } else {
                    ++sr;
                }
            }
        }
    }
    // Plain moves, sideways first. A run off the end of row 3 leaves the cursor on "_" of the
    // bottom row, where sideways moves would step between the wide keys: go up first there.
    if (sr == BottomRow && tr != BottomRow) {
        addMoves(moves, "UP", sr - tr);
        sr = tr;
    }
    addMoves(moves, "RIGHT", tc - sc);
    addMoves(moves, "LEFT", sc - tc);
    addMoves(moves, "DOWN", tr - sr);
    addMoves(moves, "UP", sr - tr);
    moves += QStringLiteral("OK");
    return moves;
}

QStringList TypingKeys(const QString &text) {
    QString typed;
    for (const QChar c : text) {
        if (IsOnKeyboard(c)) {
            typed += c;
        }
    }
    QStringList keys;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QString pair = i == 0 ? typed.left(1) : typed.mid(i - 1, 2);
        keys += MakeKeyPath(pair).split(u',', Qt::SkipEmptyParts);
    }
    return keys;
}
