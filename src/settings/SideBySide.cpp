#include "settings/SideBySide.h"

#include <algorithm>

namespace {

// The widths after the widest give up width down to a common level, so the sum fits the room
// where it can. None goes below its smallest, nor below the narrowest window's own width: a
// narrow window (the remote) is never narrowed for the sake of the wide ones.
QList<int> narrowedToFit(const QList<int> &widths, const QList<int> &smallest, int room) {
    const auto at = [&](int level) {
        QList<int> result;
        int sum = 0;
        for (qsizetype i = 0; i < widths.size(); ++i) {
            result << std::max(smallest[i], std::min(widths[i], level));
            sum += result.last();
        }
        return std::make_pair(result, sum);
    };
    int low = *std::min_element(widths.begin(), widths.end());
    int high = *std::max_element(widths.begin(), widths.end());
    if (at(high).second <= room) {
        return widths;
    }
    // The highest level whose widths fit; the sum only grows with the level.
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (at(mid).second <= room) {
            low = mid;
        } else {
            high = mid - 1;
        }
    }
    return at(low).first;
}

} // namespace

QRect MovedInto(const QRect &area, QRect frame) {
    frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    return frame;
}

QList<QRect> LineUpInArea(const QRect &area, const QList<StartWindow> &windows, int gap) {
    QList<QRect> frames;
    if (windows.isEmpty()) {
        return frames;
    }
    QList<int> widths, smallest;
    int tallest = 0;
    for (const StartWindow &w : windows) {
        const QSize least = w.minimumFrame.boundedTo(w.frame);
        widths << std::min(w.frame.width(), std::max(least.width(), area.width()));
        smallest << least.width();
        const int height = std::min(w.frame.height(), std::max(least.height(), area.height()));
        frames << QRect(QPoint(0, 0), QSize(widths.last(), height));
        tallest = std::max(tallest, height);
    }
    const int room = area.width() - gap * int(windows.size() - 1);
    widths = narrowedToFit(widths, smallest, room);
    int total = gap * int(windows.size() - 1);
    for (qsizetype i = 0; i < frames.size(); ++i) {
        frames[i].setWidth(widths[i]);
        total += widths[i];
    }
    const int top = area.top() + std::max(0, (area.height() - tallest) / 2);
    if (total <= area.width()) {
        int left = area.left() + (area.width() - total) / 2;
        for (QRect &frame : frames) {
            frame.moveTo(left, top);
            left += frame.width() + gap;
        }
    } else {
        frames[0].moveTo(area.left(), top);
        int right = area.left() + area.width(); // one past the area's last column
        for (qsizetype i = frames.size() - 1; i > 0; --i) {
            frames[i].moveTo(std::max(area.left(), right - frames[i].width()), top);
            right = frames[i].left() - gap;
        }
    }
    for (QRect &frame : frames) {
        frame = MovedInto(area, frame);
    }
    return frames;
}

QPoint LeastCoveredSpot(const QRect &area, QSize frame, const QList<QRect> &open, QPoint preferred) {
    const auto inside = [&area, &frame](QPoint at) { return MovedInto(area, QRect(at, frame)).topLeft(); };
    const auto covered = [&frame, &open](QPoint at) {
        qint64 total = 0;
        for (const QRect &window : open) {
            const QRect both = QRect(at, frame).intersected(window);
            total += qint64(both.width()) * both.height();
        }
        return total;
    };
    constexpr int gap = 8;
    const QPoint far = area.bottomRight() + QPoint(1, 1);
    QList<QPoint> candidates{area.topLeft(), QPoint(far.x(), area.top()), QPoint(area.left(), far.y()), far};
    for (const QRect &window : open) {
        const int rightOf = window.right() + 1 + gap, leftOf = window.left() - gap - frame.width();
        const int below = window.bottom() + 1 + gap, above = window.top() - gap - frame.height();
        candidates << QPoint(rightOf, window.top()) << QPoint(rightOf, area.top()) << QPoint(rightOf, far.y())
                   << QPoint(leftOf, window.top()) << QPoint(leftOf, area.top()) << QPoint(leftOf, far.y())
                   << QPoint(window.left(), below) << QPoint(area.left(), below) << QPoint(far.x(), below)
                   << QPoint(window.left(), above) << QPoint(area.left(), above) << QPoint(far.x(), above);
    }
    QPoint best = inside(preferred);
    qint64 least = covered(best);
    for (const QPoint candidate : candidates) {
        const QPoint at = inside(candidate);
        if (const qint64 c = covered(at); c < least) {
            best = at;
            least = c;
        }
    }
    return best;
}
