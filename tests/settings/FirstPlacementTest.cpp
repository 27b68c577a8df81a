#include "settings/FirstPlacement.h"

#include "settings/INIFILES.h"
#include "settings/SideBySide.h"

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
// is pulled back until its frame is on the screen, above the area it comes down into it, and
// on a screen narrower than itself it keeps the left edge.
TEST(FirstPlace, RemoteStandsRightOfTheMainWindowAndOnTheScreenSideways) {
    FirstPlaceContext c = desktop();
    EXPECT_EQ(FirstPlace(FirstSpot::RightOfMain, c, QSize(280, 700), QSize(288, 738)), QPoint(1252, 80));
    c.mainFrame.moveTo(1500, 10);
    EXPECT_EQ(FirstPlace(FirstSpot::RightOfMain, c, QSize(280, 700), QSize(288, 738)), QPoint(1632, 40));
    c.area = QRect(0, 40, 200, 1040);
    EXPECT_EQ(FirstPlace(FirstSpot::RightOfMain, c, QSize(280, 700), QSize(288, 738)), QPoint(0, 40));
}

// The information panel goes 8 pixels right of the main window's frame, moved into the area
// both ways, frame included, when it would stick out.
TEST(FirstPlace, InformationPanelStandsBesideTheMainWindowInsideTheArea) {
    FirstPlaceContext c = desktop();
    EXPECT_EQ(FirstPlace(FirstSpot::BesideMain, c, QSize(400, 650), QSize(408, 688)), QPoint(1255, 80));
    EXPECT_EQ(FirstPlace(FirstSpot::BesideMain, c, QSize(700, 650), QSize(708, 688)), QPoint(1212, 80));
    EXPECT_EQ(FirstPlace(FirstSpot::BesideMain, c, QSize(700, 1000), QSize(708, 1038)), QPoint(1212, 42));
    c.mainFrame.moveTo(-50, 0);
    EXPECT_EQ(FirstPlace(FirstSpot::BesideMain, c, QSize(700, 650), QSize(708, 688)), QPoint(1105, 40));
}

