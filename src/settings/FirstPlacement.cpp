#include "settings/FirstPlacement.h"

#include "settings/INIFILES.h"
#include "settings/SideBySide.h"

#include <algorithm>

QPoint FirstPlace(FirstSpot spot, const FirstPlaceContext &c, QSize client, QSize frame) {
    const QRect &area = c.area;
    switch (spot) {
    case FirstSpot::ScreenCentre:
        return area.center() - QRect(QPoint(0, 0), client).center();
    case FirstSpot::RightOfMain: {
        constexpr int gap = 12;
        const int left = std::min(c.mainFrame.left() + c.mainClient.width() + gap, area.right() - client.width());
        return {std::max(area.left(), left), c.mainFrame.top()};
    }
    case FirstSpot::BesideMain: {
        const QPoint at = c.mainFrame.topRight() + QPoint(8, 0);
        return {std::max(area.left(), std::min(at.x(), area.right() - client.width())),
                std::max(area.top(), std::min(at.y(), area.bottom() - client.height()))};
    }
    case FirstSpot::LowerLeftCorner: {
        const int titleAndBorders = c.mainFrame.height() - c.mainClient.height(); // as the main window's
        return {area.left(), std::max(area.top(), area.bottom() - client.height() - titleAndBorders)};
    }
    case FirstSpot::LeastCovered:
        return LeastCoveredSpot(area, frame, c.openFrames, c.mainFrame.topRight() + QPoint(8, 0));
    }
    return area.topLeft();
}

bool NoneHasSavedPlace(const INIFILES &ini, const QStringList &sections) {
    return std::none_of(sections.begin(), sections.end(),
                        [&ini](const QString &section) { return ini.hasSavedPlace(section); });
}
