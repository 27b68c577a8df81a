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