// The macro window sits in the lower left corner with its frame wholly above the bottom edge;
// taller than the area, it keeps the top edge.
TEST(FirstPlace, MacroWindowSitsInTheLowerLeftCornerAboveTheBottom) {
    const FirstPlaceContext c = desktop();
    EXPECT_EQ(FirstPlace(FirstSpot::LowerLeftCorner, c, QSize(500, 400), QSize(508, 438)), QPoint(0, 642));
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

// The windows at their own sizes with an 8 by 38 frame: the main window (1140 by 660, can
// shrink to 640 by 420), the remote (280 by 741) and the information panel (760 by 720, down
// to 560 by 500); later the display (332 by 252, fixed) and the macro window (900 by 420).
const QList<StartWindow> atStart{{{1148, 698}, {648, 458}}, {{288, 779}, {68, 158}}, {{768, 758}, {568, 538}}};
constexpr QSize displayFrame(340, 290), macroFrame(908, 458);

// On the common screen sizes (less a 40-pixel panel) the windows that open together stand
// wholly on the screen, side by side where the screen is wide enough once the large ones give
// up width; the windows opened later are wholly on the screen too and cover as little of the
// others as the room allows.
TEST(FirstPlace, WindowsFitTheCommonScreenSizes) {
    for (const QSize screen : {QSize(1366, 768), QSize(1600, 1000), QSize(1920, 1080)}) {
        const QRect area(0, 0, screen.width(), screen.height() - 40);
        const QList<QRect> start = LineUpInArea(area, atStart, 8);
        const std::string name = std::to_string(screen.width()) + "x" + std::to_string(screen.height());
        ASSERT_EQ(start.size(), 3);
        for (qsizetype i = 0; i < start.size(); ++i) {
            EXPECT_TRUE(area.contains(start[i])) << name << " window " << i;
            EXPECT_TRUE(start[i].size().expandedTo(atStart[i].minimumFrame) == start[i].size()) << name;
        }
        if (screen.width() >= 1600) {
            EXPECT_FALSE(start[0].intersects(start[1]) || start[1].intersects(start[2]) ||
                         start[0].intersects(start[2]))
                << name;
            EXPECT_EQ(start[1].size(), atStart[1].frame) << name; // the remote keeps its size
        } else {
            // Too narrow even at the smallest sizes: the main window keeps the left edge and
            // its left half (the connection row and the commands) free; every title bar shows.
            EXPECT_EQ(start[0].left(), area.left());
            EXPECT_GE(std::min(start[1].left(), start[2].left()), start[0].left() + start[0].width() / 2) << name;
            EXPECT_LT(start[1].right() + 100, start[2].left() + start[2].width()) << name;
        }

        const FirstPlaceContext c{area, start[0], start[0].size() - QSize(8, 38), start};
        const QRect display(FirstPlace(FirstSpot::LeastCovered, c, displayFrame - QSize(8, 38), displayFrame),
                            displayFrame);
        EXPECT_TRUE(area.contains(display)) << name;
        FirstPlaceContext later = c;
        later.openFrames << display;
        const QRect macro(FirstPlace(FirstSpot::LowerLeftCorner, later, macroFrame - QSize(8, 38), macroFrame),
                          macroFrame);
        EXPECT_TRUE(area.contains(macro)) << name;
        if (screen.width() >= 1920) {
            EXPECT_FALSE(display.intersects(start[0]) && display.intersects(start[1]) && display.intersects(start[2]))
                << name;
        }
    }
}

// The start line-up is the same every time and centred when all fit at their own sizes; a
// window larger than the area is cut to it when it can be resized, else it keeps the top-left.
TEST(FirstPlace, StartLineUpCentresWhatFitsAndCutsWhatIsTooLarge) {
    const QList<QRect> wide = LineUpInArea(QRect(0, 0, 2560, 1400), atStart, 8);
    EXPECT_EQ(wide, (QList<QRect>{{170, 310, 1148, 698}, {1326, 310, 288, 779}, {1622, 310, 768, 758}}));
    const QRect small(10, 20, 500, 400);
    EXPECT_EQ(LineUpInArea(small, {{{800, 600}, {300, 200}}}, 8), QList<QRect>{QRect(10, 20, 500, 400)});
    EXPECT_EQ(LineUpInArea(small, {{{600, 500}, {600, 500}}}, 8), QList<QRect>{QRect(10, 20, 600, 500)});
    EXPECT_TRUE(LineUpInArea(QRect(0, 0, 800, 600), {}, 8).isEmpty());
}

// Windows that cannot change size and do not fit side by side: the main window keeps the left
// edge, the others line up from the right edge; the panel covers part of the main window but
// neither of the later two hides the other, and every one stays on the area. Wider than the
// area each, every corner still lies on it.
TEST(FirstPlace, FixedWindowsThatDoNotFitLineUpFromTheRightEdge) {
    const auto fixed = [](const QList<QSize> &frames) {
        QList<StartWindow> windows;
        for (const QSize frame : frames) {
            windows << StartWindow{frame, frame};
        }
        return windows;
    };
    const QRect area(0, 30, 1600, 970);
    const QList<QRect> at = LineUpInArea(area, fixed({{1140, 724}, {280, 741}, {760, 720}}), 8);
    EXPECT_EQ(at, (QList<QRect>{{0, 144, 1140, 724}, {552, 144, 280, 741}, {840, 144, 760, 720}}));
    EXPECT_FALSE(at[1].intersects(at[2]));

    const QRect narrow(100, 0, 800, 600);
    for (const QRect &frame : LineUpInArea(narrow, fixed({{700, 900}, {500, 500}, {900, 400}}), 8)) {
        EXPECT_TRUE(frame.left() >= 100 && frame.left() < 900 && frame.top() == 0) << frame.left();
    }
}

// The display window opened later: beside the main window it would hide the panel's lists;
// the corner it hides least of goes instead, and a free preferred spot stays preferred.
TEST(FirstPlace, ALaterWindowGoesWhereItHidesLeast) {
    const QRect area(0, 0, 1600, 1000);
    const QList<QRect> open{{0, 129, 1140, 724}, {552, 129, 280, 741}, {840, 129, 760, 720}};
    EXPECT_EQ(LeastCoveredSpot(area, {332, 252}, open, {1148, 129}), QPoint(1268, 748));
    EXPECT_EQ(LeastCoveredSpot(area, {332, 252}, {{0, 0, 600, 400}}, {608, 0}), QPoint(608, 0));
    EXPECT_EQ(LeastCoveredSpot(area, {2000, 300}, {}, {500, 900}), QPoint(0, 700)); // wider than the screen
}

// The title bar must be takeable: a 100 by 30 strip of it (all of a narrower window) on one
// screen; a place between two screens counts when either holds the strip.
TEST(FirstPlace, ATitleBarIsReachableWhenAStripOfItIsOnOneScreen) {
    const QList<QRect> two{{0, 0, 1920, 1040}, {1920, 0, 1280, 1024}};
    EXPECT_TRUE(TitleBarReachable(QRect(100, 100, 400, 300), two));
    EXPECT_TRUE(TitleBarReachable(QRect(1850, 100, 400, 300), two));
    EXPECT_TRUE(TitleBarReachable(QRect(3120, 994, 80, 300), two)); // narrow: all 80 pixels on
    EXPECT_FALSE(TitleBarReachable(QRect(3121, 994, 80, 300), two));
    EXPECT_FALSE(TitleBarReachable(QRect(5000, 100, 400, 300), two));
    EXPECT_FALSE(TitleBarReachable(QRect(100, 1011, 400, 300), two.mid(0, 1)));
    EXPECT_FALSE(TitleBarReachable(QRect(100, 100, 400, 300), {}));
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
