#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where windows that open together for the first time go: the top-left corners of their
// frames, in the order given. Side by side and centred in the area when they fit. When they do
// not, the first (the main window) keeps the left edge and the others line up from the right
// edge, so each shows at least its own strip and a later window never lands on an earlier one
// while there is room. All share one top, centred on the tallest.
QList<QPoint> ArrangeSideBySide(const QRect &area, const QList<QSize> &frames, int gap);

// Where a window of this size that opens later first goes: of the preferred corner and the
// area's four corners (each moved into the area as far as it fits), the one whose frame covers
// the least of the open windows' frames; the preferred one when it ties.
QPoint LeastCoveredSpot(const QRect &area, QSize frame, const QList<QRect> &open, QPoint preferred);
