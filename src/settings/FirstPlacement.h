#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

class INIFILES;

// Where each window goes the first time it opens, before the user has placed it. Every
// window asks here (through MoveToFirstSpot, and LineUpAtFirstStart for the windows that open
// together on the very first start), so a better rule (fit the screen, keep clear of the
// others) is made in one place. A saved placement always wins over what is decided here.
enum class FirstSpot {
    // The main window: centred in the available area.
    ScreenCentre,
    // The remote window: 12 pixels right of the main window at its top, kept off the right
    // edge (its top is not moved into the area).
    RightOfMain,
    // The information panel: 8 pixels right of the main window's frame, moved into the area
    // as far as it fits.
    BesideMain,
    // The macro window: in the lower left corner, wholly above the bottom edge, unless another
    // spot covers less of the windows already open.
    LowerLeftCorner,
    // The windows opened later (display, console, update): beside the main window unless
    // another spot on the screen covers less of the windows already open.
    LeastCovered,
};

// What the rule looks at: the screen, the main window and the windows already open.
struct FirstPlaceContext {
    QRect area;              // the screen's available area
    QRect mainFrame;         // the main window with its frame
    QSize mainClient;        // the main window without it
    QList<QRect> openFrames; // other windows on screen (LeastCovered, LowerLeftCorner)
};

// The top-left corner (frame included) for a window of this client and frame size.
QPoint FirstPlace(FirstSpot spot, const FirstPlaceContext &context, QSize client, QSize frame);

// Whether a window with this frame can still be taken by its title bar: a strip of it (100 by
// 30 pixels, or the whole width of a narrower window) lies on one of the screens' available
// areas. A place saved on a monitor that is no longer there fails this and is not restored.
bool TitleBarReachable(const QRect &frame, const QList<QRect> &screenAreas);

// Whether none of these windows has a saved place: the first start, when the windows that
// open with the program are lined up side by side.
bool NoneHasSavedPlace(const INIFILES &ini, const QStringList &sections);
