#pragma once

#include <QString>

// The cursor of the radio's on-screen search keyboard.
//
// Rows 0..3 are "1234567890", "QWERTYUIOP", "ASDFGHJKL" and "^ZXCVBNM?". Row 4 holds three wide
// keys; the cursor stands on column 3 ("_"), 4 (space) or 5 ("*") there, the columns the
// program's own keyboard model gives those keys, so positions compare directly.
class SearchKeyboard {
public:
    enum class Move { Up, Down, Left, Right };

    static constexpr int BottomRow = 4;
    static constexpr int SubmitColumn = 3;
    static constexpr int SpaceColumn = 4;
    static constexpr int DeleteColumn = 5;

    // Cursor on "G", where the radio puts it when the keyboard opens.
    void reset();
    void move(Move step);

    int row() const { return m_row; }
    int column() const { return m_column; }
    // The key under the cursor: one character ("A", "^", "_", " " or "*").
    QChar key() const;

    static int rowLength(int row);

private:
    static int enterBottomRow(int column);
    static int leaveBottomRow(int column, int rowEntered);

    int m_row = 2;
    int m_column = 4;
};
