#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The radio's on-screen keyboard as the program models it: five rows of one-character keys.
// Rows 0 and 1 have ten cells, rows 2 to 4 nine. Row 4 is the radio's bottom row of three wide
// keys, modelled as "_" in column 3, the space bar in column 4 and "*" in column 5; its other
// cells are empty strings (no key).
struct KeyboardGrid {
    static constexpr int RowCount = 5;
    std::array<QStringList, RowCount> Rows;

    int lastColumn(int row) const { return int(Rows[row].size()) - 1; }
    // Row and column of the first cell equal to key (rows top down, columns left to right).
    bool find(const QString &key, int &row, int &column) const;
};

// Builds the grid of the radio's keyboard.
KeyboardGrid MakeKeyboardGrid();

// The radio's grid, built once on first use and never changed afterwards.
const KeyboardGrid &TheKeyboardGrid();

// Whether the character can be typed: letters in either case, digits, "^", "?", "_", "*",
// the blank, and "." (typed with the "_" key).
bool IsOnKeyboard(QChar character);

// The cursor commands that type one character on the radio's keyboard: each move ("LEFT",
// "RIGHT", "UP", "DOWN") followed by ",", then "OK". pair is the character to type alone (the
// first of a text: the cursor starts on "G"), or the character typed last followed by the one
// to type; characters after the second are ignored. A pair holding a character that is not on
// the keyboard gives "": there is no key to press, and the radio's cursor would no longer be
// where the next call assumes it to be, so callers leave such characters out of their text.
QString MakeKeyPath(const QString &pair);

// The cursor commands that type a whole text on the radio's keyboard, its cursor starting on
// "G" (as the radio puts it when it opens the keyboard): MakeKeyPath's moves for each character
// after the one before, every path ending in "OK". Characters the keyboard does not have are
// left out, so the cursor stays on the last key typed, where the next path starts.
QStringList TypingKeys(const QString &text);
