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

QPoint LeastCoveredSpot(const QRect &area, QSize frame, const QList<QRect> &open, QPoint preferred) {
    const auto inside = [&area, &frame](QPoint at) {
        return QPoint(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())),
                      std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    };
    const auto covered = [&frame, &open](QPoint at) {
        qint64 total = 0;
        for (const QRect &window : open) {
            const QRect both = QRect(at, frame).intersected(window);
            total += qint64(both.width()) * both.height();
        }
        return total;
    };
    QPoint best = inside(preferred);
    qint64 least = covered(best);
    const QPoint far = area.bottomRight() + QPoint(1, 1);
    for (const QPoint corner : {area.topLeft(), QPoint(far.x(), area.top()), QPoint(area.left(), far.y()), far}) {
        const QPoint at = inside(corner);
        if (const qint64 c = covered(at); c < least) {
            best = at;
            least = c;
        }
    }
    return best;
}
