#include "SearchKeyboard.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<const char *, 4> Rows{"1234567890", "QWERTYUIOP", "ASDFGHJKL", "^ZXCVBNM?"};
}

void SearchKeyboard::reset() {
    m_row = 2;
    m_column = 4;
}

int SearchKeyboard::rowLength(int row) {
    if (row == BottomRow) {
        return 3;
    }
    return row <= 1 ? 10 : 9;
}

// Column 0 lands on "_", the middle columns on the wide space bar, the right edge on "*".
int SearchKeyboard::enterBottomRow(int column) {
    if (column == 0) {
        return SubmitColumn;
    }
    return column <= 7 ? SpaceColumn : DeleteColumn;
}

int SearchKeyboard::leaveBottomRow(int column, int rowEntered) {
    if (column == SubmitColumn) {
        return 0;
    }
    if (column == SpaceColumn) {
        return 4;
    }
    return rowLength(rowEntered) - 1;
}

void SearchKeyboard::move(Move step) {
    switch (step) {
    case Move::Up:
        if (m_row == 0) {
            m_row = BottomRow;
            m_column = enterBottomRow(m_column);
        } else if (m_row == BottomRow) {
            m_row = 3;
            m_column = leaveBottomRow(m_column, m_row);
        } else {
            --m_row;
            m_column = std::min(m_column, rowLength(m_row) - 1);
        }
        break;
    case Move::Down:
        if (m_row == BottomRow) {
            m_row = 0;
            m_column = leaveBottomRow(m_column, m_row);
        } else if (m_row == 3) {
            m_row = BottomRow;
            m_column = enterBottomRow(m_column);
        } else {
            ++m_row;
            // Row 1 is one key longer than row 2: column 9 falls onto the last key below.
            m_column = std::min(m_column, rowLength(m_row) - 1);
        }
        break;
    case Move::Left:
        if (m_row == BottomRow) {
            if (m_column == SubmitColumn) {
                m_row = 3;
                m_column = rowLength(3) - 1;
            } else {
                --m_column;
            }
        } else if (m_column > 0) {
            --m_column;
        } else if (m_row == 0) {
            m_row = BottomRow;
            m_column = DeleteColumn;
        } else {
            --m_row;
            m_column = rowLength(m_row) - 1;
        }
        break;
    case Move::Right:
        if (m_row == BottomRow) {
            if (m_column == DeleteColumn) {
                m_row = 0;
                m_column = 0;
            } else {
                ++m_column;
            }
        } else if (m_column < rowLength(m_row) - 1) {
            ++m_column;
        } else if (m_row == 3) {
            m_row = BottomRow;
            m_column = SubmitColumn;
        } else {
            ++m_row;
            m_column = 0;
        }
        break;
    }
}

QChar SearchKeyboard::key() const {
    if (m_row == BottomRow) {
        switch (m_column) {
        case SubmitColumn:
            return QLatin1Char('_');
        case SpaceColumn:
            return QLatin1Char(' ');
        default:
            return QLatin1Char('*');
        }
    }
    return QLatin1Char(Rows[static_cast<size_t>(m_row)][m_column]);
}
