#pragma once

#include <QString>
#include <QtGlobal>

// The one place where text becomes a number and numbers become text.
namespace NumericText {

// Leading blanks skipped, then the longest leading decimal number (sign, digits, one point);
// text with no number gives 0. "12abc" gives 12, " -2.5x" gives -2.5.
double Val(const QString &text);

// Whether the text holds a number where Val looks for one: text without one converts to 0,
// which must not be taken for a 0 somebody wrote.
bool HasNumber(const QString &text);

// Rounds to the nearest integer, halves to the even neighbour. A result outside
// -32768..32767 leaves target unchanged and returns false.
bool ToInt16(double value, qint16 &target);

// Val then ToInt16.
bool ValToInt16(const QString &text, qint16 &target);

// The rounded 16-bit value of text, or fallback when it does not fit.
qint16 Int16Of(const QString &text, qint16 fallback = 0);

// Shortest decimal text of a single-precision number, seven significant digits at most:
// 120, 93.33334, 0.5, -3.
QString SingleText(float value);

} // namespace NumericText
