#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// A window that opens with the program: its frame as it would open and the smallest frame
// its form still works in (the same when it cannot be resized).
struct StartWindow {
    QSize frame;
    QSize minimumFrame;
};

// Where windows that open together for the first time go: their frames (corner and size), in
// the order given, every one inside the area as far as its smallest frame allows.
//
// Side by side and centred in the area when they fit. When they do not, the widest ones give
// up width first, down to their smallest frame but never narrower than the narrowest window
// is anyway, so a small window such as the remote keeps its width. Only when all are at their smallest and still
// too wide do they overlap: the first (the main window) keeps the left edge and the others
// line up from the right edge, so the main window's controls on its left and every title bar
// stay in sight. A window taller or wider than the area is cut to it where it can be
// resized; one that cannot keeps its size at the area's top-left. All share one top, centred
// on the tallest.
QList<QRect> LineUpInArea(const QRect &area, const QList<StartWindow> &windows, int gap);

// Where a window of this size that opens later first goes: of the preferred corner, the
// area's four corners and the spots touching an open window's edges (each moved into the area
// as far as it fits), the one whose frame covers the least of the open windows' frames; the
// preferred one when it ties, then the earlier candidate.
QPoint LeastCoveredSpot(const QRect &area, QSize frame, const QList<QRect> &open, QPoint preferred);

// The same frame moved into the area as far as it fits; a frame larger than the area keeps
// the area's top or left edge.
QRect MovedInto(const QRect &area, QRect frame);
