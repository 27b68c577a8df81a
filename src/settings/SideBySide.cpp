#include "settings/SideBySide.h"

#include <algorithm>

QList<QPoint> ArrangeSideBySide(const QRect &area, const QList<QSize> &frames, int gap) {
    QList<QPoint> corners;
    if (frames.isEmpty()) {
        return corners;
    }
    int total = gap * int(frames.size() - 1), tallest = 0;
    for (const QSize &frame : frames) {
        total += frame.width();
        tallest = std::max(tallest, frame.height());
    }
    const int top = area.top() + std::max(0, (area.height() - tallest) / 2);
    corners.resize(frames.size());
    if (total <= area.width()) {
        int left = area.left() + (area.width() - total) / 2;
        for (qsizetype i = 0; i < frames.size(); ++i) {
            corners[i] = QPoint(left, top);
            left += frames[i].width() + gap;
        }
        return corners;
    }
    corners[0] = QPoint(area.left(), top);
    int right = area.left() + area.width(); // one past the area's last column
    for (qsizetype i = frames.size() - 1; i > 0; --i) {
        const int left = std::max(area.left(), right - frames[i].width());
        corners[i] = QPoint(left, top);
        right = left - gap;
    }
    return corners;
}
