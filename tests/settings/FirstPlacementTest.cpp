#include "settings/FirstPlacement.h"

#include "settings/INIFILES.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A 1920 by 1040 desktop below a 40-pixel panel; the main window at (100, 80) with a 4-pixel
// border and a 30-pixel title bar around its 1140 by 660 client area.
FirstPlaceContext desktop() {
    return FirstPlaceContext{QRect(0, 40, 1920, 1040), QRect(100, 80, 1148, 698), QSize(1140, 660), {}};
}

} // namespace

TEST(FirstPlace, MainWindowIsCentredOnItsClientArea) {
    EXPECT_EQ(FirstPlace(FirstSpot::ScreenCentre, desktop(), QSize(1140, 660), QSize(1148, 698)), QPoint(390, 230));
}

// The remote goes right of the main window's client area at its top; near the right edge it
// is pulled back, and on a screen narrower than itself it keeps the left edge. Its top follows
// the main window even above the area: the window manager moves it down.
TEST(FirstPlace, RemoteStandsRightOfTheMainWindowAndOnTheScreenSideways) {
    FirstPlaceContext c = desktop();
    EXPECT_EQ(FirstPlace(FirstSpot::RightOfMain, c, QSize(280, 700), QSize(288, 738)), QPoint(1252, 80));
    c.mainFrame.moveTo(1500, 10);
    EXPECT_EQ(FirstPlace(FirstSpot::RightOfMain, c, QSize(280, 700), QSize(288, 738)), QPoint(1639, 10));
    c.area = QRect(0, 40, 200, 1040);
    EXPECT_EQ(FirstPlace(FirstSpot::RightOfMain, c, QSize(280, 700), QSize(288, 738)), QPoint(0, 10));
}

// The information panel goes 8 pixels right of the main window's frame, moved into the area
// both ways when it would stick out.
TEST(FirstPlace, InformationPanelStandsBesideTheMainWindowInsideTheArea) {
    FirstPlaceContext c = desktop();
    EXPECT_EQ(FirstPlace(FirstSpot::BesideMain, c, QSize(400, 650), QSize(408, 688)), QPoint(1255, 80));
    EXPECT_EQ(FirstPlace(FirstSpot::BesideMain, c, QSize(700, 650), QSize(708, 688)), QPoint(1219, 80));
    EXPECT_EQ(FirstPlace(FirstSpot::BesideMain, c, QSize(700, 1000), QSize(708, 1038)), QPoint(1219, 79));
    c.mainFrame.moveTo(-50, 0);
    EXPECT_EQ(FirstPlace(FirstSpot::BesideMain, c, QSize(700, 650), QSize(708, 688)), QPoint(1105, 40));
}

// The macro window sits in the lower left corner, a main-window frame (38 pixels here) clear of
// the bottom; taller than the area, it keeps the top edge.
TEST(FirstPlace, MacroWindowSitsInTheLowerLeftCornerClearOfTheBottom) {
    const FirstPlaceContext c = desktop();
    EXPECT_EQ(FirstPlace(FirstSpot::LowerLeftCorner, c, QSize(500, 400), QSize(508, 438)), QPoint(0, 641));
    EXPECT_EQ(FirstPlace(FirstSpot::LowerLeftCorner, c, QSize(500, 1100), QSize(508, 1138)), QPoint(0, 40));
}

// The display window prefers the spot beside the main window; when a window already stands
// there it takes the corner that covers the least of the open ones.
TEST(FirstPlace, DisplayWindowAvoidsTheWindowsAlreadyOpen) {
    FirstPlaceContext c = desktop();
    c.openFrames = {c.mainFrame};
    EXPECT_EQ(FirstPlace(FirstSpot::LeastCovered, c, QSize(400, 300), QSize(408, 338)), QPoint(1255, 80));
    c.openFrames << QRect(1255, 80, 600, 600);
    const QPoint at = FirstPlace(FirstSpot::LeastCovered, c, QSize(400, 300), QSize(408, 338));
    EXPECT_NE(at, QPoint(1255, 80));
    for (const QRect &open : c.openFrames) {
        EXPECT_FALSE(QRect(at, QSize(408, 338)).intersects(open)) << at.x() << "," << at.y();
    }
}

// A window has a saved place once its placement was written; an empty value does not count.
TEST(FirstPlace, ASavedPlaceIsAPlacementInTheSettings) {
    QTemporaryDir dir;
    INIFILES ini;
    ini.SetProgramPaths(dir.filePath(QStringLiteral("CVRemote")));
    const QStringList windows{QStringLiteral("ConfigForm"), QStringLiteral("RemoteForm")};
    EXPECT_TRUE(NoneHasSavedPlace(ini, windows));
    ini.WriteSetting(QStringLiteral("RemoteForm"), QStringLiteral("FC"), QString());
    EXPECT_FALSE(ini.hasSavedPlace(QStringLiteral("RemoteForm")));
    ini.WriteSetting(QStringLiteral("remoteform"), QStringLiteral("fc"), QStringLiteral("10,20,300,400,"));
    EXPECT_TRUE(ini.hasSavedPlace(QStringLiteral("RemoteForm")));
    EXPECT_FALSE(NoneHasSavedPlace(ini, windows));
    EXPECT_TRUE(NoneHasSavedPlace(ini, {QStringLiteral("InfoForm")}));
}
