#include "settings/FirstPlacement.h"

#include "settings/INIFILES.h"
#include "settings/SideBySide.h"

#include <algorithm>

QPoint FirstPlace(FirstSpot spot, const FirstPlaceContext &c, QSize client, QSize frame) {
    const QRect &area = c.area;
    // Every spot ends wholly inside the area (frame included) as far as the window's size
    // allows: a title bar below the screen edge or under a panel cannot be taken.
    const auto inside = [&area, &frame](QPoint at) { return MovedInto(area, QRect(at, frame)).topLeft(); };
    switch (spot) {
    case FirstSpot::ScreenCentre:
        return inside(area.center() - QRect(QPoint(0, 0), client).center());
    case FirstSpot::RightOfMain:
        return inside(QPoint(c.mainFrame.left() + c.mainClient.width() + 12, c.mainFrame.top()));
    case FirstSpot::BesideMain:
        return inside(c.mainFrame.topRight() + QPoint(8, 0));
    case FirstSpot::LowerLeftCorner:
        return LeastCoveredSpot(area, frame, c.openFrames, QPoint(area.left(), area.bottom() + 1 - frame.height()));
    case FirstSpot::LeastCovered:
        return LeastCoveredSpot(area, frame, c.openFrames, c.mainFrame.topRight() + QPoint(8, 0));
    }
    return area.topLeft();
}

bool TitleBarReachable(const QRect &frame, const QList<QRect> &screenAreas) {
    const QSize strip(std::min(100, frame.width()), std::min(30, frame.height()));
    const QRect title(frame.topLeft(), QSize(frame.width(), strip.height()));
    return std::any_of(screenAreas.begin(), screenAreas.end(), [&](const QRect &area) {
        const QRect on = title.intersected(area);
        return on.width() >= strip.width() && on.height() >= strip.height() && !strip.isEmpty();
    });
}

bool NoneHasSavedPlace(const INIFILES &ini, const QStringList &sections) {
    return std::none_of(sections.begin(), sections.end(),
                        [&ini](const QString &section) { return ini.hasSavedPlace(section); });
}
