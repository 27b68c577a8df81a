#pragma once

#include <QColor>
#include <QPalette>

// How well one colour reads on another: the ratio of their relative luminances (each plus
// 0.05), from 1 (the same) to 21 (black on white). Text wants 4.5 or more to be read easily.
double ContrastRatio(const QColor &a, const QColor &b);

// The wanted colour made lighter or darker, whichever reads better on the background, only as
// far as it takes to reach the ratio (or as far as it goes, black or white). Its look stays as
// close to the wanted one as the ratio allows.
QColor ReadableOn(const QColor &wanted, const QColor &background, double ratio = 4.5);

// The palette with its disabled texts readable on their backgrounds: a window shows values
// that went stale greyed, and grey on light grey is too faint to read.
QPalette WithReadableDisabledText(QPalette palette);
